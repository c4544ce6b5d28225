#include "mpl/MPL_Geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace mpl {

namespace {

using Wide_t = __int128;

constexpr std::int32_t kQ31One = 0x7FFFFFFF;
constexpr std::int32_t kMin32 = INT32_MIN;

// The upper 32 bits of a signed product.
std::int64_t Hi(std::int64_t a, std::int64_t b) { return static_cast<std::int64_t>((static_cast<Wide_t>(a) * b) >> 32); }

// 32-bit wrapping arithmetic.
std::int32_t Wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }
std::int32_t Diff(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// Magnitude with -2^31 taken as 0x7FFFFFFF.
std::int32_t Magnitude(std::int32_t v) { return v == kMin32 ? kQ31One : (v < 0 ? -v : v); }

std::uint64_t Square(std::int64_t v) {
  const std::uint64_t m = static_cast<std::uint64_t>(v < 0 ? -v : v);
  return m * m;
}

// The sum of two squares of 32-bit values; it always fits.
std::uint32_t Hypot(std::int32_t a, std::int32_t b) { return ISqrt64(Square(a) + Square(b)); }

}  // namespace

std::uint32_t ISqrt64(std::uint64_t value) {
  // The double root lies within one of the integer root (the bit-pair root,
  // its floor); it is corrected to it, then rounded by the remainder.
  std::uint64_t r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(value)));
  if (r > 0xFFFFFFFFull) r = 0xFFFFFFFFull;
  while (r * r > value) --r;
  while (r < 0xFFFFFFFFull && (r + 1) * (r + 1) <= value) ++r;
  if (value - r * r > r) ++r;
  return r > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(r);
}

std::int32_t MdbMulQ31(std::int32_t a, std::int32_t b) {
  return Wrap((static_cast<std::int64_t>(a) * b) >> 31);
}

std::int32_t MdbDivQ31(std::int32_t a, std::int32_t b) {
  if (Magnitude(a) >= Magnitude(b)) return (a < 0) == (b < 0) ? kQ31One : kMin32;
  return Wrap((static_cast<std::int64_t>(a) * (1ll << 31)) / b);
}

std::int32_t MdbMulDivRound(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return 0;
  const Wide_t q = (static_cast<Wide_t>(2) * a * b) / c;
  return Wrap(static_cast<std::int64_t>((q + 1) >> 1));
}

std::uint32_t MdbScaledHypot(std::int32_t dx, std::int32_t dy, std::int32_t scale) {
  const std::int32_t sx = scale == kMin32 ? dx : MdbMulQ31(dx, scale);
  return Hypot(sx, dy);
}

std::uint32_t MdbLeg(std::int32_t a, std::int32_t b) {
  const std::uint64_t a2 = Square(a), b2 = Square(b);
  return b2 >= a2 ? 0 : ISqrt64(a2 - b2);
}

namespace {

// Angle to Q31 radians and its square.
void Radians(std::int32_t angle, std::int64_t& x, std::int64_t& s) {
  x = (static_cast<std::int64_t>(angle) * 0x6487ED51) >> 29;
  s = static_cast<std::int64_t>((static_cast<Wide_t>(x) * x) >> 31);
}

// kernel::Series with its products in 128 bits.
template <std::size_t N>
std::int64_t WideSeries(const kernel::Row_t (&rows)[N], std::int64_t s) {
  std::int64_t t = kQ31One - (Hi(s, rows[0].m) >> rows[0].k);
  for (std::size_t i = 1; i < N; ++i) {
    const std::int64_t ts = static_cast<std::int64_t>((static_cast<Wide_t>(t) * s) >> 31);
    t = kQ31One - (Hi(ts, rows[i].m) >> rows[i].k);
  }
  return t;
}

}  // namespace

std::int32_t MdbCosKernelWide(std::int32_t angle) {
  std::int64_t x, s;
  Radians(angle, x, s);
  const std::int64_t t = WideSeries(kernel::kCosRows, s);
  return Wrap(kQ31One - Hi(t, s));
}

std::int32_t MdbSinKernelWide(std::int32_t angle) {
  std::int64_t x, s;
  Radians(angle, x, s);
  const std::int64_t t = WideSeries(kernel::kSinRows, s);
  return Wrap(static_cast<std::int64_t>((static_cast<Wide_t>(t) * x) >> 31));
}

