#pragma once
// The built-in grid objects, constructed in this order at start-up and only read
// afterwards. The degrees-and-minutes grid of the map window is not among them:
// its accessor creates it on first use.
#include "geo/GEO_BritNational.h"
#include "geo/GEO_Dutch.h"
#include "geo/GEO_GaussKrueger.h"
#include "geo/GEO_Hungarian.h"
#include "geo/GEO_IndoEquat.h"
#include "geo/GEO_IrishTransMerc.h"
#include "geo/GEO_LambertConical.h"
#include "geo/GEO_LatLon.h"
#include "geo/GEO_Maidenhead.h"
#include "geo/GEO_Mgrs.h"
#include "geo/GEO_NewZealand.h"
#include "geo/GEO_SouthAfrican.h"
#include "geo/GEO_SwissCH1903.h"
#include "geo/GEO_Ups.h"
#include "geo/GEO_UserGrid.h"
#include "geo/GEO_Utm.h"
#include "geo/GEO_WestMalaysian.h"

namespace geo {

extern const BritNational_t BritNationalGrid;          // 0
extern const GaussKrueger_t GaussKruegerGrid;          // 1
extern const LambertConical_t IndiaZone0Grid;          // 2
extern const LambertConical_t IndiaZoneIAGrid;         // 3
extern const LambertConical_t IndiaZoneIBGrid;         // 4
extern const LambertConical_t IndiaZoneIIAGrid;        // 5
extern const LambertConical_t IndiaZoneIIBGrid;        // 6
extern const LambertConical_t IndiaZoneIIIAGrid;       // 7
extern const LambertConical_t IndiaZoneIIIBGrid;       // 8
extern const LambertConical_t IndiaZoneIVAGrid;        // 9
extern const LambertConical_t IndiaZoneIVBGrid;        // 10
extern const IndoEquat_t IndonesianGrid;               // 11
extern const LambertConical_t NewGuineaGrid;           // 12
extern const LambertConical_t JavaGrid;                // 13
extern const IrishTransMerc_t IrishGrid;               // 14
extern const LatLonDegrees_t LatLonDegreesGrid;        // 15
extern const LatLonDMS_t LatLonDMSGrid;                // 17
extern const Maidenhead_t MaidenheadGrid;              // 18
extern const Mgrs_t MgrsGrid;                          // 19
extern const NewZealand_t NewZealandGrid;              // 20
extern const UserGrid_t SwedishGrid;                   // 21
extern const SwissCH1903_t SwissGrid;                  // 22
extern const UserGrid_t TaiwanGrid;                    // 23
extern const Ups_t UpsGrid;                            // 24
extern const Utm_t UtmGrid;                            // 25
extern const WestMalaysian_t WestMalaysianGrid;        // 26
extern const Dutch_t DutchGrid;                        // 28
extern const UserGrid_t FinnishGrid;                   // 29
extern const UserGrid_t QatarGrid;                     // 30
extern const SouthAfrican_t SouthAfricanGrid;          // 32
extern const Hungarian_t HungarianGrid;                // 33
extern const UserGrid_t SwedishGrid2;                  // 34

}  // namespace geo
