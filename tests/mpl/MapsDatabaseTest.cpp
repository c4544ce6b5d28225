// The maps database: the maps, indexes and sort tables of an image, the map
// chosen for a position and a resolution, and the product images opened from
// the product's folder or its updates, with the medium prompt.
#include <gtest/gtest.h>

#include <functional>

#include "dsk/DSK_MediaPrompter.h"
#include "glo/GLO_Exception.h"
#include "mpl/MPL_FileMedia.h"
#include "mpl/MPL_MapDirectory.h"
#include "mpl/MPL_MapsDatabase.h"
#include "mpl/MPL_Utilities.h"
#include "plat/PLAT_Folder.h"
#include "plat/PLAT_MessageBox.h"
#include "plat/PLAT_Window.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "tests/common/TestEnv.h"
#include "tests/imgkit/ProductBuilder.h"
#include "tests/imgkit/RecordingPrompter.h"
#include "tests/mpl/MapFacadeFixture.h"

namespace {

using mpl::LevelRange_t;

// A one-subdivision map named 'name' whose bounds are the box (semicircles)
// and whose only level with data has 'bits'.
std::vector<imgkit::MapFile_t> BoxMap(const std::string& name, std::uint32_t id, std::int32_t north,
                                      std::int32_t east, std::int32_t south, std::int32_t west,
                                      std::uint8_t coarseBits = 20, std::uint8_t fineBits = 24) {
  rgntest::Fixture_t f = facadetest::GridFixture(1, 1, name);
  f.map.tre.mapId = id;
  f.map.tre.north = north;
  f.map.tre.east = east;
  f.map.tre.south = south;
  f.map.tre.west = west;
  // Both levels hold data: the range is (coarse, fine).
  f.map.tre.levels[0].bits = coarseBits;
  f.map.tre.levels[0].noData = false;
  f.map.tre.levels[1].bits = fineBits;
  return facadetest::FilesOf(f);
}

std::vector<imgkit::MapFile_t> Join(std::vector<std::vector<imgkit::MapFile_t>> parts) {
  std::vector<imgkit::MapFile_t> all;
  for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(MapsDatabaseTest, ChooseLevelRangeTable) {
  struct Case_t {
    unsigned bits;
    LevelRange_t candidate, best, expected;
  };
  const Case_t cases[] = {
      {20, {18, 24}, {20, 22}, {18, 24}},  // both contain: the finer wins
      {20, {20, 22}, {18, 24}, {18, 24}},
      {20, {18, 22}, {16, 22}, {18, 22}},  // equal finest bits: the candidate
      {20, {18, 22}, {12, 16}, {18, 22}},  // only the candidate contains
      {14, {18, 22}, {12, 16}, {12, 16}},  // only the best contains
      {26, {18, 24}, {16, 23}, {18, 24}},  // both below the bits: the finer
      {26, {16, 23}, {18, 24}, {18, 24}},
      {26, {16, 24}, {18, 24}, {16, 24}},  // equal: the candidate
      {10, {12, 20}, {14, 24}, {12, 20}},  // both above: the coarser
      {10, {14, 24}, {12, 20}, {12, 20}},
      {10, {12, 24}, {12, 20}, {12, 20}},  // equal coarsest bits: the best
      {17, {12, 16}, {18, 24}, {18, 24}},  // between them: the one above
      {17, {18, 24}, {12, 16}, {18, 24}},
  };
  for (const Case_t& c : cases) {
    const LevelRange_t r = mpl::ChooseLevelRange(c.bits, c.candidate, c.best);
    EXPECT_EQ(c.expected.lo, r.lo) << c.bits << " " << int(c.candidate.lo) << "-" << int(c.candidate.hi);
    EXPECT_EQ(c.expected.hi, r.hi) << c.bits << " " << int(c.candidate.lo) << "-" << int(c.candidate.hi);
  }
}

TEST(MapsDatabaseTest, ListsMapsIndexesAndSortTables) {
  std::vector<imgkit::MapFile_t> files = Join({BoxMap("20000002", 2, 0x100000, 0x100000, 0, 0),
                                               BoxMap("20000001", 1, 0x100000, 0x100000, 0, 0)});
  files.push_back({"20000001.SRT", std::string(64, '\0')});
  files.push_back({"INDEX.MDR", std::string(64, '\0')});
  const facadetest::Image_t image(files);
  EXPECT_EQ((std::vector<std::string>{"20000001", "20000002"}), mpl::GetImageMapNames(image.source));
  EXPECT_EQ(std::vector<std::string>{"INDEX"}, mpl::GetImageIndexNames(image.source));
  EXPECT_EQ(std::vector<std::string>{"20000001"}, mpl::GetImageSortNames(image.source));

  const facadetest::Image_t none(std::vector<imgkit::MapFile_t>{{"README.TXT", "x"}});
  EXPECT_THROW(mpl::GetImageMapNames(none.source), glo::Assert_t);
  EXPECT_TRUE(mpl::GetImageSortNames(none.source).empty());
}

TEST(MapsDatabaseTest, SelectMapNameByPositionAndRange) {
  const std::int32_t k = 0x100000;
  // A and B share bounds and ranges; C lies east of them and is coarser; D
  // crosses the 180-degree meridian. A and C share an edge.
  const facadetest::Image_t image(Join({
      BoxMap("A0000001", 1, k, k, 0, 0),
      BoxMap("B0000001", 2, k, k, 0, 0),
      BoxMap("C0000001", 3, k, 3 * k, 0, k, 14, 18),
      BoxMap("D0000001", 4, k, INT32_MIN + k, 0, INT32_MAX - k),
  }));
  const auto at = [](std::int32_t lat, std::int32_t lon) { return geo::Position_t(lat, lon); };
  EXPECT_EQ("B0000001", mpl::SelectMapName(image.source, at(k / 2, k / 2), 24));  // equal ranges: the later
  EXPECT_EQ("B0000001", mpl::SelectMapName(image.source, at(k / 2, k / 2), 18));  // (20, 24) is above 18 as C is not
  EXPECT_EQ("C0000001", mpl::SelectMapName(image.source, at(k / 2, 2 * k), 24));
  EXPECT_EQ("C0000001", mpl::SelectMapName(image.source, at(k / 2, k), 16));  // on the shared edge: C serves 16
  EXPECT_EQ("A0000001", mpl::SelectMapName(image.source, at(-k, k / 2), 24));  // outside every map: the first
  EXPECT_EQ("D0000001", mpl::SelectMapName(image.source, at(k / 2, INT32_MIN + 5), 24));
  EXPECT_EQ("D0000001", mpl::SelectMapName(image.source, at(k / 2, INT32_MAX - 5), 24));
  EXPECT_EQ("A0000001", mpl::SelectMapName(image.source, at(k / 2, INT32_MAX - 2 * k), 24));
}

// The names keep the directory's order of whole entry names, in which
// "A-B.TRE" precedes "A.TRE"; among equal maps the later one, A, wins.
TEST(MapsDatabaseTest, NamesKeepDirectoryOrder) {
  const std::int32_t k = 0x100000;
  const facadetest::Image_t image(Join({BoxMap("A", 1, k, k, 0, 0), BoxMap("A-B", 2, k, k, 0, 0)}));
  EXPECT_EQ((std::vector<std::string>{"A-B", "A"}), mpl::GetImageMapNames(image.source));
  EXPECT_EQ("A", mpl::SelectMapName(image.source, geo::Position_t(k / 2, k / 2), 24));
}

// Drive kinds, ticks and pauses of a pretend removable drive.
struct RemovableSystem_t : dsk::MediaSystem_t {
  std::string removablePrefix;
  std::uint32_t tick = 1000;
  bool IsRemovable(const std::string& path, std::string& drive) override {
    drive = removablePrefix;
    return !removablePrefix.empty() && path.compare(0, removablePrefix.size(), removablePrefix) == 0;
  }
  std::uint32_t Tick() override { return tick; }
  void Sleep(std::uint32_t ms, int) override { tick += ms; }
};

using Prompter_t = imgkit::RecordingPrompter_t;

// An installed product of id 0 (so it is the default product) whose folder
// and updates folder the test fills.
class ProductImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = test::MakeTempDir("productimages");
    m_loc = m_root + "/product";
    m_install = m_root + "/install";
    m_updates = m_install + "/Updates/0";
    for (const std::string& dir : {m_loc, m_install, m_install + "/Updates", m_updates})
      ASSERT_TRUE(plat::CreateDirectory(dir)) << dir;
    imgkit::ProductFile_t file;
    file.header.id = 0;
    file.header.name = "Ridge Trails";
    test::WriteFile(m_root + "/ridge.tdb", file.Build());
    imgkit::MachineHive_t()
        .Product("Globarium\\Products\\Ridge", m_root + "/ridge.tdb", "basemap", m_loc)
        .String("Globarium\\Products", "InstallDir", m_install)
        .Write();
    m_registry = std::make_unique<tdb::Registry_t>();
    m_products = std::make_unique<tdb::ProductDir_t>(*m_registry);
    m_env.products = m_products.get();
    m_env.registry = m_registry.get();
    m_env.directory = &m_directory;
    m_image = imgkit::MapImage(BoxMap("30000001", 0x30001, 0x100000, 0x100000, 0, 0));
  }
  void TearDown() override { imgkit::MachineHive_t::WriteEmpty(); }