std::int32_t MdbCosAngle(std::int32_t angle) {
  const std::uint32_t a = static_cast<std::uint32_t>(angle) + 0x60000000u;
  const unsigned q = a >> 30;
  const std::int32_t r = static_cast<std::int32_t>(a & 0x3FFFFFFFu) - 0x20000000;
  switch (q) {
    case 0:
      return MdbSinKernel(r);
    case 1:
      return MdbCosKernel(r);
    case 2:
      return Wrap(-static_cast<std::int64_t>(MdbSinKernel(r)));
    default:
      return Wrap(-static_cast<std::int64_t>(MdbCosKernel(r)));
  }
}

std::int32_t MdbLatitudeFactor(std::int32_t lat) {
  const std::int32_t c = MdbCosAngle(lat);
  return c == 0 ? 1 : c;
}

std::int32_t MdbAtanKernel(std::int32_t x) {
  const std::int64_t c = static_cast<std::int64_t>((static_cast<Wide_t>(x) * x) >> 30);
  const std::int64_t f = static_cast<std::int64_t>((static_cast<Wide_t>(c) * c) >> 30);
  const std::int64_t g = 0x76200000 + (Hi(c, 0x41A00000) >> 1) + (Hi(f, 0x1C200000) >> 6);
  const std::int64_t h = 0x76200000 + (Hi(c, 0x5BE00000) >> 2) + (f >> 11);
  const std::int64_t q = static_cast<std::int64_t>((static_cast<Wide_t>(h) << 30) / g);
  const std::int64_t m = static_cast<std::int64_t>((static_cast<Wide_t>(q) * x) >> 30);
  return Wrap(Hi(m, 0x517CC1B6));
}

std::int32_t MdbAtanRatio(std::int32_t ratio) {
  if (ratio < 0) return Wrap(-static_cast<std::int64_t>(MdbAtanRatio(Magnitude(ratio))));
  const unsigned k = (static_cast<std::uint32_t>(ratio) + 0x20000000u) >> 30;
  if (k == 0) return MdbAtanKernel(Wrap(2ll * ratio)) / 2;
  static constexpr std::int32_t kBase[] = {0, 0x12E4051D, 0x20000000, 0x20000000};
  const std::int32_t y = MdbDivQ31(Wrap(ratio - static_cast<std::int64_t>(k) * 0x40000000),
                                   Wrap((ratio >> (3 - k)) + 0x40000000ll));
  return Wrap(static_cast<std::int64_t>(kBase[k]) + MdbAtanKernel(y) / 2);
}

std::int32_t MdbAtan2(std::int32_t x, std::int32_t y) {
  const std::int32_t ax = Magnitude(x);
  // The y magnitude of -2^31 is 0x7FFFFFFF as well: about -90 degrees.
  const std::int32_t ay = Magnitude(y);
  std::uint32_t d;
  if (ax == 0)
    d = 0x40000000u;
  else if (ay == 0)
    d = 0;
  else if (ax == ay)
    d = 0x20000000u;
  else if (ax > ay)
    d = static_cast<std::uint32_t>(MdbAtanRatio(MdbDivQ31(ay, ax)));
  else
    d = 0x40000000u - static_cast<std::uint32_t>(MdbAtanRatio(MdbDivQ31(ax, ay)));
  if (x < 0) d = 0x80000000u - d;
  if (y < 0) d = 0u - d;
  if (d == 0x80000000u) d = 0x80000001u;
  return static_cast<std::int32_t>(d);
}

int MdbCompassDirection(const MdbPoint_t& from, const MdbPoint_t& to) {
  const std::int32_t factor = MdbLatitudeFactor(Wrap(static_cast<std::int64_t>(from.lat / 2) + to.lat / 2));
  const std::int32_t dx = MdbMulQ31(factor, Diff(to.lon, from.lon));
  const std::int32_t dy = Diff(to.lat, from.lat);
  if (dx == 0 && dy == 0) return 1;
  const std::uint32_t angle = static_cast<std::uint32_t>(MdbAtan2(Wrap(-static_cast<std::int64_t>(dx)), dy));
  static constexpr int kCodes[] = {8, 9, 2, 3, 4, 5, 6, 7};
  return kCodes[(angle + 0x10000000u) >> 29];
}

