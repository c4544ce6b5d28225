#include "map/MAP_LightDescription.h"

#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_FeatureDescription.h"
#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_Marine.h"

namespace map {

namespace {

std::string Text(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

// The character's name; Morse code (11) is followed by its letter in quotes.
std::string CharacterText(std::uint8_t code, std::uint8_t letter) {
  std::string text = GetLightCharacterName(code);
  if (code == 11) text += std::string(" \"") + static_cast<char>(letter) + "\"";
  return text;
}

std::string PeriodText(std::uint16_t tenths) {
  return glo::StringResource_t(4580, GLO_SRC).Format(FormatTenths(tenths * 0.1), GLO_SRC);
}

// The flashes written one after another: the first by 4581, each later one
// appended by 4582.
std::string FlashSequenceText(const std::vector<mpl::MdbLightFlash_t>& flashes) {
  std::string text;
  for (std::size_t i = 0; i < flashes.size(); ++i) {
    const glo::StringResource_t format(i == 0 ? 4581 : 4582, GLO_SRC);
    text += format.FormatArgs({FormatTenths(flashes[i].on * 0.1), FormatTenths(flashes[i].off * 0.1)}, GLO_SRC);
  }
  return text;
}

// Rows of the three labels: A only with a text, B and C whenever present.
void AddLabelRows(NameValueRows_t& rows, const mpl::MdbAuxInfo_t& r, unsigned atC, unsigned atA, unsigned atB,
                  LightSource_t& source) {
  const std::uint32_t a = mpl::MdbAuxGet32(r, atA), b = mpl::MdbAuxGet32(r, atB), c = mpl::MdbAuxGet32(r, atC);
  if (a != mpl::kMdbNone) {
    const std::string text = source.GetLabel(a);
    if (!text.empty()) AddRow(rows, 4592, text);
  }
  if (b != mpl::kMdbNone) AddRow(rows, 4593, source.GetLabel(b));
  if (c != mpl::kMdbNone) AddRow(rows, 4594, source.GetLabel(c));
}

}  // namespace

// ---------------------------------------------------------------------------
// The map's lists.

std::vector<mpl::MdbLightFlash_t> MapLightSource_t::GetFlashes(const mpl::MdbAuxInfo_t& light) {
  std::vector<mpl::MdbLightFlash_t> flashes;
  const mpl::Map_t::LightFlashRange_t range = m_map.LightFlashSearch(light);
  for (auto it = range.begin(); it != range.end(); ++it) flashes.push_back(*it);
  return flashes;
}

std::vector<mpl::MdbLightSector_t> MapLightSource_t::GetSectors(const mpl::MdbAuxInfo_t& light) {
  std::vector<mpl::MdbLightSector_t> sectors;
  const mpl::Map_t::LightSectorRange_t range = m_map.LightSectorSearch(light);
  for (auto it = range.begin(); it != range.end(); ++it) sectors.push_back(*it);
  return sectors;
}

std::string MapLightSource_t::GetLabel(std::uint32_t offset) { return m_map.GetLabelText(offset, mpl::kLabelTitleCase); }

// ---------------------------------------------------------------------------
// Name tables.

std::string GetColourName(std::uint8_t code) {
  if (code > 25) throw glo::Assert_t(GLO_SRC);
  static const int kIds[5] = {4569, 6007, 6008, 6009, 6031};
  return Text(code < 5 ? kIds[code] : code + 6005);
}

std::string GetLightColourName(std::uint8_t code) {
  static const int kIds[6] = {6032, 6007, 6008, 6031, 6033, 6009};
  if (code > 5) throw glo::Assert_t(GLO_SRC);
  return Text(kIds[code]);
}

std::string GetLightCharacterName(std::uint8_t code) {
  if (code > 31) throw glo::Assert_t(GLO_SRC);
  return Text(code == 0 ? 4569 : code + 6033);
}

// ---------------------------------------------------------------------------
// The lights.

NameValueRows_t DescribeSectorLight(const std::string& title, const mpl::MdbAuxInfo_t& r, LightSource_t& source) {
  if (r.bytes[0] != 7) throw glo::Assert_t(GLO_SRC);
  const std::uint8_t character = r.bytes[4];
  const std::uint8_t byte44 = r.bytes[44];
  NameValueRows_t rows;
  AddRow(rows, 4464, title);
  AddRow(rows, 4578, CharacterText(character, byte44));
  const std::uint16_t period = mpl::MdbAuxGet16(r, 16);
  if (period != 0) AddRow(rows, 4579, PeriodText(period));
  if (byte44 != 0 && character != 11) {
    const std::string flashes = FlashSequenceText(source.GetFlashes(r));
    if (!flashes.empty()) AddRow(rows, 4583, flashes);
  }

  const std::vector<mpl::MdbLightSector_t> sectors = source.GetSectors(r);
  if (sectors.size() == 1) {
    AddRow(rows, 4584, GetLightColourName(sectors[0].colour));
    if (sectors[0].range != 0)
      AddRow(rows, 4587, glo::StringResource_t(4586, GLO_SRC).Format(std::to_string(sectors[0].range), GLO_SRC));
  } else if (sectors.size() > 1) {
    for (const mpl::MdbLightSector_t& sector : sectors) {
      std::string text = GetLightColourName(sector.colour);
      if (sector.range != 0)
        text += glo::StringResource_t(4588, GLO_SRC).Format(std::to_string(sector.range), GLO_SRC);
      text += glo::StringResource_t(4589, GLO_SRC)
                  .FormatArgs({FormatTenths(sector.start * 0.1), FormatTenths(sector.end * 0.1)}, GLO_SRC);
      AddRow(rows, 4590, text);
    }
  }

  const std::uint16_t bearing = mpl::MdbAuxGet16(r, 18);
  if (bearing <= 3600)
    AddRow(rows, 4591, glo::StringResource_t(4567, GLO_SRC).Format(FormatTenths(bearing * 0.1), GLO_SRC));
  AddLabelRows(rows, r, 20, 24, 28, source);

  // The ranges carry their own unit codes, at bytes 5 and 6.
  const auto range1 = static_cast<std::int32_t>(mpl::MdbAuxGet32(r, 8));
  const auto range2 = static_cast<std::int32_t>(mpl::MdbAuxGet32(r, 12));
  if (range1 != 0) AddRow(rows, 4595, FormatDistance(range1, r.bytes[5]));
  if (range2 != 0) AddRow(rows, 4595, FormatDistance(range2, r.bytes[6]));

  const unsigned lights = r.bytes[32] & 7u;
  if (lights != 0) {
    const bool second = (r.bytes[32] & 8u) != 0;
    const int id = second ? (lights == 1 ? 4598 : 6000) : (lights == 1 ? 4597 : 4599);
    AddRow(rows, 6001, glo::StringResource_t(id, GLO_SRC).Format(std::to_string(lights), GLO_SRC));
  }
  if (r.bytes[7] != 0) AddRow(rows, 6002, Text(6003));
  return rows;
}

NameValueRows_t DescribeLight(const std::string& title, const mpl::MdbAuxInfo_t& r, LightSource_t& source) {
  if (r.bytes[0] != 8) throw glo::Assert_t(GLO_SRC);
  const std::uint8_t colour = r.bytes[4];
  const std::uint8_t character = r.bytes[6];
  const std::uint8_t byte22 = r.bytes[22];
  NameValueRows_t rows;
  AddRow(rows, 4464, title);
  if (colour != 0) AddRow(rows, 6004, GetColourName(colour));
  AddRow(rows, 6005, GetLightColourName(r.bytes[5]));
  if (character != 0) AddRow(rows, 6006, CharacterText(character, byte22));
  const std::uint16_t period = mpl::MdbAuxGet16(r, 20);
  if (period != 0) AddRow(rows, 4579, PeriodText(period));
  if (byte22 != 0 && character != 11) {
    const std::string flashes = FlashSequenceText(source.GetFlashes(r));
    if (!flashes.empty()) AddRow(rows, 4585, flashes);
  }
  AddLabelRows(rows, r, 8, 12, 16, source);
  // The flag row's label and value are the texts of 6012 and 6013.
  if (r.bytes[7] != 0) AddRow(rows, 6012, Text(6013));
  return rows;
}

}  // namespace map
