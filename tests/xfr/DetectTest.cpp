// The search for the unit's port with simulated watches on pseudo-terminals,
// and the port selector that runs it, checks the chosen port and reports it.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "plat/PLAT_Button.h"
#include "plat/PLAT_ComboEdit.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_Serial.h"
#include "spo/SPO_CommFile.h"
#include "tests/xfr/XfrTestEnv.h"
#include "tools/WatchSim.h"
#include "xfr/XFR_GpsDetectDlg.h"
#include "xfr/XFR_SerialCommSettingCtrlDlg.h"

namespace {

const char kMissing[] = "/dev/no-such-port";

sim::Profile Runner(const std::string& description = "Runner 305") {
  sim::Profile p;
  EXPECT_TRUE(sim::BuiltinProfile("runner", p));
  p.descriptions = {description, "second line"};
  return p;
}

sim::Profile WithA900(std::optional<sim::Bytes> region) {
  sim::Profile p = Runner("Mapper");
  p.protocols->push_back({'A', 900});
  p.regionInfo = std::move(region);
  return p;
}

// Keeps what the thread asked the dialog to show.
class RecordingDetectDlg : public xfr::GpsDetectDlg_t {
 public:
  using xfr::GpsDetectDlg_t::GpsDetectDlg_t;
  std::vector<std::string> probed;
  void ShowProbing(const std::string& port) override {
    probed.push_back(port);
    xfr::GpsDetectDlg_t::ShowProbing(port);
  }
};

class DetectTest : public xfrtest::DialogTest {
 protected:
  // The machine's own serial devices stay out of the port lists: the tests put
  // fake device nodes in a folder of their own.
  void SetUp() override {
    xfrtest::DialogTest::SetUp();
    m_devices = test::MakeTempDir("dev");
    m_ttyClass = test::MakeTempDir("tty");
    plat::SetSerialDeviceFolders(m_devices, m_ttyClass);
  }
  void TearDown() override {
    for (unsigned n = 1; n <= 8; ++n) plat::SetSerialDeviceMapping(n, "");
    plat::SetSerialDeviceFolders("", "");
    xfrtest::DialogTest::TearDown();
  }
  std::string m_devices;
  std::string m_ttyClass;
  // Waits in the dialog until the button confirms a result.
  static bool WaitResult(plat::Dialog_t& d) {
    const std::string ok = Text(5817);
    return plat::PumpUntil([&] { return d.GetDlgItem(5806)->GetWindowText() == ok; }, 60000);
  }
  static std::string Line(plat::Dialog_t& d, int id) { return d.GetDlgItem(id)->GetWindowText(); }
  static void Click(plat::Dialog_t& d, int id) { dynamic_cast<plat::Button_t&>(*d.GetDlgItem(id)).Click(); }
};

TEST_F(DetectTest, OnlyTheThirdPortHasAUnitAndItIsReported) {
  sim::Watch_t watch(Runner());
  const std::vector<std::string> ports = {kMissing, "COM97", watch.PortPath()};
  RecordingDetectDlg dialog(ports);
  std::string line1, line2;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    ASSERT_TRUE(WaitResult(d));
    line1 = Line(d, 5804);
    line2 = Line(d, 5805);
    d.SaveImage(PicturePath("detect-found"));
    Click(d, 5806);
  });
  EXPECT_EQ(dialog.DoModal(), plat::kIdOk);
  EXPECT_EQ(dialog.probed, ports);
  EXPECT_EQ(dialog.DetectedPort(), watch.PortPath());
  EXPECT_EQ(line1, glo::StringResource_t(5821, GLO_SRC).Format(watch.PortPath(), GLO_SRC));
  EXPECT_EQ(line2, "Runner 305");
  EXPECT_FALSE(dialog.Region().has_value());
}

TEST_F(DetectTest, NoPortsOrNoUnitEndsWithOkAndNoPort) {
  for (const std::vector<std::string>& ports : {std::vector<std::string>{}, std::vector<std::string>{kMissing}}) {
    xfr::GpsDetectDlg_t dialog(ports);
    std::string line1;
    plat::SetModalHook([&](plat::Dialog_t& d) {
      ASSERT_TRUE(WaitResult(d));
      line1 = Line(d, 5804);
      d.SaveImage(PicturePath("detect-none"));
      Click(d, 5806);
    });
    EXPECT_EQ(dialog.DoModal(), plat::kIdOk);
    EXPECT_EQ(line1, Text(5819));
    EXPECT_TRUE(dialog.DetectedPort().empty());
  }
}