  std::string m_root, m_loc, m_install, m_updates, m_image;
  std::unique_ptr<tdb::Registry_t> m_registry;
  std::unique_ptr<tdb::ProductDir_t> m_products;
  mpl::MapDirectory_t m_directory;
  mpl::ProductImageEnv_t m_env;
};

TEST_F(ProductImageTest, FoundInTheProductFolderOrAmongTheUpdates) {
  EXPECT_EQ((std::vector<std::string>{m_loc, m_install + "/Updates/0"}),
            mpl::ProductImageFolders(m_products->GetProduct(0), *m_registry));
  EXPECT_FALSE(mpl::OpenProductImage("00000042", "", m_env).IsOpen());
  EXPECT_FALSE(mpl::OpenMapAt("00000042", geo::Position_t(0, 0), "", 24, m_env).IsOpen());

  // Only the updates hold it, named in capitals.
  test::WriteFile(m_updates + "/00000042.IMG", m_image);
  mpl::ImageSource_t image = mpl::OpenProductImage("00000042", " (tile 42)", m_env);
  ASSERT_TRUE(image.IsOpen());
  EXPECT_EQ(m_updates + "/00000042.IMG", image.Media()->Name());
  auto* media = dynamic_cast<mpl::FileMedia_t*>(image.Media());
  ASSERT_NE(nullptr, media);
  const std::string prompt = media->ResolverState().promptText;
  EXPECT_NE(std::string::npos, prompt.find("\"Ridge Trails\"")) << prompt;
  EXPECT_NE(std::string::npos, prompt.find("%s")) << prompt;  // the drive's place stays
  EXPECT_EQ(" (tile 42)", prompt.substr(prompt.size() - 10));
  // The medium's prompter outlives the call that opened it.
  EXPECT_EQ(&dsk::SharedMediaPrompter(), media->ResolverState().prompter);

  // The product's own folder comes first.
  test::WriteFile(m_loc + "/00000042.img", m_image);
  EXPECT_EQ(m_loc + "/00000042.img", mpl::OpenProductImage("00000042", "", m_env).Media()->Name());

  mpl::Map_t map = mpl::OpenMapAt("00000042", geo::Position_t(0x80000, 0x80000), "", 24, m_env);
  ASSERT_TRUE(map.IsOpen());
  EXPECT_EQ(0x30001u, map.GetMapId());
}

