// The user list file on any bytes: header and entries as the loader reads them.
// The entries read are written again, read back, and written the same.
#include <string>
#include <vector>

#include "app/DataFile.h"
#include "app/UserDatabase.h"
#include "bin/BIN_stream.h"
#include "doc/DOC_Info.h"
#include "tests/fuzz/FuzzSeeds.h"

namespace {

doc::Info_t Header(std::uint16_t layout = 101, std::uint16_t data = 100) {
  return doc::Info_t("LnRf", data, doc::AppBuildInfo_t(205, "REL", "Dec 10 2026", "12:00:00"),
                     std::string("Stridemere Logbook"), layout);
}

std::string Body(const app::UserDatabase_t& users) {
  bin::stringstream out;
  users.WriteUsers(out);
  return out.str();
}

std::string FileBytes(const app::UserDatabase_t& users, const doc::Info_t& header = Header()) {
  bin::stringstream out;
  doc::Info_t::Write(out, header);
  return out.str() + Body(users);
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  app::UserDatabase_t users("/nonexistent");
  users.AddUser(7, "Runner");
  users.AddUser(0x01020304, "J\xC3\xB6rg");
  users.AddUser(0xFFFFFFFF, "");
  const std::string good = FileBytes(users);
  std::string windows = good;
  windows.replace(windows.find("J\xC3\xB6rg"), 5, "J\xF6rg\0", 5);
  return {good, FileBytes(app::UserDatabase_t("/nonexistent")), FileBytes(users, Header(102)),
          FileBytes(users, Header(101, 101)), good.substr(0, good.size() - 3), windows};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bin::stringstream in(fuzz::Bytes(data, size));
  app::UserDatabase_t users("/nonexistent");
  const app::LoadOutcome_t::Status_t status = app::ReadDataFile(
      in, app::kUserListTag, app::kUserListVersion, [&users](bin::istream& s) { users.ReadUsers(s); });
  if (status != app::LoadOutcome_t::kLoaded && status != app::LoadOutcome_t::kUnreadable &&
      status != app::LoadOutcome_t::kNewer)
    __builtin_trap();
  // Every name read is UTF-8; whether it can be a file name is asked without throwing.
  for (const auto& entry : users) (void)app::IsUsableUserName(entry.second);
  const std::string written = Body(users);
  bin::stringstream back(written);
  app::UserDatabase_t again("/nonexistent");
  try {
    again.ReadUsers(back);
  } catch (...) {
    __builtin_trap();
  }
  if (again.size() != users.size() || Body(again) != written) __builtin_trap();
  return 0;
}
