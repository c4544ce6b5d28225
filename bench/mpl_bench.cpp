// The map engine's object searches over a generated map of 1024 subdivisions
// (992 of them on the detailed level) and about 50,000 objects: areas, lines
// and points of the whole map and of a part of it in objects/s, the delta
// unpacking in points/s, and the media reads of each search; a filter that
// admits no type of the level does no reads. Run by hand: build/bin/mpl_bench
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Rgn.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/RgnBuilder.h"
#include "tests/imgkit/TreBuilder.h"

namespace {

constexpr unsigned kColumns = 32, kRows = 31;
constexpr std::uint16_t kHalf = 0x800;  // level-0 units (24 bits): 0x80000 semicircles
constexpr unsigned kAreas = 15, kLines = 15, kPoints = 20;

imgkit::DeltaStream_t RandomStream(std::mt19937& rng, unsigned points) {
  imgkit::DeltaStream_t s;
  for (unsigned i = 0; i < points; ++i)
    s.points.push_back({static_cast<std::int32_t>(rng() % 201) - 100, static_cast<std::int32_t>(rng() % 201) - 100, {}});
  return s;
}

imgkit::TreTable_t Overview(unsigned types, std::uint16_t size) {
  imgkit::TreTable_t t;
  t.recordSize = size;
  for (unsigned i = 1; i <= types; ++i) {
    std::string r(size, '\0');
    r[0] = static_cast<char>(i);
    t.data += r;
  }
  return t;
}

std::string BuildMap(std::size_t& objects) {
  std::mt19937 rng(2024);
  imgkit::MapBuilder_t m;
  m.tre.north = 0x4000000;
  m.tre.east = 0x4000000;
  imgkit::TreLevel_t top{1, 20, true, {}, {}};
  imgkit::TreLevel_t detail{0, 24, false, {}, {}};
  imgkit::RgnBuilder_t rgn;
  const std::int32_t cell = 2 * kHalf * 256;
  for (unsigned c = 0; c < kColumns; ++c) {
    imgkit::TreSubdiv_t parent;
    parent.centreLat = static_cast<std::int32_t>(kRows * cell / 2);
    parent.centreLon = static_cast<std::int32_t>(c * cell + cell / 2);
    parent.halfWidth = static_cast<std::uint16_t>(kHalf / 16);
    parent.halfHeight = static_cast<std::uint16_t>(kRows * kHalf / 16);
    parent.last = c + 1 == kColumns;
    parent.firstChild = static_cast<std::uint16_t>(kColumns + 1 + c * kRows);
    top.subdivs.push_back(parent);
    rgn.subdivisions.emplace_back();
  }
  objects = 0;
  for (unsigned c = 0; c < kColumns; ++c) {
    for (unsigned r = 0; r < kRows; ++r) {
      imgkit::TreSubdiv_t s;
      s.centreLat = static_cast<std::int32_t>(r * cell + cell / 2);
      s.centreLon = static_cast<std::int32_t>(c * cell + cell / 2);
      s.halfWidth = s.halfHeight = kHalf;
      s.last = r + 1 == kRows;
      detail.subdivs.push_back(s);
      imgkit::RgnSubdivision_t sd;
      auto near = [&] { return static_cast<std::int16_t>(static_cast<int>(rng() % 2000) - 1000); };
      for (unsigned i = 0; i < kPoints; ++i)
        sd.points.push_back({static_cast<std::uint8_t>(1 + i), i, false, std::nullopt, near(), near()});
      auto poly = [&](unsigned i) {
        imgkit::RgnPoly_t p;
        p.type = static_cast<std::uint8_t>(1 + i);
        p.dlon = near();
        p.dlat = near();
        p.stream = RandomStream(rng, 8 + rng() % 12);
        return p;
      };
      for (unsigned i = 0; i < kLines; ++i) sd.lines.push_back(poly(i));
      for (unsigned i = 0; i < kAreas; ++i) sd.areas.push_back(poly(i));
      objects += kPoints + kLines + kAreas;
      rgn.subdivisions.push_back(sd);
    }
  }
  m.tre.levels = {top, detail};
  m.tre.overviews[0] = Overview(kLines, 2);
  m.tre.overviews[1] = Overview(kAreas, 2);
  m.tre.overviews[2] = Overview(kPoints, 3);
  rgn.Place(m);
  return m.Build();
}

struct Run_t {
  std::size_t objects = 0;
  std::size_t points = 0;
  double seconds = 0;
  std::uint64_t reads = 0;
  unsigned rounds = 0;
};

// Repeats a search for at least half a second.
Run_t Time(imgkit::MemoryMedia_t& media, const std::function<void(Run_t&)>& search) {
  Run_t run;
  const std::uint64_t before = media.Reads();
  const auto start = std::chrono::steady_clock::now();
  do {
    search(run);
    ++run.rounds;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  } while (run.seconds < 0.5);
  run.reads = media.Reads() - before;
  return run;
}

template <class Record, class First, class Next>
std::function<void(Run_t&)> Search(mpl::MdbMap_t& map, First first, Next next, std::uint16_t request) {
  return [&map, first, next, request](Run_t& run) {
    Record rec;
    for (int r = first(map, rec, request, nullptr); r == 0; r = next(map, rec, request, nullptr)) {
      ++run.objects;
      if constexpr (!std::is_same_v<Record, mpl::MdbPointRecord_t>) run.points += rec.points.size();
    }
  };
}

void Report(const char* what, const Run_t& run) {
  std::printf("%-44s %9.0f objects/s  %6zu objects/search  %8.1f media reads/search", what,
              run.objects / run.seconds, run.objects / run.rounds, double(run.reads) / run.rounds);
  if (run.points != 0) std::printf("  %10.0f points/s", run.points / run.seconds);
  std::printf("\n");
}

}  // namespace