TEST_F(ProductImageTest, ARefusedMediumMovesOnToTheUpdates) {
  RemovableSystem_t system;
  system.removablePrefix = m_loc;
  Prompter_t prompter;
  m_env.system = &system;
  m_env.prompter = &prompter;
  test::WriteFile(m_updates + "/00000007.img", m_image);
  const mpl::ImageSource_t image = mpl::OpenProductImage("00000007", "", m_env);
  ASSERT_TRUE(image.IsOpen());
  EXPECT_EQ(m_updates + "/00000007.img", image.Media()->Name());
  ASSERT_EQ(1u, prompter.texts.size());
  EXPECT_NE(std::string::npos, prompter.texts[0].find("Ridge Trails")) << prompter.texts[0];
  EXPECT_NE(std::string::npos, prompter.texts[0].find(m_loc)) << prompter.texts[0];

  // Putting the medium back and answering OK opens the product's own copy.
  prompter.texts.clear();
  prompter.answer = dsk::kPromptRetry;
  prompter.onPrompt = [&] { test::WriteFile(m_loc + "/00000007.img", m_image); };
  EXPECT_EQ(m_loc + "/00000007.img", mpl::OpenProductImage("00000007", "", m_env).Media()->Name());
  EXPECT_EQ(1u, prompter.texts.size());
}

TEST(MediaPrompterTest, AsksWithTheDriveAndAnswersTheButton) {
  std::string text, caption;
  unsigned type = 0;
  int button = plat::kIdOk;
  plat::SetMessageBoxHook([&](const std::string& t, const std::string& c, unsigned ty) {
    text = t;
    caption = c;
    type = ty;
    return button;
  });
  dsk::MediaResolverState_t state;
  state.promptText = "Insert the card into %s, then %s";
  dsk::MediaPrompter_t prompter;
  EXPECT_EQ(dsk::kPromptRetry, prompter.Prompt(state, "/media/card"));
  EXPECT_EQ("Insert the card into /media/card, then %s", text);
  EXPECT_EQ("Map Medium Needed", caption);
  EXPECT_EQ(plat::kMbOkCancel | plat::kMbIconExclamation, type);
  button = plat::kIdCancel;
  EXPECT_EQ(dsk::kPromptCancel, prompter.Prompt(state, "/media/card"));
  plat::SetMessageBoxHook(nullptr);
  EXPECT_EQ("no drive here", dsk::MediaPromptText("no drive here", "/x"));
}

}  // namespace