TEST_F(DetectTest, RegionInformationIsReportedWhenTheUnitAnswersIt) {
  sim::Watch_t watch(WithA900(sim::Bytes{0x01, 0x00, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00, 0x02}));
  const std::vector<std::string> ports = {watch.PortPath()};
  xfr::GpsDetectDlg_t dialog(ports);
  plat::SetModalHook([&](plat::Dialog_t& d) {
    ASSERT_TRUE(WaitResult(d));
    Click(d, 5806);
  });
  EXPECT_EQ(dialog.DoModal(), plat::kIdOk);
  EXPECT_EQ(dialog.DetectedPort(), watch.PortPath());
  ASSERT_TRUE(dialog.Region().has_value());
  EXPECT_EQ(dialog.Region()->first, 1);
  EXPECT_EQ(dialog.Region()->second, 65535);
  EXPECT_EQ(dialog.Region()->third, 3u);
  EXPECT_EQ(dialog.Region()->kind, 2);
}

TEST_F(DetectTest, SilentRegionMeansPlainReportAndAMalformedOneTheNextPort) {
  sim::Watch_t silent(WithA900(std::nullopt));
  sim::Watch_t malformed(WithA900(sim::Bytes{0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0x09}));
  sim::Watch_t good(Runner("Second unit"));
  for (const auto& [first, expected] : {std::pair<sim::Watch_t*, sim::Watch_t*>{&silent, &silent},
                                        std::pair<sim::Watch_t*, sim::Watch_t*>{&malformed, &good}}) {
    const std::vector<std::string> ports = {first->PortPath(), good.PortPath()};
    xfr::GpsDetectDlg_t dialog(ports);
    plat::SetModalHook([&](plat::Dialog_t& d) {
      ASSERT_TRUE(WaitResult(d));
      Click(d, 5806);
    });
    EXPECT_EQ(dialog.DoModal(), plat::kIdOk);
    EXPECT_EQ(dialog.DetectedPort(), expected->PortPath());
    EXPECT_FALSE(dialog.Region().has_value());
  }
}

TEST_F(DetectTest, CancelWhileProbingStopsTheSearchQuietly) {
  sim::Watch_t watch(Runner());
  watch.SetSilent(true);
  const std::vector<std::string> ports = {watch.PortPath(), kMissing};
  RecordingDetectDlg dialog(ports);
  std::atomic<int> boxes{0};
  plat::SetMessageBoxHook([&](const std::string&, const std::string&, unsigned) { return ++boxes, plat::kIdOk; });
  plat::SetModalHook([&](plat::Dialog_t& d) {
    ASSERT_TRUE(plat::PumpUntil([&] { return !Line(d, 5804).empty(); }, 20000));
    Click(d, 5806);  // still reads Cancel
  });
  EXPECT_EQ(dialog.DoModal(), plat::kIdCancel);
  plat::PumpUntilIdle();
  EXPECT_EQ(dialog.probed, std::vector<std::string>{watch.PortPath()});
  EXPECT_TRUE(dialog.DetectedPort().empty());
  EXPECT_EQ(boxes.load(), 0);
}

TEST_F(DetectTest, UnitWithoutDescriptionIsAFatalReportAndClosesTheDialog) {
  sim::Profile p = Runner();
  p.descriptions.clear();
  sim::Watch_t watch(p);
  const std::vector<std::string> ports = {watch.PortPath()};
  xfr::GpsDetectDlg_t dialog(ports);
  std::string report;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    if (d.GetTemplateId() == xfr::kGpsDetectDlgTemplate) return;
    report = d.GetDlgItem(5601)->GetWindowText();  // the report dialog
    d.EndDialog(plat::kIdOk);
  });
  EXPECT_EQ(dialog.DoModal(), plat::kIdCancel);
  // The place of the failed check, in the report's error id.
  EXPECT_NE(report.find("XFR_GPSDETECTTHREAD.CPP-"), std::string::npos) << report;
}

// ---- the port selector ---------------------------------------------------------

// A window that embeds the selector and keeps its notifications.
class Host : public plat::Wnd_t {
 public:
  explicit Host(unsigned templateId, const std::string& port, std::optional<std::uint32_t> baud = std::nullopt)
      : selector(templateId, port, baud) {
    EXPECT_TRUE(Create(nullptr, 0, plat::kWsOverlappedWindow, plat::RECT{0, 0, 420, 120}));
    EXPECT_TRUE(selector.CreateInPlace(*this));
    selector.MoveWindow(10, 10, 360, 80);
  }
  xfr::SerialCommSettingCtrlDlg_t selector;
  std::vector<unsigned> codes;

