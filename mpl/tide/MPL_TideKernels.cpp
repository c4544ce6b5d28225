// The vector kernels of the harmonic sum; their measured gain is recorded in
// the header.
#include "mpl/tide/MPL_TideKernels.h"

#include <cstddef>

#include "mpl/tide/MPL_TideConstants.h"
#include "mpl/tide/MPL_TideMath.h"

#if defined(__x86_64__) && defined(__GNUC__)
// The 512-bit intrinsics start from undefined vectors, which some compilers
// take for uninitialised values.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif

namespace mpl {

#if defined(__x86_64__) && defined(__GNUC__)

namespace {

// Four kernels at once in 64-bit lanes. Every product of the series has
// factors below 2^32 that are not negative (the sine's angle and its x are
// taken by magnitude, the floor of a negative quotient being minus the
// ceiling of the positive one), so unsigned 32 x 32-bit products give the
// bits of the scalar kernels. Both series run; the quadrant picks one.
// kernel::Series in four lanes, unrolled so that the shifts are immediates.
template <std::size_t N>
__attribute__((target("avx2"))) inline __m256i Series4(const kernel::Row_t (&rows)[N], __m256i s) {
  const __m256i one = _mm256_set1_epi64x(kernel::kOne);
  __m256i t = _mm256_sub_epi64(
      one, _mm256_srli_epi64(_mm256_mul_epu32(s, _mm256_set1_epi64x(rows[0].m)), 32 + rows[0].k));
#pragma GCC unroll 8
  for (std::size_t i = 1; i < N; ++i) {
    const __m256i ts = _mm256_srli_epi64(_mm256_mul_epu32(t, s), 31);
    t = _mm256_sub_epi64(one,
                         _mm256_srli_epi64(_mm256_mul_epu32(ts, _mm256_set1_epi64x(rows[i].m)), 32 + rows[i].k));
  }
  return t;
}

__attribute__((target("avx2"))) inline void CosBatch4(const std::uint32_t* angles, std::int32_t* out) {
  const __m256i one = _mm256_set1_epi64x(0x7FFFFFFF);
  const __m128i a = _mm_add_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(angles)),
                                  _mm_set1_epi32(0x40000000));
  const __m128i q32 = _mm_srai_epi32(_mm_add_epi32(a, _mm_set1_epi32(0x20000000)), 30);
  const __m128i b32 = _mm_srai_epi32(_mm_slli_epi32(a, 2), 2);
  const __m256i b = _mm256_cvtepi32_epi64(b32);
  const __m256i q = _mm256_cvtepi32_epi64(q32);
  const __m256i negative = _mm256_cmpgt_epi64(_mm256_setzero_si256(), b);  // all ones when b < 0
  const __m256i ab = _mm256_abs_epi32(b);  // the low halves hold |b| (|b| <= 2^29)
  const __m256i p = _mm256_mul_epu32(ab, _mm256_set1_epi64x(0x6487ED51));
  const __m256i ax = _mm256_srli_epi64(_mm256_add_epi64(p, _mm256_and_si256(negative, _mm256_set1_epi64x((1ll << 29) - 1))), 29);
  const __m256i s = _mm256_srli_epi64(_mm256_mul_epu32(ax, ax), 31);
  const __m256i ts = Series4(kernel::kSinRows, s);
  const __m256i tc = Series4(kernel::kCosRows, s);
  // Sine: t*x >> 31, for negative x minus the ceiling of t*|x| / 2^31.
  const __m256i sm = _mm256_mul_epu32(ts, ax);
  const __m256i up = _mm256_and_si256(negative, _mm256_set1_epi64x(0x7FFFFFFF));
  const __m256i sineMagnitude = _mm256_srli_epi64(_mm256_add_epi64(sm, up), 31);
  const __m256i sine = _mm256_sub_epi64(_mm256_xor_si256(sineMagnitude, negative), negative);
  const __m256i cosine = _mm256_sub_epi64(one, _mm256_srli_epi64(_mm256_mul_epu32(tc, s), 32));
  // Quadrants 1 and -1 take the cosine; negative quadrants the negation.
  const __m256i useCosine = _mm256_cmpeq_epi64(_mm256_and_si256(q, _mm256_set1_epi64x(1)), _mm256_set1_epi64x(1));
  const __m256i flip = _mm256_cmpgt_epi64(_mm256_setzero_si256(), q);
  __m256i v = _mm256_blendv_epi8(sine, cosine, useCosine);
  v = _mm256_sub_epi64(_mm256_xor_si256(v, flip), flip);
  const __m256i packed = _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
}

