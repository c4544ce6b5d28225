// The last-resort catch chain: each exception kind reaches the report with its
// handler's line, a program exception with its own place, an unknown type
// with an empty text, and a fault inside a window handler reaches the run
// step's chain through the message loop.
#include <gtest/gtest.h>

#include <future>
#include <ios>
#include <new>
#include <set>
#include <stdexcept>
#include <typeinfo>

#include "app/CatchChain.h"
#include "glo/GLO_Exception.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Window.h"
#include "win/WIN_StructuredException.h"

namespace {

struct Shown {
  std::string file;
  int line = 0;
  std::string message;
};

class RecordingReport : public err::FatalDialogIntf_t {
 public:
  std::vector<Shown> shown;
  void Show(const char* file, int line, const std::string& message) override {
    shown.push_back({file, line, message});
  }
};

struct Unknown {};

TEST(CatchChainTest, EachKindReachesItsOwnHandler) {
  const struct {
    const char* name;
    std::function<void()> raise;
    const char* message;
  } cases[] = {
      {"structured", [] { throw win::StructuredException_t(0xC0000005, nullptr); }, nullptr},
      {"length", [] { throw std::length_error("len"); }, "len"},
      {"domain", [] { throw std::domain_error("dom"); }, "dom"},
      {"out of range", [] { throw std::out_of_range("oor"); }, "oor"},
      {"invalid argument", [] { throw std::invalid_argument("inv"); }, "inv"},
      {"stream", [] { throw std::ios_base::failure("io"); }, nullptr},
      {"range", [] { throw std::range_error("rng"); }, "rng"},
      {"overflow", [] { throw std::overflow_error("ovf"); }, "ovf"},
      {"underflow", [] { throw std::underflow_error("unf"); }, "unf"},
      {"allocator", [] { throw std::bad_alloc(); }, nullptr},
      {"cast", [] { throw std::bad_cast(); }, nullptr},
      {"bad exception", [] { throw std::bad_exception(); }, nullptr},
      {"typeid", [] { throw std::bad_typeid(); }, nullptr},
      {"logic", [] { throw std::logic_error("lg"); }, "lg"},
      {"runtime", [] { throw std::runtime_error("rt"); }, "rt"},
      {"exception", [] { throw std::exception(); }, nullptr},
      {"unknown", [] { throw Unknown(); }, ""},
  };
  std::set<int> lines;
  for (const auto& c : cases) {
    RecordingReport report;
    EXPECT_FALSE(app::RunInCatchChain(c.raise, report)) << c.name;
    ASSERT_EQ(report.shown.size(), 1u) << c.name;
    EXPECT_EQ(report.shown[0].file, "CatchChain.cpp") << c.name;
    if (c.message) {
      EXPECT_EQ(report.shown[0].message, c.message) << c.name;
    }
    EXPECT_TRUE(lines.insert(report.shown[0].line).second) << c.name << " shares a handler";
  }

  // A program exception keeps its own place and text.
  RecordingReport report;
  EXPECT_FALSE(app::RunInCatchChain([] { throw glo::Exception_t("Here.cpp", 12, "text"); }, report));
  ASSERT_EQ(report.shown.size(), 1u);
  EXPECT_EQ(report.shown[0].file, "Here.cpp");
  EXPECT_EQ(report.shown[0].line, 12);
  EXPECT_EQ(report.shown[0].message, "text");

  EXPECT_TRUE(app::RunInCatchChain([] {}, report));
  EXPECT_EQ(report.shown.size(), 1u);
}

TEST(CatchChainTest, AFailingReportIsSwallowed) {
  struct Failing : err::FatalDialogIntf_t {
    void Show(const char*, int, const std::string&) override { throw std::runtime_error("report"); }
  } report;
  EXPECT_FALSE(app::RunInCatchChain([] { throw std::logic_error("x"); }, report));
}

// A handler's fault leaves the message loop and reaches the chain around it.
TEST(CatchChainTest, HandlerFaultReachesTheRunStep) {
  ASSERT_TRUE(plat::EnsureGuiApplication());
  struct Faulty : plat::Wnd_t {
    bool OnMessage(unsigned msg, plat::WPARAM, plat::LPARAM, plat::LRESULT&) override {
      if (msg == 0x8100) throw std::bad_alloc();
      return false;
    }
  } window;
  ASSERT_TRUE(window.Create(nullptr, 0, plat::kWsPopup, plat::RECT{0, 0, 10, 10}));
  plat::PostMessage(window.GetSafeHwnd(), 0x8100, 0, 0);
  RecordingReport report;
  EXPECT_FALSE(app::RunInCatchChain([] { plat::RunMessageLoop(); }, report));
  ASSERT_EQ(report.shown.size(), 1u);
  EXPECT_EQ(report.shown[0].message, std::bad_alloc().what());
}

}  // namespace
