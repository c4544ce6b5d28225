#include "mat/MAT_UnitConverterTable.h"

#include "glo/GLO_StringResource.h"

namespace mat {

namespace {

constexpr double kFoot = 0.3048;
constexpr double kStatuteMile = 1609.344;
constexpr double kNauticalMile = 1852.0;
constexpr double kFathom = 1.8288;  // 6 feet

std::string Text(unsigned id) { return glo::LoadStringResource(id, GLO_SRC); }

// An entry whose small and large unit are the same.
UnitConverter_t OneUnit(unsigned textId, double factor, int digits) {
  const std::string text = Text(textId);
  return UnitConverter_t(text, text, ConversionFunctor_t(factor, factor), 0.0, digits, digits);
}

}  // namespace

const UnitConverterTable_t<DistUnitsTypes_t>& GetDistanceUnitTable() {
  static const UnitConverterTable_t<DistUnitsTypes_t> table = [] {
    UnitConverterTable_t<DistUnitsTypes_t> t;
    t.Add(DistUnitsTypes_t::Statute,
          UnitConverter_t(Text(8014), Text(8021), ConversionFunctor_t(kFoot, kStatuteMile), 304.8, 1, 3));
    t.Add(DistUnitsTypes_t::Metric, UnitConverter_t(Text(8015), Text(8017), ConversionFunctor_t(1.0, 1000.0), 1000.0, 3, 3));
    t.Add(DistUnitsTypes_t::Nautical,
          UnitConverter_t(Text(8014), Text(8019), ConversionFunctor_t(kFoot, kNauticalMile), 304.8, 1, 3));
    return t;
  }();
  return table;
}

const UnitConverterTable_t<ElevationUnits_t>& GetElevationUnitTable() {
  static const UnitConverterTable_t<ElevationUnits_t> table = [] {
    UnitConverterTable_t<ElevationUnits_t> t;
    t.Add(ElevationUnits_t::Feet, OneUnit(8014, kFoot, 1));
    t.Add(ElevationUnits_t::Metres, OneUnit(8015, 1.0, 3));
    return t;
  }();
  return table;
}

const UnitConverterTable_t<DepthUnits_t>& GetDepthUnitTable() {
  static const UnitConverterTable_t<DepthUnits_t> table = [] {
    UnitConverterTable_t<DepthUnits_t> t;
    t.Add(DepthUnits_t::Feet, OneUnit(8014, kFoot, 1));
    t.Add(DepthUnits_t::Metres, OneUnit(8015, 1.0, 3));
    t.Add(DepthUnits_t::Fathoms, OneUnit(8016, kFathom, 2));
    return t;
  }();
  return table;
}

const UnitConverter_t& DistanceUnitsEntry(DistUnitsTypes_t units) { return GetDistanceUnitTable().Find(units); }

const UnitConverter_t& ElevationUnitsEntry(ElevationUnits_t units) { return GetElevationUnitTable().Find(units); }

}  // namespace mat
