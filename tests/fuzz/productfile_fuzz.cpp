// Product description files on any bytes: the whole file is read, its regions
// printed and totalled, and the product copied.
#include <sstream>

#include "bin/BIN_stream.h"
#include "glo/GLO_Exception.h"
#include "tdb/TDB_Product.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/ProductBuilder.h"

std::vector<std::string> StrideFuzzSeeds() {
  using namespace imgkit;
  ProductFile_t full;
  LeafSpec_t leaf;
  leaf.id = 3;
  leaf.parentId = 2;
  leaf.name = "Leaf";
  leaf.sizes = {100, 200};
  leaf.itemNames = {"a.img", "b.img"};
  leaf.morePairs = {{1, 2}};
  full.header.north = 1000;
  full.header.south = -1000;
  full.header.east = 2000;
  full.header.west = -2000;
  full.records = {CompositeRecord(1, 0, {1, 2, 3, 4}, "Top"),
                  CompositeRecord(2, 1, {1, 2, 3, 4}, "Middle"),
                  LeafRecord(leaf),
                  NoticesRecord({"VORTAN CORPORATION 1998-2001", "Other"}),
                  RegionNamesRecord({{1, "One"}}),
                  SubRegionNamesRecord({{{1, 2}, "Sub"}}),
                  ShortRecord('X', "skip")};
  ProductFile_t old;
  old.header.groups = 0;
  old.header.name = "Roadline Europe";
  old.records = {FlaggedNoticesRecord({{0x1E000206, "Flagged"}})};
  ProductFile_t self;
  self.records = {CompositeRecord(5, 5, {}, "Self")};
  return {full.Build(), old.Build(), self.Build(), full.Build().substr(0, 60)};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    tdb::Product_t product("loc", "bmap", "", {}, {}, "", false);
    bin::stringstream in;
    in.str(fuzz::Bytes(data, size));
    product.Read(in);
    const tdb::RegionDir_t& dir = product.GetRegionDir();
    std::uint64_t leaves = 0;
    std::ostringstream out;
    for (const auto& [id, region] : dir.GetRegions()) {
      if (region->GetId() != id) __builtin_trap();
      if (!region->IsComposite()) leaves += region->GetTotal();
      region->Print(out);
    }
    // Every region hangs from a top-level one: the top-level totals count each leaf once.
    if (dir.GetTotal() != leaves) __builtin_trap();
    const tdb::Product_t copy = product;
    if (copy.GetRegionDir().GetTotal() != leaves || copy.GetRegionDir().GetRegions().size() != dir.GetRegions().size())
      __builtin_trap();
    if (product.GetCopyright().IsEmpty()) __builtin_trap();
  } catch (const glo::Exception_t&) {
  }
  return 0;
}
