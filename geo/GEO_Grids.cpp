#include "geo/GEO_Grids.h"

namespace geo {

// The Indian zones after zone 0 share their false values and scale factor.
#define INDIA_ZONE(id, latitude, meridian) id, latitude, meridian, 2743196.4, 914398.8, 0.998786408

const BritNational_t BritNationalGrid;
const GaussKrueger_t GaussKruegerGrid;
const LambertConical_t IndiaZone0Grid(2, 39.5, 68.0, 2153866.4, 2368292.9, 0.998461539);
const LambertConical_t IndiaZoneIAGrid(INDIA_ZONE(3, 32.5, 68.0));
const LambertConical_t IndiaZoneIBGrid(INDIA_ZONE(4, 32.5, 90.0));
const LambertConical_t IndiaZoneIIAGrid(INDIA_ZONE(5, 26.0, 74.0));
const LambertConical_t IndiaZoneIIBGrid(INDIA_ZONE(6, 26.0, 90.0));
const LambertConical_t IndiaZoneIIIAGrid(INDIA_ZONE(7, 19.0, 80.0));
const LambertConical_t IndiaZoneIIIBGrid(INDIA_ZONE(8, 19.0, 100.0));
const LambertConical_t IndiaZoneIVAGrid(INDIA_ZONE(9, 12.0, 80.0));
const LambertConical_t IndiaZoneIVBGrid(INDIA_ZONE(10, 12.0, 104.0));
const IndoEquat_t IndonesianGrid;
const LambertConical_t NewGuineaGrid(12, -8.0, 150.0, 3000000.0, 1000000.0, 0.9997);
const LambertConical_t JavaGrid(13, -8.0, 110.0, 550000.0, 400000.0, 0.9997);
const IrishTransMerc_t IrishGrid;
const LatLonDegrees_t LatLonDegreesGrid;
const LatLonDMS_t LatLonDMSGrid;
const Maidenhead_t MaidenheadGrid;
const Mgrs_t MgrsGrid;
const NewZealand_t NewZealandGrid;
const UserGrid_t SwedishGrid(21, 15.80827778, 1.0, 1500000.0, 0.0);
const SwissCH1903_t SwissGrid;
const UserGrid_t TaiwanGrid(23, 121.0, 0.9999, 250000.0, 0.0);
const Ups_t UpsGrid;
const Utm_t UtmGrid;
const WestMalaysian_t WestMalaysianGrid;
const Dutch_t DutchGrid;
const UserGrid_t FinnishGrid(29, 27.0, 1.0, 3500000.0, 0.0);
const UserGrid_t QatarGrid(30, 51.21666667, 0.99999, 200000.0, -2405140.0);
const SouthAfrican_t SouthAfricanGrid;
const Hungarian_t HungarianGrid;
const UserGrid_t SwedishGrid2(34, 15.80628, 1.0000056, 1500064.2, -667.7);

#undef INDIA_ZONE

}  // namespace geo
