// The simulated watch's own conversation, seen through the link: what every
// device test above the link relies on.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "ios/IOS_SerialLink.h"
#include "tests/common/TestEnv.h"
#include "thr/THR_Event.h"
#include "tools/WatchSim.h"

extern char** environ;

namespace {

using sim::Bytes;

Bytes DataOf(const iol::Frame_t& f) { return Bytes(f.Data().begin(), f.Data().end()); }

Bytes U16(std::uint16_t v) {
  Bytes b;
  sim::PutU16(b, v);
  return b;
}

TEST(WatchSim, AnswersFromItsProfile) {
  sim::Profile profile;
  ASSERT_TRUE(sim::BuiltinProfile("runner", profile));
  profile.trackLog = {{99, {0x01, 0x02}}, {34, {0x03}}};
  sim::Watch_t watch(profile);
  thr::Event_t abort(nullptr, true, false, nullptr);
  ios::SerialLink_t link(abort, watch.PortPath(), 9600);

  link.Send(iol::Frame_t(254), 3000);
  iol::Frame_t f = link.Receive(3000);
  ASSERT_EQ(f.Id(), 255);
  Bytes product = U16(484);
  const Bytes version = U16(330);
  product.insert(product.end(), version.begin(), version.end());
  const std::string text = "Simulated Runner Software Version 3.30";
  product.insert(product.end(), text.begin(), text.end());
  product.push_back(0);
  EXPECT_EQ(DataOf(f), product);
  f = link.Receive(3000);
  ASSERT_EQ(f.Id(), 253);
  ASSERT_EQ(f.Size() % 3, 0u);
  std::vector<sim::ProtocolEntry> protocols;
  for (std::size_t i = 0; i < f.Size(); i += 3)
    protocols.push_back({static_cast<char>(f.Data()[i]), sim::GetU16(DataOf(f), i + 1)});
  EXPECT_EQ(sim::FormatProtocols(protocols), sim::FormatProtocols(*profile.protocols));

  link.Send(iol::Frame_t(10, U16(14)), 3000);
  f = link.Receive(3000);
  ASSERT_EQ(f.Id(), 38);
  EXPECT_EQ(sim::GetU32(DataOf(f), 0), profile.unitId);

  link.Send(iol::Frame_t(10, U16(6)), 3000);
  const std::pair<std::uint16_t, Bytes> expected[] = {{27, U16(2)}, {99, {0x01, 0x02}}, {34, {0x03}}, {12, U16(6)}};
  for (const auto& e : expected) {
    f = link.Receive(3000);
    EXPECT_EQ(f.Id(), e.first);
    EXPECT_EQ(DataOf(f), e.second);
  }
}

TEST(WatchSim, UnitWithoutProtocolArraySendsOnlyItsProductData) {
  sim::Profile profile;
  ASSERT_TRUE(sim::BuiltinProfile("tablefind", profile));
  sim::Watch_t watch(profile);
  thr::Event_t abort(nullptr, true, false, nullptr);
  ios::SerialLink_t link(abort, watch.PortPath(), 9600);
  link.Send(iol::Frame_t(254), 3000);
  const iol::Frame_t f = link.Receive(3000);
  EXPECT_EQ(sim::GetU16(DataOf(f), 0), 77);
  EXPECT_EQ(sim::GetU16(DataOf(f), 2), 355);
  EXPECT_THROW(link.Receive(1000), iol::Timeout_t);
}

TEST(WatchSim, ClosingThePortEndsTheSession) {
  sim::Watch_t watch;
  thr::Event_t abort(nullptr, true, false, nullptr);
  {
    ios::SerialLink_t link(abort, watch.PortPath(), 9600);
    link.Send(iol::Frame_t(10, U16(8)), 3000);  // switched off until the session ends
  }
  for (int i = 0; i < 200 && watch.SessionsEnded() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(watch.SessionsEnded(), 1);
  EXPECT_FALSE(watch.IsOff());
  ios::SerialLink_t link(abort, watch.PortPath(), 9600);
  link.Send(iol::Frame_t(10, U16(14)), 3000);
  EXPECT_EQ(link.Receive(3000).Id(), 38);
}

// The watch-sim command started as a background job would be: its standard
// input at end of file or closed, its output read from a pipe.
class WatchSimCommand {
 public:
  explicit WatchSimCommand(bool closeInput) {
    const std::string path = test::ExeDir() + "/watch-sim";
    int out[2];
    if (::pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (closeInput)
      ::posix_spawn_file_actions_addclose(&actions, 0);
    else
      ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    ::posix_spawn_file_actions_addclose(&actions, out[0]);
    char* const argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>("--profile"),
                          const_cast<char*>("history"), nullptr};
    if (::posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv, environ) != 0) m_pid = 0;
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    m_out = out[0];
  }
  ~WatchSimCommand() {
    if (m_pid != 0) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) ::close(m_out);
  }
  bool Started() const { return m_pid != 0; }
  // The output up to and with the line that names the port (all of it when the
  // command ends first); a hang is cut off after a minute.
  std::string OutputToPort() {
    std::string text;
    pollfd p{m_out, POLLIN, 0};
    char c = 0;
    while (text.find("/dev/", text.rfind("port")) == std::string::npos || text.back() != '\n') {
      if (::poll(&p, 1, 60000) != 1 || ::read(m_out, &c, 1) != 1) break;
      text += c;
    }
    return text;
  }
  // Sends the signal and returns the exit code (-signal when a signal ended the
  // command, -1000 when it did not end within a minute).
  int Stop(int signal) {
    ::kill(m_pid, signal);
    int status = 0;
    for (int waited = 0; waited < 6000; ++waited) {
      if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
      }
      ::usleep(10000);
    }
    return -1000;
  }

 private:
  pid_t m_pid = 0;
  int m_out = -1;
};

