#include "geo/GEO_Dutch.h"

#include <cmath>

#include "geo/GEO_UtmBase.h"

namespace geo {

namespace {

constexpr double kLatitude0 = 52.156160556;
constexpr double kLongitude0 = 5.387638889;
constexpr double kEasting0 = 155000.0;
constexpr double kNorthing0 = 463000.0;

struct Term_t {
  int p;
  int q;
  double c;
};

const Term_t R[] = {{0, 1, 190066.98903}, {1, 1, -11830.85831}, {2, 1, -114.19754}, {0, 3, -32.3836},
                    {3, 1, -2.34078},     {1, 3, -0.60639},     {2, 3, 0.15774},    {4, 1, -0.04158},
                    {0, 5, -0.00661}};
const Term_t S[] = {{1, 0, 309020.3181}, {0, 2, 3638.36193}, {1, 2, -157.95222}, {2, 0, 72.97141},
                    {3, 0, 59.79734},    {2, 2, -6.43481},   {0, 4, 0.09351},    {3, 2, -0.07379},
                    {1, 4, -0.05419},    {4, 0, -0.03444}};
const Term_t K[] = {{0, 1, 3236.0331637}, {2, 0, -32.5915821}, {0, 2, -0.2472814}, {2, 1, -0.8501341},
                    {0, 3, -0.0655238},   {2, 2, -0.0171137},  {4, 0, 0.0052771},  {2, 3, -0.0003859},
                    {4, 1, 0.0003314},    {0, 4, 3.71e-05},    {4, 2, 1.43e-05},   {2, 4, -9e-06}};
const Term_t L[] = {{1, 0, 5261.3028966}, {1, 1, 105.9780241}, {1, 2, 2.4576469}, {3, 0, -0.8192156},
                    {3, 1, -0.0560092},   {1, 3, 0.0560089},   {3, 2, -0.0025614}, {1, 4, 0.001277},
                    {5, 0, 0.0002574},    {3, 3, -9.73e-05},   {5, 1, 2.93e-05},  {1, 5, 2.91e-05}};

template <std::size_t N>
double Sum(const Term_t (&terms)[N], double u, double v) {
  double sum = 0.0;
  for (const Term_t& t : terms) sum += t.c * std::pow(u, t.p) * std::pow(v, t.q);
  return sum;
}

}  // namespace

double Dutch_t::GetConvergence(const Position_t& position, const Datum_t& datum) const {
  const RadPosition_t p = grid::Radians(position);
  return UtmBase_t().GetConvergence(p.GetLongitude() - grid::ToRadians(kLongitude0), p.GetLatitude(),
                                    grid::EllipsoidOf(datum));
}

void Dutch_t::LatLonToGrid(const RadPosition_t& position, const Ellipsoid_t&, int& easting, int& northing) const {
  const double dphi = 0.36 * (grid::ToDegrees(position.GetLatitude()) - kLatitude0);
  const double dlambda = 0.36 * (grid::ToDegrees(position.GetLongitude()) - kLongitude0);
  const double e = kEasting0 + Sum(R, dphi, dlambda);
  const double n = kNorthing0 + Sum(S, dphi, dlambda);
  if (!(e >= 0.0 && e < 10000000.0) || !(n >= 0.0 && n < 10000000.0)) throw glo::OutOfRange_t(GLO_SRC);
  easting = grid::Round(e);
  northing = grid::Round(n);
}

RadPosition_t Dutch_t::GridToLatLon(const Ellipsoid_t&, double easting, double northing) const {
  const double dx = (easting - kEasting0) * 1e-05;
  const double dy = (northing - kNorthing0) * 1e-05;
  const double phi = kLatitude0 + Sum(K, dx, dy) * 0.0002777777777777778;
  const double lambda = kLongitude0 + Sum(L, dx, dy) * 0.0002777777777777778;
  return RadPosition_t(grid::ToRadians(phi), grid::ToRadians(lambda));
}

}  // namespace geo
