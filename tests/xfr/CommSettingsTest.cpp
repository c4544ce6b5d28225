// The communication settings in the registry.
#include <gtest/gtest.h>

#include <string>

#include "tests/common/RegistryBytes.h"
#include "win/WIN_RegKey.h"
#include "xfr/XFR_CommSettings.h"

namespace {

using Raw_t = test::RegBytes_t;

std::string Le32(unsigned v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
  return s;
}

class CommSettingsTest : public ::testing::Test {
 protected:
  CommSettingsTest() : m_key(win::HkeyCurrentUser(), "Software\\CommTest" + std::to_string(++s_counter)) {}
  win::RegKey_t Serial() const { return win::RegKey_t(m_key, "CommSettingsConfiguration\\Serial"); }
  win::RegKey_t Usb() const { return win::RegKey_t(m_key, "CommSettingsConfiguration\\UsbGps"); }
  win::RegKey_t Config() const { return win::RegKey_t(m_key, "CommSettingsConfiguration"); }
  static void Store(const win::RegKey_t& key, const std::string& name, unsigned long type, const std::string& bytes) {
    key.WriteValue(name, type, bytes.data(), static_cast<unsigned long>(bytes.size()));
  }

  static int s_counter;
  win::RegKey_t m_key;
};
int CommSettingsTest::s_counter = 0;

TEST_F(CommSettingsTest, FirstStartWritesTheDefaultsButNoUnitId) {
  const xfr::CommSettings_t settings(m_key);
  EXPECT_EQ(Raw_t(plat::kRegDword, Le32(115200)), test::ReadRegBytes(Serial().Handle(), "Baud"));
  EXPECT_EQ(Raw_t(plat::kRegSz, std::string("COM1", 5)), test::ReadRegBytes(Serial().Handle(), "Port"));
  EXPECT_EQ(Raw_t(plat::kRegBinary, Le32(0)), test::ReadRegBytes(Config().Handle(), "TransferMethod"));
  EXPECT_FALSE(Usb().ValueExists("UsbUnitId"));
  EXPECT_FALSE(settings.UsbUnitId.IsPresent());
}

TEST_F(CommSettingsTest, StoredValuesAreKeptAndAssignmentsWrittenAtOnce) {
  Store(Serial(), "Port", plat::kRegSz, std::string("/dev/pts/9", 11));
  Store(Usb(), "UsbUnitId", plat::kRegDword, Le32(3456789012u));
  xfr::CommSettings_t settings(m_key);
  EXPECT_EQ(settings.Port.Value(), "/dev/pts/9");
  EXPECT_EQ(settings.UsbUnitId.Value(), 3456789012u);
  settings.Port.Set("COM12");
  EXPECT_EQ(xfr::CommSettings_t(m_key).Port.Value(), "COM12");
}

TEST_F(CommSettingsTest, ZeroBaudAndBadlyTypedValuesFallBackWithoutFailing) {
  Store(Serial(), "Baud", plat::kRegDword, Le32(0));
  Store(Serial(), "Port", plat::kRegDword, Le32(3));
  Store(Config(), "TransferMethod", plat::kRegBinary, "\x01");
  // A unit id that is no number must not make the settings unusable.
  Store(Usb(), "UsbUnitId", plat::kRegSz, std::string("abc", 4));
  const xfr::CommSettings_t settings(m_key);
  EXPECT_EQ(settings.Baud.Value(), 115200u);
  EXPECT_EQ(Raw_t(plat::kRegDword, Le32(115200)), test::ReadRegBytes(Serial().Handle(), "Baud"));
  EXPECT_EQ(settings.Port.Value(), "COM1");
  EXPECT_EQ(Raw_t(plat::kRegBinary, Le32(0)), test::ReadRegBytes(Config().Handle(), "TransferMethod"));
  EXPECT_FALSE(settings.UsbUnitId.IsPresent());
  // Left as it was stored.
  EXPECT_EQ(Raw_t(plat::kRegSz, std::string("abc", 4)), test::ReadRegBytes(Usb().Handle(), "UsbUnitId"));
}

TEST_F(CommSettingsTest, ProcessWideSettingsLiveUnderTheApplicationsKey) {
  xfr::CommSettings_t& settings = xfr::GetCommSettings();
  EXPECT_EQ(&settings, &xfr::GetCommSettings());
  EXPECT_EQ(settings.Port.Value(), "COM1");
}

}  // namespace