void MdbPointInBox(const MdbBox_t& box, const MdbPoint_t& point, int& flag) {
  const std::int32_t w = Diff(box.west, kMin32);
  flag = box.south <= point.lat && point.lat <= box.north && Diff(point.lon, w) <= Diff(box.east, w);
}

void MdbBoxContains(const MdbBox_t& outer, const MdbBox_t& inner, int& flag) {
  const std::int32_t w = Diff(outer.west, kMin32);
  flag = inner.north <= outer.north && inner.south >= outer.south && Diff(inner.east, w) <= Diff(outer.east, w) &&
         Diff(inner.west, w) <= Diff(outer.east, w) && Diff(inner.west, w) <= Diff(inner.east, w);
}

void MdbBoxesOverlap(const MdbBox_t& a, const MdbBox_t& b, int& flag) {
  flag = 0;
  if (a.north < b.south || b.north < a.south) return;
  const std::uint32_t wa = static_cast<std::uint32_t>(a.east) - static_cast<std::uint32_t>(a.west);
  const std::uint32_t wb = static_cast<std::uint32_t>(b.east) - static_cast<std::uint32_t>(b.west);
  const MdbBox_t& narrow = wa <= wb ? a : b;
  const MdbBox_t& wide = wa <= wb ? b : a;
  const std::uint32_t width = std::max(wa, wb);
  const std::uint32_t toWest = static_cast<std::uint32_t>(narrow.west) - static_cast<std::uint32_t>(wide.west);
  const std::uint32_t toEast = static_cast<std::uint32_t>(narrow.east) - static_cast<std::uint32_t>(wide.west);
  flag = !(toWest > width && toEast > width);
}

std::uint32_t MdbDistanceToSegment(const MdbPoint_t& a, const MdbPoint_t& b, const MdbPoint_t& p,
                                   MdbPoint_t& nearest, std::int32_t factor) {
  const std::int32_t d = MdbMulQ31(Diff(b.lon, a.lon), factor);
  const std::int32_t e = Diff(b.lat, a.lat);
  const std::uint32_t len = Hypot(d, e);
  const std::int32_t h = MdbMulQ31(Diff(p.lon, a.lon), factor);
  const std::int32_t v = Diff(p.lat, a.lat);
  nearest = a;
  if (Hypot(h, v) != 0 && len != 0) {
    const Wide_t r = (static_cast<Wide_t>(v) * e + static_cast<Wide_t>(h) * d) / len;
    if (r >= len) {
      nearest = b;
    } else if (r > 0) {
      nearest.lat = Wrap(a.lat + static_cast<std::int64_t>((r * e) / len));
      nearest.lon = Wrap(a.lon + static_cast<std::int64_t>(
                                     MdbDivQ31(Wrap(static_cast<std::int64_t>((r * d) / len)), factor)));
    }
  }
  return Hypot(Diff(nearest.lat, p.lat), MdbMulQ31(Diff(nearest.lon, p.lon), factor));
}

void MdbEllipseBox(const MdbPoint_t& a, const MdbPoint_t& b, std::int32_t length, MdbBox_t& box) {
  const std::int32_t dLon = Diff(b.lon, a.lon);
  const std::int32_t dLat = Diff(b.lat, a.lat);
  const std::int32_t east = dLon >= 0 ? b.lon : a.lon;
  const std::int32_t west = dLon >= 0 ? a.lon : b.lon;
  if (length > 0) {
    const std::int32_t m = Wrap(static_cast<std::int64_t>(a.lat / 2) + b.lat / 2);
    const std::int32_t c = MdbLatitudeFactor(m);
    const std::int32_t e = MdbMulQ31(dLon, c);
    const std::uint32_t h = Hypot(e, dLat);
    if (h < static_cast<std::uint32_t>(length)) {
      const std::int32_t half = length / 2;
      std::uint32_t halfLon = static_cast<std::uint32_t>(half);
      std::uint32_t halfLat = static_cast<std::uint32_t>(half);
      if (h >= 256) {
        const std::int32_t hs = static_cast<std::int32_t>(h);
        const std::int32_t o = static_cast<std::int32_t>(MdbLeg(length, hs));
        const std::int32_t ue = MdbDivQ31(e, hs);
        const std::int32_t ut = MdbDivQ31(dLat, hs);
        halfLon = Hypot(MdbMulQ31(half, ue), MdbMulQ31(o / 2, Wrap(-static_cast<std::int64_t>(ut))));
        halfLat = Hypot(MdbMulQ31(half, ut), MdbMulQ31(o / 2, ue));
      }
      const std::uint32_t span = static_cast<std::uint32_t>(east) - static_cast<std::uint32_t>(west);
      const std::uint32_t centre = static_cast<std::uint32_t>(west) + span / 2;
      const std::uint32_t lonExtent = static_cast<std::uint32_t>(
          MdbDivQ31(static_cast<std::int32_t>(std::min<std::uint32_t>(halfLon, 0x7FFFFFFF)), c));
      box.north = Wrap(static_cast<std::int64_t>(m) + halfLat);
      box.south = Wrap(static_cast<std::int64_t>(m) - halfLat);
      box.east = static_cast<std::int32_t>(centre + lonExtent);
      box.west = static_cast<std::int32_t>(centre - lonExtent);
      return;
    }
  }
  box.east = east;
  box.west = west;
  box.north = std::max(a.lat, b.lat);
  box.south = std::min(a.lat, b.lat);
}

