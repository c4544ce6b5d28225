#pragma once
// The vector kernels of the harmonic sum: fixed-point cosines four at a time
// with 256-bit integer vectors (AVX2) and whole harmonic sums eight times at
// once with 512-bit vectors (AVX-512F and DQ), chosen at run time by what the
// processor has; both give FixedCos's values and the scalar sum's results bit
// for bit, and other processors take the scalar paths.
//
// Measured with bench/tide_bench (7 days, 1441 samples and the extremes a
// day, 30 constituents, yearly arguments; best of 6 runs on an 8-core x86-64
// with AVX-512): both kernels 0.99 ms; without the AVX2 cosines 1.05 ms;
// without the AVX-512 sums 1.58 ms; with neither 2.69 ms. The AVX-512 sums
// carry the height curves (1.6 times faster); the AVX2 cosines carry the
// extreme search and the days of two argument sets, and the whole prediction
// on processors without AVX-512 (1.7 times faster there).
#include <cstdint>

namespace mpl {

// FixedCos of n angles (FixedSin of angle a is FixedCos of a - 0x40000000):
// the same values, four at a time where the processor has 256-bit integer
// vectors.
void FixedCosBatch(const std::uint32_t* angles, std::int32_t* out, unsigned n);
// Harmonic sums at n times, eight at once where the processor has 512-bit
// vectors: out[k] = z0 + the sum, in the order of i, of
// FixedCos(angle) / 2^31 * scales[i], where angle is the degree sum
// times[k] * speeds[i] + arguments[i] - lags[i] (in double) times 2^32 / 360,
// truncated to a 64-bit integer and wrapped to 32 bits. Returns how many
// leading times it did (a multiple of 8; 0 on other processors), the rest being
// the caller's.
unsigned FixedHarmonicSumsWide(const float* times, unsigned n, const float* speeds, const float* arguments,
                               const float* lags, const float* scales, unsigned terms, float z0, double* out);

}  // namespace mpl
