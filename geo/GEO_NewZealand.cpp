#include "geo/GEO_NewZealand.h"

#include <cmath>
#include <complex>

namespace geo {

namespace {

using Complex_t = std::complex<double>;

constexpr double kA = 6378388.0;
constexpr double kOriginLatitudeDegrees = -41.0;
constexpr double kMeridianDegrees = 173.0;
constexpr double kFalseEasting = 2510000.0;
constexpr double kFalseNorthing = 6023150.0;

const double A[10] = {0.6399175073, -0.1358797613, 0.063294409, -0.02526853, 0.0117879,
                      -0.0055161,   0.0026906,     -0.001333,   0.00067,     -0.00034};
const Complex_t B[6] = {{0.7557853228, 0.0},        {0.249204646, 0.003371507}, {-0.001541739, 0.04105856},
                        {-0.10162907, 0.01727609},  {-0.26623489, -0.36249218}, {-0.6870983, -1.1651967}};
const Complex_t C[6] = {{1.3231270439, 0.0},         {-0.577245789, -0.007809598}, {0.508307513, -0.112208952},
                        {-0.15094762, 0.18200602},   {1.01418179, 1.64497696},     {1.9660549, 2.5127645}};
const double D[9] = {1.5627014243, 0.5185406398, -0.03333098, -0.1052906, -0.0368594,
                     0.007317,     0.0122,       0.00394,     -0.0013};

// Sum of c[n-1] * x^n for n = 1 to count.
template <typename T>
T Series(const T* c, int count, const T& x) {
  T sum = 0.0;
  T power = 1.0;
  for (int n = 0; n < count; ++n) {
    power *= x;
    sum += c[n] * power;
  }
  return sum;
}

}  // namespace

double NewZealand_t::GetConvergence(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t p = grid::Radians(position);
  return UtmBase_t().GetConvergence(p.GetLongitude() - grid::ToRadians(kMeridianDegrees), p.GetLatitude(),
                                    grid::EllipsoidOf(datum));
}

void NewZealand_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t&, int& easting,
                                int& northing) const {
  const double dphi = (position.GetLatitude() - grid::ToRadians(kOriginLatitudeDegrees)) * 2.062648062;
  const double dpsi = Series(A, 10, dphi);
  const double dlambda = position.GetLongitude() - grid::ToRadians(kMeridianDegrees);
  const Complex_t z = Series(B, 6, Complex_t(dpsi, dlambda));
  const double n = kFalseNorthing + kA * z.real();
  const double e = kFalseEasting + kA * z.imag();
  if (!(e >= 0.0 && e < 10000000.0)) throw glo::OutOfRange_t(GLO_SRC);
  if (!(n >= 0.0 && n < 10000000.0)) throw glo::OutOfRange_t(GLO_SRC);
  easting = grid::Round(e);
  northing = grid::Round(n);
}

RadPosition_t NewZealand_t::GridToLatLon(const Ellipsoid_t&, double easting, double northing) const {
  const Complex_t z = Complex_t(northing - kFalseNorthing, easting - kFalseEasting) * 1.5677942451917318e-07;
  const Complex_t zeta0 = Series(C, 6, z);
  Complex_t numerator = z;
  Complex_t denominator = B[0];
  Complex_t power = 1.0;  // zeta0^(n-1)
  for (int n = 2; n <= 6; ++n) {
    power *= zeta0;
    numerator += static_cast<double>(n - 1) * B[n - 1] * power * zeta0;
    denominator += static_cast<double>(n) * B[n - 1] * power;
  }
  const Complex_t zeta = numerator / denominator;
  const double dphi = Series(D, 9, zeta.real());
  return RadPosition_t(dphi * 0.4848136812202333 + grid::ToRadians(kOriginLatitudeDegrees),
                       grid::ToRadians(kMeridianDegrees) + zeta.imag());
}

}  // namespace geo