 protected:
  bool OnMessage(unsigned message, plat::WPARAM, plat::LPARAM lParam, plat::LRESULT& result) override {
    if (message != xfr::kWmNotify) return false;
    codes.push_back(reinterpret_cast<const xfr::NmHdr_t*>(lParam)->code);
    result = 0;
    return true;
  }
};

TEST_F(DetectTest, SelectorChecksThePortAndSaysWhyItCannotBeUsed) {
  sim::Watch_t watch(Runner());
  sim::Watch_t held(Runner());
  spo::CommFile_t other(held.PortPath(), 0);  // another program has it open
  plat::SetSerialDeviceMapping(3, watch.PortPath());
  plat::SetSerialDeviceMapping(12, watch.PortPath());
  const std::string gone = "COM40";
  struct Case {
    std::string typed;
    int message;  // 0: valid
  } const cases[] = {
      {watch.PortPath(), 0}, {"COM3", 0}, {"COM12", 0},  // not in the list, but it opens
      {"", 5814},           {held.PortPath(), 5829},    {kMissing, 5815}, {gone, 5815},
  };
  Host host(5846, "COM1");
  for (const Case& c : cases) {
    std::string told;
    plat::SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned) {
      told = text;
      return plat::kIdOk;
    });
    plat::TypeComboText(host.selector.Ctrl().PortList(), c.typed);
    const bool valid = host.selector.ValidateOnSave(true);
    EXPECT_EQ(valid, c.message == 0) << c.typed;
    EXPECT_EQ(host.selector.Ctrl().GetPort().value_or("-"), c.message == 0 ? c.typed : "-");
    const std::string expected = c.message == 0      ? std::string()
                                 : c.message == 5814 ? Text(5814)
                                                     : glo::StringResource_t(c.message, GLO_SRC).Format(c.typed, GLO_SRC);
    EXPECT_EQ(told, expected) << c.typed;
  }
  EXPECT_TRUE(host.selector.ValidateOnSave(false));  // loading never refuses
  EXPECT_EQ(host.codes, std::vector<unsigned>(std::size(cases), xfr::kPortTyped));
}

TEST_F(DetectTest, SelectorListsPortsAndBaudsAndTellsOfChoices) {
  Host host(5847, "/dev/pts/77", 38400u);
  xfr::SerialCommSettingCtrl_t& ctrl = host.selector.Ctrl();
  std::vector<std::string> names;
  for (int i = 0; i < ctrl.PortList().GetCount(); ++i) {
    std::string t;
    ctrl.PortList().GetLBText(i, t);
    names.push_back(t);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}));  // no devices
  EXPECT_EQ(ctrl.GetText(), "/dev/pts/77");  // need not be one of the list
  EXPECT_EQ(ctrl.GetBaud(), 38400u);
  host.SaveImage(PicturePath("selector"));
  ctrl.PortList().SelectAsUser(4);
  EXPECT_EQ(ctrl.GetText(), "COM5");
  auto* baud = dynamic_cast<plat::ComboBox_t*>(host.selector.GetDlgItem(5836));
  ASSERT_NE(baud, nullptr);
  baud->SelectAsUser(4);
  EXPECT_EQ(ctrl.GetBaud(), 9600u);
  EXPECT_EQ(host.codes, (std::vector<unsigned>{xfr::kPortSelected, xfr::kBaudSelected}));

  // A baud rate that is not offered leaves the first.
  Host other(5847, "COM1", 1234u);
  EXPECT_EQ(other.selector.Ctrl().GetBaud(), 115200u);
}

TEST_F(DetectTest, SelectorSearchSelectsTheFoundPortOnlyWhenItIsAnother) {
  sim::Watch_t watch(Runner());
  for (unsigned n = 1; n <= 8; ++n) plat::SetSerialDeviceMapping(n, kMissing);
  plat::SetSerialDeviceMapping(5, watch.PortPath());
  plat::SetModalHook([&](plat::Dialog_t& d) {
    ASSERT_TRUE(WaitResult(d));
    Click(d, 5806);
  });
  for (const char* initial : {"COM2", "COM5"}) {
    Host host(5846, initial);
    dynamic_cast<plat::Button_t&>(*host.selector.GetDlgItem(5838)).Click();
    EXPECT_EQ(host.selector.Ctrl().GetText(), "COM5");
    // Finding the port already chosen tells the parent nothing.
    EXPECT_EQ(host.codes, std::string(initial) == "COM5" ? std::vector<unsigned>{}
                                                          : std::vector<unsigned>{xfr::kPortSelected});
  }
}

