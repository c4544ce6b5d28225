#include "tests/imgkit/TideBuilder.h"

#include <cstdlib>

#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/SubfileHeader.h"

namespace imgkit {

namespace {

void Put(std::string& out, std::uint32_t value, unsigned width) {
  for (unsigned i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutPhases(std::string& out, std::uint16_t first, std::uint16_t second) {
  const std::uint32_t v = (first & 0xFFFu) | ((second & 0xFu) << 12) | (((second >> 4) & 0xFFu) << 16);
  Put(out, v, 3);
}

}  // namespace

std::uint32_t TideSectionBuilder_t::AddBytes(const std::string& bytes) {
  const auto at = static_cast<std::uint32_t>(m_bytes.size());
  m_bytes += bytes;
  return at;
}

std::uint32_t TideSectionBuilder_t::AddHarmonic(int utcMinutes, std::uint16_t z0,
                                                const std::vector<TideConstituentFields_t>& list) {
  std::string out;
  const unsigned magnitude = static_cast<unsigned>(std::abs(utcMinutes));
  std::uint8_t flags = static_cast<std::uint8_t>((magnitude / 60) & 0xF);
  if (utcMinutes < 0) flags |= 0x10;
  if (magnitude % 60 != 0) flags |= 0x20;
  out.push_back(static_cast<char>(flags));
  if (flags & 0x20) out.push_back(static_cast<char>(magnitude % 60));
  Put(out, z0, 2);
  for (std::size_t i = 0; i < list.size(); ++i) {
    const TideConstituentFields_t& c = list[i];
    std::uint32_t word = c.phase & 0xFFFu;
    if (c.wide) {
      word |= ((c.amplitude >> 13) & 3u) << 12;
      word |= 0x4000u;
    } else {
      word |= ((c.amplitude >> 8) & 3u) << 12;
    }
    if (i + 1 == list.size()) word |= 0x8000u;
    Put(out, word, 2);
    out.push_back(static_cast<char>(c.number));
    if (c.wide) {
      Put(out, (c.amplitude & 0x1FFFu) | (static_cast<std::uint32_t>(c.extra & 7u) << 13), 2);
      out.append(c.extra & 7u, '\x5A');
    } else {
      out.push_back(static_cast<char>(c.amplitude & 0xFF));
    }
  }
  return AddBytes(out);
}

std::uint32_t TideSectionBuilder_t::AddSimplified(const TideSimplifiedFields_t& s) {
  std::string out;
  Put(out, s.flags, 2);
  Put(out, s.z0, (s.flags & 0x80) ? 2 : 1);
  PutPhases(out, s.phases[0], s.phases[1]);
  PutPhases(out, s.phases[2], s.phases[3]);
  for (std::uint16_t a : s.amplitudes) Put(out, a, (s.flags & 0x200) ? 2 : 1);
  const unsigned shallow = (s.flags >> 11) & 3u;
  if (shallow != 0) {
    PutPhases(out, s.phases[4], s.phases[5]);
    Put(out, s.f4, shallow >= 2 ? 2 : 1);
    Put(out, s.f6, shallow == 3 ? 2 : 1);
  }
  if (s.flags & 0x20) out.push_back(static_cast<char>(s.minutes));
  if (s.flags & 0x400) Put(out, s.meanLevelOffset, s.offsetWidth);
  if (s.flags & 0x2000) {
    out.push_back(static_cast<char>(s.dayFlags));
    for (std::int16_t v : s.day) Put(out, static_cast<std::uint16_t>(v), (s.dayFlags & 0x10) ? 2 : 1);
  }
  if (s.flags & 0x4000) {
    out.push_back(static_cast<char>(s.monthlyFlags));
    for (unsigned t = 0; t < 4; ++t) {
      const unsigned field = (s.monthlyFlags >> (2 * t)) & 3u;
      if (field == 0) continue;
      for (std::int16_t v : s.monthly[t]) Put(out, static_cast<std::uint16_t>(v), (field & 2) ? 2 : 1);
    }
  }
  return AddBytes(out);
}

std::uint32_t TideSectionBuilder_t::AddMeanLevelTable(std::uint8_t header, const std::vector<std::int8_t>& values) {
  static constexpr unsigned kWidths[4] = {2, 4, 8, 16};
  const unsigned width = kWidths[header & 3u];
  std::string out(1, static_cast<char>(header));
  std::string packed(12 * width / 8, '\0');
  for (std::size_t i = 0; i < values.size() && i < 12; ++i) {
    if (width == 16) {
      packed[2 * i] = static_cast<char>(values[i]);
      packed[2 * i + 1] = static_cast<char>(values[i] < 0 ? 0xFF : 0);
    } else {
      const unsigned bit = static_cast<unsigned>(i) * width;
      const unsigned v = static_cast<unsigned>(values[i]) & ((1u << width) - 1u);
      packed[bit / 8] = static_cast<char>(static_cast<unsigned char>(packed[bit / 8]) | (v << (bit % 8)));
    }
  }
  return AddBytes(out + packed);
}

std::string EncodeStationPointer(std::uint32_t sectionLength, std::uint32_t dataOffset) {
  const unsigned width = sectionLength <= 256u ? 1 : (sectionLength <= 65536u ? 2 : 3);
  std::string out;
  Put(out, dataOffset, width);
  return out;
}

std::string EncodeCorrections(const TideCorrectionsFields_t& s) {
  std::uint32_t f = 0;
  std::string tail;
  const unsigned further = static_cast<unsigned>(std::abs(s.furtherTime));
  f |= ((further / 60) & 7u) << 6;
  if (s.furtherTime < 0) f |= 0x200;
  if (further % 60 != 0) {
    f |= 0x400;
    tail.push_back(static_cast<char>(further % 60));
  }
  const auto low = static_cast<std::uint32_t>(s.lowTime);
  const auto high = static_cast<std::uint32_t>(s.highTime);
  if (s.wideTimes) {
    f |= 0x800 | ((low >> 8) & 7u) | (((high >> 8) & 7u) << 3);
    tail.push_back(static_cast<char>(low & 0xFF));
    tail.push_back(static_cast<char>(high & 0xFF));
  } else {
    f |= ((low >> 4) & 7u) | (((high >> 4) & 7u) << 3);
    tail.push_back(static_cast<char>((low & 0xF) | ((high & 0xF) << 4)));
  }
  f |= (s.layout & 3u) << 14;
  if (s.first & 0x100) f |= 0x1000;
  if (s.second & 0x100) f |= 0x2000;
  tail.push_back(static_cast<char>(s.first & 0xFF));
  if (s.layout != 0) tail.push_back(static_cast<char>(s.second & 0xFF));
  std::string out;
  Put(out, f, 2);
  return out + tail;
}

std::string BuildTideLbl(const std::string& section, const std::string& pointers, std::uint32_t& pointerOffset,
                         std::uint16_t headerLength, std::uint32_t sectionLength) {
  LblHeader_t header;
  header.length = headerLength;
  std::string bytes = header.Build();
  bytes.resize(236, '\0');  // a short header leaves the descriptor unread
  pointerOffset = static_cast<std::uint32_t>(bytes.size());
  Put32(bytes, 196, static_cast<std::uint32_t>(bytes.size() + pointers.size()));
  Put32(bytes, 200, sectionLength != 0 ? sectionLength : static_cast<std::uint32_t>(section.size()));
  return bytes + pointers + section;
}

TideMap_t::TideMap_t(const std::string& lbl) {
  map.mapName = "TIDEMAP";
  map.source = OpenImage(MapImage({{"TIDEMAP.LBL", lbl}}));
  openResult = mpl::MdbReadLblHeader(map);
}

std::string HarmonicStationLbl(const std::vector<TideConstituentFields_t>& list, std::uint32_t& pointerOffset) {
  TideSectionBuilder_t section;
  const std::uint32_t at = section.AddHarmonic(-300, 3000, list);
  return BuildTideLbl(section.Bytes(),
                      EncodeStationPointer(static_cast<std::uint32_t>(section.Bytes().size()), at), pointerOffset);
}

}  // namespace imgkit
