#include "tests/imgkit/TreBuilder.h"

#include <algorithm>
#include <functional>
#include <map>

namespace imgkit {

std::string SubdivRecord(const TreSubdiv_t& s, bool lowest) {
  std::string r;
  Put32(r, 0, (s.rgnOffset & 0x0FFFFFFF) | (static_cast<std::uint32_t>(s.kinds & 0x0F) << 28));
  Put24(r, 4, static_cast<std::uint32_t>(s.centreLon) >> 8);
  Put24(r, 7, static_cast<std::uint32_t>(s.centreLat) >> 8);
  Put16(r, 10, (s.halfWidth & 0x7FFF) | (s.last ? 0x8000 : 0));
  Put16(r, 12, (s.halfHeight & 0x7FFF) | ((s.kinds & 0x10) ? 0x8000 : 0));
  if (!lowest) Put16(r, 14, s.firstChild);
  return r;
}

std::string TreBuilder_t::Build() const {
  layout = TreLayout_t();
  const std::uint32_t headerSize = std::max<std::uint32_t>(headerLength, 188);
  std::string f = CommonHeader(headerLength, "TRE", date);
  f.resize(headerSize, '\0');
  Put24(f, 21, static_cast<std::uint32_t>(north) >> 8);
  Put24(f, 24, static_cast<std::uint32_t>(east) >> 8);
  Put24(f, 27, static_cast<std::uint32_t>(south) >> 8);
  Put24(f, 30, static_cast<std::uint32_t>(west) >> 8);

  // Level table.
  layout.levelOffset = static_cast<std::uint32_t>(f.size());
  unsigned lowest = 0xFF;
  for (const TreLevel_t& l : levels) {
    const std::size_t at = f.size();
    Put8(f, at, (l.number & 0x7F) | (l.noData ? 0x80 : 0));
    Put8(f, at + 1, l.bits);
    Put16(f, at + 2, l.storedCount ? *l.storedCount : static_cast<std::uint32_t>(l.subdivs.size()));
    lowest = std::min<unsigned>(lowest, l.number & 0x7F);
  }
  Put32(f, 33, layout.levelOffset);
  Put32(f, 37, static_cast<std::uint32_t>(4 * levels.size()));

  // Subdivisions in number order: highest level number first.
  std::vector<const TreLevel_t*> order;
  for (const TreLevel_t& l : levels) order.push_back(&l);
  std::stable_sort(order.begin(), order.end(),
                   [](const TreLevel_t* a, const TreLevel_t* b) { return (a->number & 0x7F) > (b->number & 0x7F); });
  std::vector<const TreSubdiv_t*> all;
  std::vector<bool> onLowest;
  for (const TreLevel_t* l : order)
    for (const TreSubdiv_t& s : l->subdivs) {
      all.push_back(&s);
      onLowest.push_back((l->number & 0x7F) == lowest);
    }
  layout.total = static_cast<std::uint32_t>(all.size());

  // Kinds words, each covering its children's when asked.
  std::vector<std::uint32_t> kinds(all.size());
  std::function<std::uint32_t(std::size_t, unsigned)> effective = [&](std::size_t i, unsigned depth) {
    std::uint32_t k = all[i]->extKinds;
    if (coverChildKinds && !onLowest[i] && all[i]->firstChild != 0 && depth < 10) {
      for (std::size_t c = all[i]->firstChild - 1; c < all.size(); ++c) {
        k |= effective(c, depth + 1);
        if (all[c]->last) break;
      }
    }
    return k;
  };
  for (std::size_t i = 0; i < all.size(); ++i) kinds[i] = effective(i, 0);
  layout.effectiveKinds = kinds;

  layout.subdivOffset = static_cast<std::uint32_t>(f.size());
  for (std::size_t i = 0; i < all.size(); ++i) {
    layout.recordOffsets.push_back(static_cast<std::uint32_t>(f.size()));
    f += SubdivRecord(*all[i], onLowest[i]);
  }
  Put32(f, f.size(), rgnEnd ? *rgnEnd : (all.empty() ? 0 : all.back()->rgnOffset));
  Put32(f, 41, layout.subdivOffset);
  Put32(f, 45, static_cast<std::uint32_t>(f.size()) - layout.subdivOffset);
  Put32(f, 63, flags);
  if (word67 != 0) Put32(f, 67, word67);

  auto table = [&](const TreTable_t& t, std::size_t at, std::size_t extraAt) {
    const std::uint32_t offset = static_cast<std::uint32_t>(f.size());
    f += t.data;
    Put32(f, at, offset);
    Put32(f, at + 4, static_cast<std::uint32_t>(t.data.size()));
    Put16(f, at + 8, t.recordSize);
    Put8(f, extraAt, t.extra);
  };
  table(overviews[0], 74, 84);
  table(overviews[1], 88, 98);
  table(overviews[2], 102, 112);
  Put32(f, 116, mapId);

  if (extFlags != 0) {
    const unsigned kindsBytes = ((extFlags >> 4) & 3) + 1;
    std::uint32_t size = 0;
    for (unsigned k = 0; k < 3; ++k)
      if (extFlags & (1u << k)) size += 4;
    if (extFlags & (1u << 10)) size += kindsBytes;
    const std::uint32_t recordSize = extRecordSize != 0 ? extRecordSize : size;
    layout.extOffset = static_cast<std::uint32_t>(f.size());
    std::array<std::uint32_t, 3> at{};
    auto record = [&](std::uint32_t kindsWord) {
      std::string r;
      std::size_t p = 0;
      for (unsigned k = 0; k < 3; ++k)
        if (extFlags & (1u << k)) {
          Put32(r, p, at[k]);
          p += 4;
        }
      if (extFlags & (1u << 10)) {
        for (unsigned b = 0; b < kindsBytes; ++b) Put8(r, p + b, (kindsWord >> (8 * b)) & 0xFF);
        p += kindsBytes;
      }
      r.resize(recordSize, '\0');
      f += r;
      ++layout.extRecords;
    };
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (i + 1 < extFirstCovered) continue;
      record(kinds[i]);
      for (unsigned k = 0; k < 3; ++k) at[k] += all[i]->extLength[k];
    }
    record(0);
    Put32(f, 124, layout.extOffset);
    Put32(f, 128, extTableLength ? *extTableLength : layout.extRecords * recordSize);
    Put16(f, 132, recordSize);
    Put32(f, 134, extFlags);
  }

  const std::uint32_t base = static_cast<std::uint32_t>(f.size());
  std::uint32_t typesLength = 0;
  for (unsigned k = 0; k < 3; ++k) {
    f += extTypes[k].data;
    typesLength += static_cast<std::uint32_t>(extTypes[k].data.size());
    Put16(f, 148 + 2 * k,
          extTypeRecordSize ? static_cast<std::uint32_t>(extTypes[k].data.size() / extTypeRecordSize) : 0);
  }
  Put32(f, 138, base);
  Put32(f, 142, typesLength);
  Put16(f, 146, extTypeRecordSize);
  return f;
}

}  // namespace imgkit