// After COM1 to COM8 the list offers the serial devices present, by path: the
// UART ports the kernel found, USB adapters and USB modems, each in number order,
// none twice; the search tries the same list.
TEST_F(DetectTest, SelectorListsTheSerialDevicesPresentAndTheSearchTriesThem) {
  sim::Watch_t watch(Runner());
  for (const char* name : {"ttyS0", "ttyS1", "ttyS10", "ttyS9", "ttyS2", "ttyACM1", "ttyACM0", "ttyUSB1", "tty0",
                           "ttyS", "ttyUSBx", "console", "ttyAMA0"})
    test::WriteFile(m_devices + "/" + name, "");
  ASSERT_EQ(::symlink(watch.PortPath().c_str(), (m_devices + "/ttyUSB0").c_str()), 0);
  // Their tty class entries: ttyS2 and ttyS9 have no UART behind them.
  for (const auto& [name, type] : {std::pair<const char*, const char*>{"ttyS1", "4\n"}, {"ttyS2", "0\n"}, {"ttyS9", "0"}}) {
    ASSERT_EQ(::mkdir((m_ttyClass + "/" + name).c_str(), 0700), 0);
    test::WriteFile(m_ttyClass + "/" + name + "/type", type);
  }
  // COM1 stands for ttyS0 here: that device is listed once, as COM1.
  plat::SetSerialDeviceMapping(1, m_devices + "/ttyS0");
  for (unsigned n = 2; n <= 8; ++n) plat::SetSerialDeviceMapping(n, kMissing);

  Host host(5846, "COM2");
  std::vector<std::string> names;
  for (int i = 0; i < host.selector.Ctrl().PortList().GetCount(); ++i) {
    std::string t;
    host.selector.Ctrl().PortList().GetLBText(i, t);
    names.push_back(t);
  }
  const std::string d = m_devices + "/";
  EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8",
                                             d + "ttyS1", d + "ttyS10", d + "ttyUSB0", d + "ttyUSB1", d + "ttyACM0",
                                             d + "ttyACM1"}));

  std::vector<std::string> probed;
  plat::SetModalHook([&](plat::Dialog_t& dialog) {
    ASSERT_TRUE(WaitResult(dialog));
    probed = dynamic_cast<xfr::GpsDetectDlg_t&>(dialog).GetPorts();
    Click(dialog, 5806);
  });
  dynamic_cast<plat::Button_t&>(*host.selector.GetDlgItem(5838)).Click();
  EXPECT_EQ(probed, names);
  EXPECT_EQ(host.selector.Ctrl().GetText(), d + "ttyUSB0");  // the watch behind the adapter's path
  EXPECT_EQ(host.codes, std::vector<unsigned>{xfr::kPortSelected});
}

// Keys as the user presses them: Enter on "No watch was found" presses its
// button; Enter on the selector's Detect button starts the search, whose
// dialog Escape cancels.
TEST_F(DetectTest, EnterPressesTheFocusedButtonAndEscapeCancels) {
  const std::vector<std::string> none;
  xfr::GpsDetectDlg_t dialog(none);
  bool endedByKey = false;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    ASSERT_TRUE(WaitResult(d));
    EXPECT_EQ(Line(d, 5804), Text(5819));
    d.GetDlgItem(5806)->SetFocus();
    EXPECT_TRUE(plat::SendKeyToFocus(plat::kVkReturn));
    endedByKey = d.IsEnding();
    if (!endedByKey) Click(d, 5806);
  });
  EXPECT_EQ(dialog.DoModal(), plat::kIdOk);
  EXPECT_TRUE(endedByKey);

  for (unsigned n = 1; n <= 8; ++n) plat::SetSerialDeviceMapping(n, kMissing);
  int searches = 0;
  bool cancelledByKey = false;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    ++searches;
    EXPECT_TRUE(plat::SendKeyToFocus(plat::kVkEscape));
    cancelledByKey = d.IsEnding();
    if (!cancelledByKey) d.EndDialog(plat::kIdCancel);
  });
  Host host(5846, "COM2");
  host.ShowWindow(true);
  plat::Wnd_t& detect = *host.selector.GetDlgItem(5838);
  detect.SetFocus();
  plat::PumpUntilIdle();
  plat::SendKey(detect, plat::kVkReturn);  // where the focus is
  EXPECT_EQ(searches, 1);
  EXPECT_TRUE(cancelledByKey);
  EXPECT_EQ(host.selector.Ctrl().GetText(), "COM2");
}

}  // namespace