// The whole groups of four; the count done.
__attribute__((target("avx2"))) unsigned CosBatchAvx2(const std::uint32_t* angles, std::int32_t* out, unsigned n) {
  unsigned i = 0;
  for (; i + 4 <= n; i += 4) CosBatch4(angles + i, out + i);
  return i;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

bool HasAvx512() {
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
  return has;
}

// kernel::Series in eight lanes.
template <std::size_t N>
__attribute__((target("avx512f,avx512dq"))) inline __m512i Series8(const kernel::Row_t (&rows)[N], __m512i s) {
  const __m512i one = _mm512_set1_epi64(kernel::kOne);
  __m512i t = _mm512_sub_epi64(
      one, _mm512_srli_epi64(_mm512_mul_epu32(s, _mm512_set1_epi64(rows[0].m)), 32 + rows[0].k));
#pragma GCC unroll 8
  for (std::size_t i = 1; i < N; ++i) {
    const __m512i ts = _mm512_srli_epi64(_mm512_mul_epu32(t, s), 31);
    t = _mm512_sub_epi64(one, _mm512_srli_epi64(_mm512_mul_epu32(ts, _mm512_set1_epi64(rows[i].m)), 32 + rows[i].k));
  }
  return t;
}

// FixedCos of eight 32-bit angles, as 64-bit lanes: CosBatch4 in eight lanes,
// with masks for the signs.
__attribute__((target("avx512f,avx512dq"))) inline __m512i CosBatch8(__m256i angles) {
  const __m512i zero = _mm512_setzero_si512();
  const __m256i a = _mm256_add_epi32(angles, _mm256_set1_epi32(0x40000000));
  const __m256i q32 = _mm256_srai_epi32(_mm256_add_epi32(a, _mm256_set1_epi32(0x20000000)), 30);
  const __m256i b32 = _mm256_srai_epi32(_mm256_slli_epi32(a, 2), 2);
  const __m512i q = _mm512_cvtepi32_epi64(q32);
  const __mmask8 negative = _mm512_cmpgt_epi64_mask(zero, _mm512_cvtepi32_epi64(b32));
  const __m512i ab = _mm512_cvtepu32_epi64(_mm256_abs_epi32(b32));
  const __m512i p = _mm512_mul_epu32(ab, _mm512_set1_epi64(0x6487ED51));
  const __m512i ax = _mm512_srli_epi64(_mm512_add_epi64(p, _mm512_maskz_mov_epi64(negative, _mm512_set1_epi64((1ll << 29) - 1))), 29);
  const __m512i s = _mm512_srli_epi64(_mm512_mul_epu32(ax, ax), 31);
  const __m512i ts = Series8(kernel::kSinRows, s);
  const __m512i tc = Series8(kernel::kCosRows, s);
  const __m512i sm = _mm512_mul_epu32(ts, ax);
  const __m512i up = _mm512_maskz_mov_epi64(negative, _mm512_set1_epi64(0x7FFFFFFF));
  const __m512i sineMagnitude = _mm512_srli_epi64(_mm512_add_epi64(sm, up), 31);
  const __m512i sine = _mm512_mask_sub_epi64(sineMagnitude, negative, zero, sineMagnitude);
  const __m512i cosine = _mm512_sub_epi64(_mm512_set1_epi64(0x7FFFFFFF), _mm512_srli_epi64(_mm512_mul_epu32(tc, s), 32));
  const __mmask8 useCosine = _mm512_test_epi64_mask(q, _mm512_set1_epi64(1));
  const __mmask8 flip = _mm512_cmpgt_epi64_mask(zero, q);
  const __m512i v = _mm512_mask_blend_epi64(useCosine, sine, cosine);
  return _mm512_mask_sub_epi64(v, flip, zero, v);
}

// Products, sums and differences as single instructions in the current
// rounding, never fused into a multiply-add, so that each lane rounds as the
// scalar sum does.
__attribute__((target("avx512f,avx512dq"))) inline __m512d Mul8(__m512d a, __m512d b) {
  return _mm512_mul_round_pd(a, b, _MM_FROUND_CUR_DIRECTION);
}
__attribute__((target("avx512f,avx512dq"))) inline __m512d Add8(__m512d a, __m512d b) {
  return _mm512_add_round_pd(a, b, _MM_FROUND_CUR_DIRECTION);
}
__attribute__((target("avx512f,avx512dq"))) inline __m512d Sub8(__m512d a, __m512d b) {
  return _mm512_sub_round_pd(a, b, _MM_FROUND_CUR_DIRECTION);
}

__attribute__((target("avx512f,avx512dq"))) unsigned HarmonicSumsAvx512(const float* times, unsigned n,
                                                                       const float* speeds, const float* arguments,
                                                                       const float* lags, const float* scales,
                                                                       unsigned terms, float z0, double* out) {
  unsigned k = 0;
  for (; k + 8 <= n; k += 8) {
    const __m512d t = _mm512_cvtps_pd(_mm256_loadu_ps(times + k));
    __m512d sum = _mm512_set1_pd(static_cast<double>(z0));
    for (unsigned i = 0; i < terms; ++i) {
      __m512d x = Mul8(t, _mm512_set1_pd(static_cast<double>(speeds[i])));
      x = Add8(x, _mm512_set1_pd(static_cast<double>(arguments[i])));
      x = Sub8(x, _mm512_set1_pd(static_cast<double>(lags[i])));
      x = Mul8(x, _mm512_set1_pd(kAngleUnitsPerDegree));
      const __m256i angles = _mm512_cvtepi64_epi32(_mm512_cvttpd_epi64(x));
      const __m512d c = Mul8(_mm512_cvtepi64_pd(CosBatch8(angles)), _mm512_set1_pd(kFixedOne));
      sum = Add8(sum, Mul8(c, _mm512_set1_pd(static_cast<double>(scales[i]))));
    }
    _mm512_storeu_pd(out + k, sum);
  }
  return k;
}

}  // namespace

unsigned FixedHarmonicSumsWide(const float* times, unsigned n, const float* speeds, const float* arguments,
                               const float* lags, const float* scales, unsigned terms, float z0, double* out) {
  if (!HasAvx512()) return 0;
  return HarmonicSumsAvx512(times, n, speeds, arguments, lags, scales, terms, z0, out);
}

void FixedCosBatch(const std::uint32_t* angles, std::int32_t* out, unsigned n) {
  unsigned i = 0;
  if (HasAvx2()) i = CosBatchAvx2(angles, out, n);
  for (; i < n; ++i) out[i] = FixedCos(angles[i]);
}

#else

void FixedCosBatch(const std::uint32_t* angles, std::int32_t* out, unsigned n) {
  for (unsigned i = 0; i < n; ++i) out[i] = FixedCos(angles[i]);
}

unsigned FixedHarmonicSumsWide(const float*, unsigned, const float*, const float*, const float*, const float*,
                               unsigned, float, double*) {
  return 0;
}

#endif

}  // namespace mpl