int main() {
  std::size_t objects = 0;
  const std::string image = BuildMap(objects);
  imgkit::MemoryMedia_t* media = nullptr;
  mpl::MdbMap_t map;
  if (mpl::MdbOpen(map, "12345678", "", imgkit::OpenImage(image, &media)) != 0) {
    std::printf("the generated map does not open\n");
    return 1;
  }
  std::printf("map: %u subdivisions, %zu objects, image %zu bytes\n", kColumns + kColumns * kRows, objects,
              image.size());

  const std::uint16_t all = mpl::kRequestCount;
  Report("areas, whole map, all points",
         Time(*media, Search<mpl::MdbAreaRecord_t>(map, mpl::MdbFirstArea, mpl::MdbNextArea, all)));
  Report("lines, whole map, all points",
         Time(*media, Search<mpl::MdbLineRecord_t>(map, mpl::MdbFirstLine, mpl::MdbNextLine, all)));
  Report("points, whole map", Time(*media, Search<mpl::MdbPointRecord_t>(map, mpl::MdbFirstPoint, mpl::MdbNextPoint, 0)));
  Report("areas, whole map, first points only",
         Time(*media, Search<mpl::MdbAreaRecord_t>(map, mpl::MdbFirstArea, mpl::MdbNextArea, 1)));
  // A part of the map: a sixteenth of it.
  const std::int32_t cell = 2 * kHalf * 256;
  map.searchRect = {static_cast<std::int32_t>(kRows * cell / 4), static_cast<std::int32_t>(kColumns * cell / 4), 0, 0};
  Report("areas, a sixteenth of the map",
         Time(*media, Search<mpl::MdbAreaRecord_t>(map, mpl::MdbFirstArea, mpl::MdbNextArea, all)));
  Report("lines, a sixteenth of the map",
         Time(*media, Search<mpl::MdbLineRecord_t>(map, mpl::MdbFirstLine, mpl::MdbNextLine, all)));
  Report("points, a sixteenth of the map",
         Time(*media, Search<mpl::MdbPointRecord_t>(map, mpl::MdbFirstPoint, mpl::MdbNextPoint, 0)));
  map.searchRect = mpl::kMdbWorld;

  // Delta unpacking alone: every line read again by its reference.
  std::vector<std::uint32_t> refs;
  mpl::MdbLineRecord_t line;
  for (int r = mpl::MdbFirstLine(map, line, 0, nullptr); r == 0; r = mpl::MdbNextLine(map, line, 0, nullptr))
    refs.push_back(line.ref);
  const Run_t unpack = Time(*media, [&](Run_t& run) {
    for (std::uint32_t ref : refs) {
      line.ref = ref;
      if (mpl::MdbGetLine(map, line, all, nullptr) == 0) {
        ++run.objects;
        run.points += line.points.size();
      }
    }
  });
  std::printf("%-44s %9.0f points/s (%zu lines, %.1f points each)\n", "delta unpacking (lines by reference)",
              unpack.points / unpack.seconds, refs.size(), double(unpack.points) / unpack.objects);

  // A filter that admits no type present at the level ends before any read of
  // RGN; once the level's types are known, before any read at all.
  mpl::Filter_t none;
  none.kind = 1;
  none.entries[0x50] = 0xFFFFFFFF;
  map.areaFilter = map.lineFilter = none;
  const std::uint64_t before = media->Reads();
  mpl::MdbAreaRecord_t area;
  const int first = mpl::MdbFirstArea(map, area, all, nullptr);
  const std::uint64_t firstReads = media->Reads() - before;
  const Run_t nothing = Time(*media, [&](Run_t& run) {
    if (mpl::MdbFirstArea(map, area, all, nullptr) == 0) ++run.objects;
    if (mpl::MdbFirstLine(map, line, all, nullptr) == 0) ++run.objects;
  });
  std::printf("%-44s result %d, %llu media reads for the first search (TRE type tables), %.3f reads/search after"
              " (%u searches, %zu objects)\n",
              "a filter admitting nothing", first, static_cast<unsigned long long>(firstReads),
              double(nothing.reads) / nothing.rounds, nothing.rounds * 2, nothing.objects);
  return nothing.reads == 0 && nothing.objects == 0 ? 0 : 1;
}