// Standard input that is not a terminal does not end the command: it serves
// until it is interrupted or terminated, and then ends with 0.
TEST(WatchSimCommand, ServesInTheBackgroundUntilStopped) {
  const struct {
    bool closeInput;
    int signal;
  } cases[] = {{false, SIGTERM}, {true, SIGINT}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.closeInput ? "input closed" : "input at its end");
    WatchSimCommand command(c.closeInput);
    ASSERT_TRUE(command.Started());
    const std::string output = command.OutputToPort();
    const std::size_t at = output.find("/dev/", output.rfind("port"));
    ASSERT_NE(at, std::string::npos) << output;
    const std::string port = output.substr(at, output.find('\n', at) - at);
    {
      thr::Event_t abort(nullptr, true, false, nullptr);
      ios::SerialLink_t link(abort, port, 9600);
      link.Send(iol::Frame_t(10, U16(14)), 3000);
      const iol::Frame_t f = link.Receive(3000);
      EXPECT_EQ(f.Id(), 38);
      EXPECT_EQ(sim::GetU32(DataOf(f), 0), sim::Profile().unitId);
    }
    EXPECT_EQ(command.Stop(c.signal), 0);
  }
}

TEST(WatchSimProfile, ReadsProfileFiles) {
  const std::string dir = test::MakeTempDir("profiles");
  test::WriteFile(dir + "/unit.txt",
                  "# a unit\nname = Test unit\nproduct = 36\nsoftware = -5\n"
                  "description = Caf\xC3\xA9 \xE2\x82\xAC\ndescription = second\n"
                  "protocols = none\nunit_id = 4000000000\nregion = 1 2 3 4\n");
  sim::Profile p;
  std::string error;
  ASSERT_TRUE(sim::LoadProfile(dir + "/unit.txt", p, error)) << error;
  EXPECT_EQ(p.name, "Test unit");
  EXPECT_EQ(p.productId, 36);
  EXPECT_EQ(p.softwareVersion, -5);
  ASSERT_EQ(p.descriptions.size(), 2u);
  EXPECT_EQ(sim::Utf8ToCp1252(p.descriptions[0]), "Caf\xE9 \x80");
  EXPECT_FALSE(p.protocols.has_value());
  EXPECT_EQ(p.unitId, 4000000000u);
  EXPECT_EQ(p.regionInfo, (Bytes{1, 0, 2, 0, 3, 0, 0, 0, 4}));

  test::WriteFile(dir + "/bad.txt", "product = 36\nprotocols = A10 x\n");
  EXPECT_FALSE(sim::LoadProfile(dir + "/bad.txt", p, error));
  EXPECT_NE(error.find("bad.txt:2"), std::string::npos);
  for (const std::string& name : sim::BuiltinProfileNames()) EXPECT_TRUE(sim::BuiltinProfile(name, p)) << name;
}

}  // namespace
