// Registry keys and typed values over the test's own hive files.
#include <gtest/gtest.h>

#include <string>

#include "plat/PLAT_Error.h"
#include "tests/common/RegistryBytes.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_RegKey.h"
#include "win/WIN_RegSettingsKey.h"
#include "win/WIN_RegValue.h"

namespace colour {
enum class Kind_t : int { Red = 0, Green = 1 };
bool IsKnownRegValue(Kind_t kind) { return kind == Kind_t::Red || kind == Kind_t::Green; }
}  // namespace colour

namespace {

using win::RegKey_t;
using Raw_t = test::RegBytes_t;

class RegKeyTest : public ::testing::Test {
 protected:
  RegKeyTest()
      : m_folder(test::MakeTempDir("hive")),
        m_user("STRIDE_REGISTRY_USER", (m_folder + "/user.txt").c_str()),
        m_key(win::HkeyCurrentUser(), "Software\\Test" + std::to_string(++s_counter)) {}

  Raw_t Raw(const std::string& name) const { return test::ReadRegBytes(m_key.Handle(), name); }

  void Store(const std::string& name, unsigned long type, const std::string& bytes) const {
    m_key.WriteValue(name, type, bytes.data(), static_cast<unsigned long>(bytes.size()));
  }

  static int s_counter;
  std::string m_folder;
  test::EnvOverride m_user;
  RegKey_t m_key;
};
int RegKeyTest::s_counter = 0;

template <typename E>
unsigned long CodeOf(E&& call) {
  try {
    call();
  } catch (const win::RegError_t& e) {
    return e.ErrorCode();
  }
  return 0;
}

TEST_F(RegKeyTest, PathsOpenOneComponentAtATime) {
  const RegKey_t vortan(win::HkeyCurrentUser(), "Software\\Vortan\\");
  EXPECT_EQ("Vortan", vortan.Name());
  EXPECT_EQ("HKEY_CURRENT_USER", win::HkeyCurrentUser().Name());
  EXPECT_EQ("Vortan", win::CompanyUserKey().Name());
  EXPECT_TRUE(win::RegKeyExists(win::HkeyCurrentUser(), "software\\VORTAN"));
  // A fresh machine has the maker's key.
  EXPECT_EQ("HKEY_LOCAL_MACHINE", win::HkeyLocalMachine().Name());
  EXPECT_EQ(0u, win::CompanyMachineKey().ValueCount());

  for (const char* bad : {"", "A\\\\B", "\\A"}) {
    EXPECT_THROW(RegKey_t(m_key, bad), glo::Assert_t) << bad;
    EXPECT_THROW(RegKey_t(m_key, bad, RegKey_t::KeyReader_t()), glo::Assert_t) << bad;
  }
  EXPECT_EQ(0u, m_key.SubKeyCount());  // a bad path creates nothing

  try {
    RegKey_t(m_key, "Missing\\Deeper", RegKey_t::KeyReader_t());
    FAIL();
  } catch (const win::RegError_t& e) {
    EXPECT_EQ(plat::kErrorFileNotFound, e.ErrorCode());
    EXPECT_NE(std::string::npos, e.Message().find("; Reg name: Missing"));
  }
  EXPECT_FALSE(win::RegKeyExists(m_key, "Missing"));
  // The machine's hive refuses to create.
  EXPECT_EQ(plat::kErrorAccessDenied, CodeOf([] { RegKey_t(win::HkeyLocalMachine(), "Software\\New"); }));
}

TEST_F(RegKeyTest, SubkeysAndValuesByIndex) {
  RegKey_t(m_key, "b");
  RegKey_t(m_key, "A\\inner");
  Store("Second", plat::kRegSz, std::string("x\0", 2));
  Store("first", plat::kRegSz, std::string("y\0", 2));
  ASSERT_EQ(2u, m_key.SubKeyCount());
  EXPECT_EQ("A", RegKey_t(m_key, 0ul).Name());
  EXPECT_EQ("b", RegKey_t(m_key, 1ul).Name());
  EXPECT_EQ(1u, RegKey_t(m_key, 0ul).SubKeyCount());
  EXPECT_THROW(RegKey_t(m_key, 2ul), glo::Assert_t);
  ASSERT_EQ(2u, m_key.ValueCount());
  EXPECT_EQ("Second", m_key.ValueName(0));
  EXPECT_EQ("first", m_key.ValueName(1));
  EXPECT_THROW(m_key.ValueName(2), glo::Assert_t);
  m_key.DeleteValue("SECOND");
  EXPECT_EQ(plat::kErrorFileNotFound, CodeOf([&] { m_key.DeleteValue("Second"); }));
}

TEST_F(RegKeyTest, CopiesShareOneHandleClosedWithTheLast) {
  plat::HKEY handle = 0;
  {
    auto* first = new RegKey_t(m_key, "Shared");
    handle = first->Handle();
    RegKey_t second(*first);
    EXPECT_TRUE(second.SharesHandleWith(*first));
    delete first;
    EXPECT_EQ(0u, second.ValueCount());  // still open
  }
  EXPECT_EQ(static_cast<long>(plat::kErrorInvalidHandle), plat::RegCloseKey(handle));
}

TEST_F(RegKeyTest, StringsAreReadWithinTheirStoredSize) {
  const struct {
    std::string stored;
    std::string text;
  } cases[] = {
      {std::string("abc\0", 4), "abc"},
      {"abc", "abc"},  // no terminating zero
      {"", ""},        // size 0
      {std::string("ab\0cd\0", 6), "ab"},
  };
  for (const auto& c : cases) {
    Store("Text", plat::kRegSz, c.stored);
    EXPECT_EQ(c.text, m_key.ReadString("Text"));
  }
  Store("Text", plat::kRegBinary, "abc");
  EXPECT_EQ(plat::kErrorInvalidData, CodeOf([&] { m_key.ReadString("Text"); }));
}

template <typename T>
bool Same(const T& a, const T& b) {
  return a == b;
}
bool Same(const plat::RECT& a, const plat::RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Writes the value through a setting with only a default and gives what is stored.
template <typename T>
Raw_t Encoded(const RegKey_t& key, const T& value) {
  win::RegValue_t<T> setting(key, "V", value);
  const Raw_t stored = test::ReadRegBytes(key.Handle(), "V");
  EXPECT_TRUE(Same(value, win::ConstRegValue_t<T>(key, "V").Value()));  // and reads back
  key.DeleteValue("V");
  return stored;
}

TEST_F(RegKeyTest, EveryValueTypeHasItsEncoding) {
  const unsigned long bin = plat::kRegBinary;
  EXPECT_EQ(Raw_t(bin, std::string("\x01", 1)), Encoded(m_key, true));
  EXPECT_EQ(Raw_t(bin, std::string("\x00", 1)), Encoded(m_key, false));
  EXPECT_EQ(Raw_t(bin, std::string("\x07\x00\x00\x00", 4)), Encoded(m_key, 7));
  EXPECT_EQ(Raw_t(bin, std::string("\xfe\xff\xff\xff", 4)), Encoded(m_key, -2));
  EXPECT_EQ(Raw_t(bin, std::string("\x01\x00\x00\x00", 4)), Encoded(m_key, colour::Kind_t::Green));
  EXPECT_EQ(Raw_t(plat::kRegDword, std::string("\x78\x56\x34\x12", 4)), Encoded(m_key, 0x12345678ul));
  EXPECT_EQ(Raw_t(bin, std::string("\x00\x00\x00\x00\x00\x00\xf8\x3f", 8)), Encoded(m_key, glo::TimeSpan_t(1.5)));
  const plat::RECT rect{1, -2, 300, 0x01020304};
  EXPECT_EQ(Raw_t(bin, std::string("\x01\0\0\0\xfe\xff\xff\xff\x2c\x01\0\0\x04\x03\x02\x01", 16)), Encoded(m_key, rect));
  EXPECT_EQ(Raw_t(plat::kRegSz, std::string("h\xc3\xa9\0", 4)), Encoded(m_key, std::string("h\xc3\xa9")));

  Store("Short", plat::kRegBinary, std::string("\x34\x12", 2));
  EXPECT_EQ(0x1234, win::ConstRegValue_t<unsigned short>(m_key, "Short").Value());
}

TEST_F(RegKeyTest, DefaultsAreWrittenAndStoredValuesWin) {
  win::RegValue_t<int> count(m_key, "Count", 7);
  EXPECT_EQ(7, count.Value());
  EXPECT_EQ(Raw_t(plat::kRegBinary, std::string("\x07\x00\x00\x00", 4)), Raw("Count"));
  Store("Count", plat::kRegBinary, std::string("\x09\x00\x00\x00", 4));
  EXPECT_EQ(9, win::RegValue_t<int>(m_key, "Count", 7).Value());

  // Without default and without stored value: empty, nothing written.
  win::RegValue_t<int> none(m_key, "None");
  EXPECT_FALSE(none.IsPresent());
  EXPECT_THROW(none.Value(), glo::Assert_t);
  EXPECT_THROW(none.Write(), glo::Assert_t);
  EXPECT_EQ("missing", Raw("None").second);
  win::ConstRegValue_t<std::string> absent(m_key, "Absent");
  EXPECT_FALSE(absent.IsPresent());
}

TEST_F(RegKeyTest, SetWritesAtOncePlainAssignmentOnlyOnDemand) {
  win::RegValue_t<int> value(m_key, "Value", 1);
  value = 5;
  EXPECT_EQ(5, value.Value());
  EXPECT_EQ(std::string("\x01\x00\x00\x00", 4), Raw("Value").second);
  value.Write();
  EXPECT_EQ(std::string("\x05\x00\x00\x00", 4), Raw("Value").second);
  value.Set(6);
  EXPECT_EQ(std::string("\x06\x00\x00\x00", 4), Raw("Value").second);
  value.Assign(8);
  EXPECT_EQ(std::string("\x06\x00\x00\x00", 4), Raw("Value").second);
  EXPECT_EQ(1, value.Default().Value());
}

TEST_F(RegKeyTest, DamagedValuesFallBackToTheirDefault) {
  const struct {
    const char* what;
    unsigned long type;
    std::string stored;
  } bools[] = {
      {"dword", plat::kRegDword, std::string("\x01\x00\x00\x00", 4)},
      {"empty", plat::kRegBinary, ""},
      {"two bytes", plat::kRegBinary, "\x01\x01"},
      {"not 0 or 1", plat::kRegBinary, "\x05"},
  };
  for (const auto& c : bools) {
    Store("Flag", c.type, c.stored);
    EXPECT_TRUE(win::RegValue_t<bool>(m_key, "Flag", true).Value()) << c.what;
    EXPECT_EQ(Raw_t(plat::kRegBinary, std::string("\x01", 1)), Raw("Flag")) << c.what;  // written back
  }

  Store("Rect", plat::kRegBinary, "1234");
  const plat::RECT rect{1, 2, 3, 4};
  EXPECT_TRUE(Same(rect, win::RegValue_t<plat::RECT>(m_key, "Rect", rect).Value()));
  EXPECT_EQ(16u, Raw("Rect").second.size());

  Store("Kind", plat::kRegBinary, std::string("\x02\x00\x00\x00", 4));  // no such enumerator
  EXPECT_EQ(colour::Kind_t::Green, win::RegValue_t<colour::Kind_t>(m_key, "Kind", colour::Kind_t::Green).Value());
  EXPECT_EQ(std::string("\x01\x00\x00\x00", 4), Raw("Kind").second);

  Store("Text", plat::kRegBinary, "abc");
  EXPECT_EQ("dflt", win::RegValue_t<std::string>(m_key, "Text", std::string("dflt")).Value());
  EXPECT_EQ(Raw_t(plat::kRegSz, std::string("dflt\0", 5)), Raw("Text"));
}

TEST_F(RegKeyTest, DamagedValuesWithoutDefaultFailWithARealCode) {
  Store("Flag", plat::kRegDword, std::string("\x01\x00\x00\x00", 4));
  try {
    win::RegValue_t<bool> flag(m_key, "Flag");
    FAIL();
  } catch (const win::RegError_t& e) {
    EXPECT_EQ(plat::kErrorInvalidData, e.ErrorCode());
    const std::string message = e.Message();
    EXPECT_EQ(0u, message.find("Windows Error Code: 13\n"));
    const std::string tail = "; Reg name: Flag";
    EXPECT_EQ(message.size() - tail.size(), message.rfind(tail));
  }
  EXPECT_EQ(std::string("\x01\x00\x00\x00", 4), Raw("Flag").second);  // left alone
  Store("Big", plat::kRegBinary, "12345678");
  EXPECT_EQ(plat::kErrorMoreData, CodeOf([&] { win::ConstRegValue_t<int>(m_key, "Big"); }));
  Store("Small", plat::kRegBinary, "12");
  EXPECT_EQ(plat::kErrorInvalidData, CodeOf([&] { win::ConstRegValue_t<int>(m_key, "Small"); }));
  Store("Kind", plat::kRegBinary, std::string("\x09\x00\x00\x00", 4));
  EXPECT_EQ(plat::kErrorInvalidData, CodeOf([&] { win::RegValue_t<colour::Kind_t>(m_key, "Kind"); }));
}

TEST_F(RegKeyTest, SettingsKeyLiesBelowTheApplicationsKey) {
  const RegKey_t& settings = app::GetSettingsKey();
  EXPECT_EQ("Settings", settings.Name());
  EXPECT_TRUE(win::RegKeyExists(win::CompanyUserKey(), "Stridemere Logbook\\Settings"));
}

}  // namespace