namespace {

MdbBox_t SegmentBox(const MdbPoint_t& p, const MdbPoint_t& q) {
  MdbBox_t box;
  box.north = std::max(p.lat, q.lat);
  box.south = std::min(p.lat, q.lat);
  const std::int64_t apart = static_cast<std::int64_t>(p.lon) - q.lon;
  const bool swap = (apart < 0 ? -apart : apart) >= 0x7FFFFFFF;
  const std::int32_t larger = std::max(p.lon, q.lon), smaller = std::min(p.lon, q.lon);
  box.east = swap ? smaller : larger;
  box.west = swap ? larger : smaller;
  return box;
}

bool Same(const MdbPoint_t& p, const MdbPoint_t& q) { return p.lat == q.lat && p.lon == q.lon; }

// The side of p relative to the line through o in direction (dLat, dLon).
Wide_t Side(const MdbPoint_t& p, const MdbPoint_t& o, std::int32_t dLat, std::int32_t dLon) {
  return static_cast<Wide_t>(Diff(p.lon, o.lon)) * dLat - static_cast<Wide_t>(Diff(p.lat, o.lat)) * dLon;
}

bool SameSide(Wide_t k1, Wide_t k2) { return (k1 > 0 && k2 > 0) || (k1 < 0 && k2 < 0) || (k1 == 0 && k2 == 0); }

}  // namespace

bool MdbSegmentsCross(const MdbSegment_t& sa, const MdbSegment_t& sb, MdbPoint_t& point) {
  MdbSegment_t a = sa, b = sb;
  for (MdbPoint_t* p : {&a.a, &a.b, &b.a, &b.b}) p->lat = static_cast<std::int32_t>(static_cast<std::uint32_t>(p->lat) & ~1u);
  point.lat = static_cast<std::int32_t>(0xBFFFFFFF);
  if (!MdbBoxesOverlap(SegmentBox(a.a, a.b), SegmentBox(b.a, b.b))) return false;
  if (Same(a.a, b.a) || Same(a.a, b.b) || Same(a.b, b.a)) return false;
  const std::int32_t bLat = Diff(b.b.lat, b.a.lat), bLon = Diff(b.b.lon, b.a.lon);
  if (SameSide(Side(a.a, b.a, bLat, bLon), Side(a.b, b.a, bLat, bLon))) return false;
  const std::int32_t aLat = Diff(a.b.lat, a.a.lat), aLon = Diff(a.b.lon, a.a.lon);
  const Wide_t k3 = Side(b.a, a.a, aLat, aLon), k4 = Side(b.b, a.a, aLat, aLon);
  if (SameSide(k3, k4)) return false;
  Wide_t m = k3 < 0 ? -k3 : k3, n = k4 < 0 ? -k4 : k4;
  while (m + n > 0x7FFFFFFF) {
    m >>= 1;
    n >>= 1;
  }
  const std::int32_t t = MdbDivQ31(static_cast<std::int32_t>(m), static_cast<std::int32_t>(m + n));
  auto along = [&](std::int32_t from, std::int32_t delta) {
    const std::int64_t v = from + ((static_cast<std::int64_t>(delta) * t) >> 31) + 0x80;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) & ~0xFFu);
  };
  point.lat = along(b.a.lat, bLat);
  point.lon = along(b.a.lon, bLon);
  return true;
}

}  // namespace mpl
