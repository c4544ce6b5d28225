// Installed products: the registration in the machine's settings, the product
// directory with its default product, and the signature check of the
// description files.
#include <gtest/gtest.h>

#include <functional>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Error.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "tdb/TDB_Signature.h"
#include "tests/common/TestEnv.h"
#include "tests/imgkit/ImageBuilder.h"
#include "tests/imgkit/ProductBuilder.h"
#include "win/WIN_Exception.h"

namespace {

using imgkit::MachineHive_t;
using imgkit::ProductFile_t;

const std::string kProducts = "Globarium\\Products";

// A folder of description files for one test; the hive is written by the test.
class ProductDirTest : public ::testing::Test {
 protected:
  void SetUp() override { m_folder = test::MakeTempDir("products"); }
  void TearDown() override { MachineHive_t::WriteEmpty(); }

  std::string WriteProduct(const std::string& name, std::uint32_t id, bool sign = true,
                           std::uint16_t formatVersion = 300) {
    ProductFile_t file;
    file.header.id = id;
    file.header.formatVersion = formatVersion;
    file.header.name = "Product " + std::to_string(id);
    file.sign = sign;
    const std::string path = m_folder + "/" + name;
    test::WriteFile(path, file.Build());
    return path;
  }

  std::string m_folder;
};

// The product directory of the hive as it is now.
tdb::ProductDir_t Directory() { return tdb::ProductDir_t(tdb::Registry_t()); }

template <class E>
const char* SourceOf(const std::function<void()>& run) {
  try {
    run();
  } catch (const E& e) {
    return e.SourceFile();
  }
  return "";
}

TEST(SignatureTest, Crc32AndSignatureBlocks) {
  EXPECT_EQ(0xCBF43926u, tdb::Crc32("123456789", 9));
  EXPECT_EQ(0xCBF43926u, imgkit::ReferenceCrc32("123456789"));
  EXPECT_EQ(0u, tdb::Crc32("", 0));
  EXPECT_EQ(0xEDB88320u, tdb::Reflect(0x04C11DB7u, 32));
  EXPECT_EQ(0x77073096u, tdb::InitCrc32Table()[1]);
  const std::string data = imgkit::Pattern(5000, 3);
  EXPECT_EQ(imgkit::ReferenceCrc32(data), tdb::Crc32(data.data(), data.size()));

  std::uint8_t block[20];
  tdb::MakeSignature("123456789", 9, block);
  EXPECT_EQ(0xCB, block[2]);
  EXPECT_EQ(0xF4, block[9]);
  EXPECT_EQ(0x39, block[12]);
  EXPECT_EQ(0x26, block[17]);
  std::uint8_t other[20];
  std::copy(block, block + 20, other);
  other[0] ^= 1;
  other[19] ^= 1;
  EXPECT_EQ(0, tdb::CompareSignatures(block, other));
  for (const int i : {2, 9, 12, 17}) {
    std::copy(block, block + 20, other);
    other[i] ^= 0x10;
    EXPECT_EQ(4, tdb::CompareSignatures(block, other)) << i;
  }
}

TEST_F(ProductDirTest, OneProductAndTheEmptyDefault) {
  const std::string path = WriteProduct("seven.tdb", 7);
  MachineHive_t hive;
  hive.Product(kProducts + "\\Seven", path, "seven bmap", m_folder)
      .String(kProducts, "InstallDir", "/opt/maps")
      .String(kProducts + "\\Seven", "Notice", "a notice")
      .Bool(kProducts + "\\Seven", "Partial Install", true)
      .String(kProducts + "\\Seven\\Logos\\Startup", "b", "start2.bmp")
      .String(kProducts + "\\Seven\\Logos\\Startup", "a", "start1.bmp")
      .String(kProducts + "\\Seven\\Logos\\About", "x", "about.bmp")
      .Write();
  const tdb::Registry_t registry;
  EXPECT_EQ("/opt/maps", registry.GetInstallDir().Value());
  const tdb::ProductDir_t dir(registry);
  ASSERT_EQ(2u, dir.GetProducts().size());
  EXPECT_EQ(0u, dir.GetDefaultProductId());
  EXPECT_EQ(&tdb::GetEmptyProduct(), &tdb::GetEmptyProduct());
  EXPECT_EQ("Unnamed map product", dir.GetProduct(0).GetName());
  const tdb::Product_t& p = dir.GetProduct(7);
  EXPECT_EQ("Product 7", p.GetName());
  EXPECT_EQ(path, p.GetTdbPath());
  EXPECT_EQ("seven bmap", p.GetBmap());
  EXPECT_EQ(m_folder, p.GetLoc());
  EXPECT_EQ("a notice", p.GetNotice());
  EXPECT_TRUE(p.IsPartialInstall());
  // Values in the order they were set.
  EXPECT_EQ((std::vector<std::string>{"start2.bmp", "start1.bmp"}), p.GetStartupLogos());
  EXPECT_EQ((std::vector<std::string>{"about.bmp"}), p.GetAboutLogos());
  EXPECT_STREQ("TDB_ProductDir.cpp", SourceOf<tdb::ProductDir_t::ProductNotFound_t>([&] { dir.GetProduct(8); }));
}

TEST_F(ProductDirTest, ProductsOfFamiliesAndTheirOrder) {
  MachineHive_t hive;
  hive.Product(kProducts + "\\b", WriteProduct("b.tdb", 0x30002), "m", m_folder)
      .Product(kProducts + "\\A", WriteProduct("a.tdb", 0x30001), "m", m_folder)
      .U16("Globarium\\Families\\Roads", "ID", 3)
      .String("Globarium\\Families\\Roads", "MDR", "/maps/roads_mdr.img")
      .String("Globarium\\Families\\Roads", "IDX", "/maps/roads.idx")
      .Product("Globarium\\Families\\Roads\\Extra", WriteProduct("c.tdb", 0x30000), "m", m_folder)
      .U16("Globarium\\Families\\Sea", "ID", 5)
      .Write();
  const tdb::Registry_t registry;
  std::vector<std::string> paths;
  for (const auto& info : registry.GetProducts()) paths.push_back(info.tdb.Value());
  EXPECT_EQ((std::vector<std::string>{m_folder + "/a.tdb", m_folder + "/b.tdb", m_folder + "/c.tdb"}), paths);
  const tdb::ProductDir_t dir(registry);
  EXPECT_EQ(4u, dir.GetProducts().size());
  EXPECT_EQ("Product 196608", dir.GetProduct(0x30000).GetName());
  EXPECT_FALSE(dir.GetProduct(0x30000).IsPartialInstall());

  const auto& families = registry.GetFamilies();
  ASSERT_EQ(2u, families.size());
  EXPECT_EQ("/maps/roads_mdr.img", families.at(3).mdr.Value());
  EXPECT_EQ("/maps/roads.idx", families.at(3).idx.Value());
  EXPECT_FALSE(families.at(5).mdr.IsPresent());
  EXPECT_FALSE(families.at(5).idx.IsPresent());
}

TEST_F(ProductDirTest, AnInstalledProductOfIdZeroTakesTheEmptyProductsPlace) {
  MachineHive_t()
      .Product(kProducts + "\\Zero", WriteProduct("zero.tdb", 0), "b", m_folder)
      .Product(kProducts + "\\Nine", WriteProduct("nine.tdb", 9), "b", m_folder)
      .Write();
  const tdb::ProductDir_t dir = Directory();
  EXPECT_EQ(2u, dir.GetProducts().size());
  EXPECT_EQ(0u, dir.GetDefaultProductId());
  EXPECT_EQ("Product 0", dir.GetProduct(0).GetName());
}

TEST_F(ProductDirTest, MissingOrBrokenRegistration) {
  // No "Globarium" at all, and a "Products" key without products.
  MachineHive_t::WriteEmpty();
  EXPECT_STREQ("WIN_RegKey.cpp", SourceOf<tdb::ProductDir_t::NoProductsInstalled_t>([] { tdb::Registry_t(); }));
  MachineHive_t().Key(kProducts).Write();
  EXPECT_STREQ("TDB_ProductDir.cpp", SourceOf<tdb::ProductDir_t::NoProductsInstalled_t>([] { Directory(); }));
  // "InstallDir" of the wrong type.
  MachineHive_t().Dword(kProducts, "InstallDir", 1).Write();
  EXPECT_STRNE("", SourceOf<tdb::ProductDir_t::NoProductsInstalled_t>([] { tdb::Registry_t(); }));

  // A product key without "Loc".
  MachineHive_t().String(kProducts + "\\P", "TDB", "x").String(kProducts + "\\P", "Bmap", "y").Write();
  EXPECT_STREQ("TDB_Registry.cpp", SourceOf<tdb::ProductInfo_t::BadProductInstallation_t>([] { Directory(); }));
  // A description file that is not there.
  MachineHive_t().Product(kProducts + "\\P", m_folder + "/none.tdb", "b", m_folder).Write();
  EXPECT_STREQ("TDB_ProductDir.cpp", SourceOf<tdb::ProductDir_t::ProductNotFound_t>([] { Directory(); }));
  // Two products of one id.
  MachineHive_t()
      .Product(kProducts + "\\P", WriteProduct("p.tdb", 9), "b", m_folder)
      .Product(kProducts + "\\Q", WriteProduct("q.tdb", 9), "b", m_folder)
      .Write();
  EXPECT_STREQ("TDB_ProductDir.cpp", SourceOf<glo::Exception_t>([] { Directory(); }));
  // A family with an index image but without its "IDX".
  MachineHive_t()
      .Product(kProducts + "\\P", WriteProduct("p.tdb", 9), "b", m_folder)
      .U16("Globarium\\Families\\F", "ID", 1)
      .String("Globarium\\Families\\F", "MDR", "/maps/f.img")
      .Write();
  try {
    tdb::Registry_t().GetFamilies();
    FAIL() << "family without IDX accepted";
  } catch (const win::RegError_t& e) {
    EXPECT_EQ(static_cast<unsigned long>(plat::kErrorFileNotFound), e.ErrorCode());
  }
  // A family without its "ID".
  MachineHive_t()
      .Product(kProducts + "\\P", WriteProduct("p.tdb", 9), "b", m_folder)
      .Key("Globarium\\Families\\F")
      .Write();
  EXPECT_STREQ("GLO_Optional.h", SourceOf<glo::Assert_t>([] { tdb::Registry_t().GetFamilies(); }));
}

TEST_F(ProductDirTest, SignatureCheck) {
  // Format 300 without a signature passes unchecked; format 400 needs one.
  MachineHive_t().Product(kProducts + "\\P", WriteProduct("p.tdb", 9, false, 300), "b", m_folder).Write();
  EXPECT_EQ(2u, Directory().GetProducts().size());
  MachineHive_t().Product(kProducts + "\\P", WriteProduct("p.tdb", 9, false, 400), "b", m_folder).Write();
  EXPECT_STREQ("TDB_ProductDir.cpp", SourceOf<glo::Assert_t>([] { Directory(); }));

  const std::string path = WriteProduct("signed.tdb", 9, true, 400);
  const std::string good = test::ReadFile(path);
  MachineHive_t().Product(kProducts + "\\P", path, "b", m_folder).Write();
  EXPECT_EQ(2u, Directory().GetProducts().size());
  // Every byte before the signature record counts; the filler does not.
  struct Flip_t {
    std::size_t offset;
    bool accepted;
  };
  const std::size_t t = good.size() - 23;
  for (const Flip_t& f : {Flip_t{10, false}, Flip_t{t - 1, false}, Flip_t{t + 3, true}, Flip_t{t + 3 + 19, true},
                          Flip_t{t + 3 + 2, false}, Flip_t{t + 3 + 17, false}}) {
    std::string bytes = good;
    bytes[f.offset] = static_cast<char>(bytes[f.offset] ^ 0x01);
    test::WriteFile(path, bytes);
    if (f.accepted) {
      EXPECT_NO_THROW(Directory()) << f.offset;
    } else {
      try {
        Directory();
        ADD_FAILURE() << "accepted a change at " << f.offset;
      } catch (const glo::Exception_t& e) {
        EXPECT_EQ("signed", e.Message()) << f.offset;
      }
    }
  }
}

TEST_F(ProductDirTest, InstanceIsBuiltAgainAfterAFailure) {
  MachineHive_t::WriteEmpty();
  EXPECT_THROW(tdb::ProductDir_t::Instance(), tdb::ProductDir_t::NoProductsInstalled_t);
  MachineHive_t().Product(kProducts + "\\P", WriteProduct("p.tdb", 0x50001), "b", m_folder).Write();
  const tdb::ProductDir_t& dir = tdb::ProductDir_t::Instance();
  EXPECT_EQ(0x50001u, dir.GetProducts().rbegin()->first);
  EXPECT_EQ(&dir, &tdb::ProductDir_t::Instance());
}

}  // namespace
