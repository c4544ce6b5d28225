// Windows, dialogs from templates, the pump, messages across threads, and the
// exception rule of the event loop.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "plat/PLAT_App.h"
#include "plat/PLAT_Bars.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_Clipboard.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_DialogTemplate.h"
#include "plat/PLAT_Edit.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Event.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_MessageBox.h"
#include "plat/PLAT_Module.h"
#include "tests/common/TestEnv.h"
#include "tests/common/TestResources.h"

namespace {

using namespace plat;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseTestResources();
    if (HasFatalFailure()) return;
  }
  void TearDown() override {
    SetModalHook(nullptr);
    SetMessageBoxHook(nullptr);
    PumpUntilIdle();
  }
};

Button_t* ButtonAt(Wnd_t& w, int id) { return dynamic_cast<Button_t*>(w.GetDlgItem(id)); }

// ---------------------------------------------------------------------------

TEST(DialogTemplateTest, ParsesControlsAndRejectsBadLines) {
  std::vector<DialogTemplate> dialogs;
  int line = 0;
  std::string error;
  ASSERT_TRUE(ParseDialogTemplates("dialog 7 100 50 \"T\\\"x\" sizable\n"
                                   "  edit 5 1 2 30 12 \"a b\" multiline hidden\n"
                                   "  custom:Graph -1 0 0 10 10 \"\"\n"
                                   "end\n",
                                   dialogs, line, error))
      << error;
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].title, "T\"x");
  EXPECT_TRUE(dialogs[0].style & kWsThickFrame);
  ASSERT_EQ(dialogs[0].items.size(), 2u);
  EXPECT_EQ(dialogs[0].items[0].text, "a b");
  EXPECT_TRUE(dialogs[0].items[0].style & kEsMultiline);
  EXPECT_FALSE(dialogs[0].items[0].style & kWsVisible);
  EXPECT_TRUE(dialogs[0].items[1].custom);
  EXPECT_EQ(dialogs[0].items[1].kind, "Graph");

  const struct {
    const char* text;
    int line;
  } bad[] = {
      {"dialog 1 10 10 \"x\"\n  widget 1 0 0 1 1 \"\"\nend\n", 2},
      {"dialog 1 10 10 \"x\"\n  edit 1 0 0 1 1 \"\" shiny\nend\n", 2},
      {"dialog 1 10 10 \"x\"\n  edit 1 0 0 1 1 \"\"\n  edit 1 0 0 1 1 \"\"\nend\n", 3},
      {"dialog 1 10 10 \"x\"\n  edit 1 0 0 1 1 \"open\nend\n", 2},
      {"dialog 1 10 10 \"x\"\n  edit 1 0 0 1 1 \"\"\n", 1},
      {"dialog 1 10 10 \"x\"\nend\ndialog 1 10 10 \"y\"\nend\n", 3},
      {"  edit 1 0 0 1 1 \"\"\n", 1},
  };
  for (const auto& c : bad) {
    std::vector<DialogTemplate> out;
    EXPECT_FALSE(ParseDialogTemplates(c.text, out, line, error)) << c.text;
    EXPECT_EQ(line, c.line) << c.text;
  }
}

// A dialog that records what its handlers saw.
class TestDialog : public Dialog_t {
 public:
  explicit TestDialog(unsigned id = 9001) : Dialog_t(id) {}
  std::string name;
  int applied = 0;
  std::vector<unsigned> messages;
  bool throwOnApply = false;

 protected:
  bool OnInitDialog() override {
    GetDlgItem(9011)->SetWindowText("Ann");
    ButtonAt(*this, 9020)->SetCheck(kBstChecked);
    ButtonAt(*this, 9040)->SetCheck(kBstChecked);
    auto* list = dynamic_cast<ListBox_t*>(GetDlgItem(9050));
    list->AddString("first");
    list->AddString("second");
    dynamic_cast<ProgressCtrl_t*>(GetDlgItem(9060))->SetPos(40);
    return Dialog_t::OnInitDialog();
  }
  void OnOK() override {
    name = GetDlgItem(9011)->GetWindowText();
    Dialog_t::OnOK();
  }
  bool OnCommand(unsigned id, unsigned code) override {
    if (id == 9080 && code == kBnClicked) {
      if (throwOnApply) throw std::runtime_error("apply failed");
      ++applied;
      return true;
    }
    return Dialog_t::OnCommand(id, code);
  }
  bool OnMessage(unsigned message, WPARAM wParam, LPARAM, LRESULT& result) override {
    messages.push_back(message);
    if (message == 0x8001 && wParam == 2) EndDialog(77);
    result = 1;
    return true;
  }
};

TEST_F(WindowTest, ModalDialogIsAnsweredByTheHookAndOkEndsIt) {
  TestDialog dialog;
  bool hookRan = false;
  SetModalHook([&](Dialog_t& d) {
    hookRan = true;
    EXPECT_EQ(&d, &dialog);
    EXPECT_TRUE(d.IsWindowVisible());
    EXPECT_EQ(d.GetDlgItem(9011)->GetWindowText(), "Ann");
    d.GetDlgItem(9011)->SetWindowText("Bob");
    ButtonAt(d, 9080)->Click();
    ButtonAt(d, kIdOk)->Click();
  });
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  EXPECT_TRUE(hookRan);
  EXPECT_EQ(dialog.name, "Bob");
  EXPECT_EQ(dialog.applied, 1);
  EXPECT_FALSE(dialog.HasWindow());
}

TEST_F(WindowTest, CancelAndCloseBoxEndWithCancel) {
  for (int how = 0; how < 2; ++how) {
    TestDialog dialog;
    SetModalHook([&](Dialog_t& d) {
      if (how == 0) ButtonAt(d, kIdCancel)->Click();
      else d.SendMessage(kWmClose);
    });
    EXPECT_EQ(dialog.DoModal(), kIdCancel) << how;
  }
}

TEST_F(WindowTest, MissingTemplateOrUnregisteredClassFailsWithMinusOne) {
  Dialog_t missing(4242);
  EXPECT_EQ(missing.DoModal(), -1);
  EXPECT_EQ(GetLastError(), kErrorResourceNameNotFound);
  Dialog_t custom(9003);
  EXPECT_EQ(custom.DoModal(), -1);
}

TEST_F(WindowTest, ControlsFollowTheTemplateInOrderWithTheirKinds) {
  TestDialog dialog;
  std::vector<int> ids;
  bool edit = false, list = false;
  SetModalHook([&](Dialog_t& d) {
    for (Wnd_t* c : d.GetChildren()) ids.push_back(c->GetDlgCtrlID());
    edit = dynamic_cast<Edit_t*>(d.GetDlgItem(9011)) != nullptr;
    list = dynamic_cast<ListBox_t*>(d.GetDlgItem(9050)) != nullptr;
    // Dialog units: the edit control sits right of and below the static text.
    const RECT label = d.GetDlgItem(9010)->GetWindowRect(), box = d.GetDlgItem(9011)->GetWindowRect();
    EXPECT_EQ(label.left, box.left);
    EXPECT_GT(box.top, label.top);
    EXPECT_TRUE(d.GetStyle() & kWsThickFrame);
    d.EndDialog(5);
  });
  EXPECT_EQ(dialog.DoModal(), 5);
  EXPECT_EQ(ids, (std::vector<int>{9010, 9011, -1, 9020, 9021, 9022, 9030, 9040, 9041, 9050, 9060, 9070, 9080, 1, 2}));
  EXPECT_TRUE(edit);
  EXPECT_TRUE(list);
}

TEST_F(WindowTest, ComboBoxIsOneLineHighWhateverItsListHeight) {
  Dialog_t dialog(9004);
  SetModalHook([&](Dialog_t& d) {
    const RECT combo = d.GetDlgItem(9100)->GetWindowRect(), ok = d.GetDlgItem(1)->GetWindowRect();
    // 60 dialog units would reach past the OK button; the box stops above it.
    EXPECT_LT(combo.bottom, ok.top);
    EXPECT_EQ(combo.bottom - combo.top, d.MapDialogRect(RECT{0, 0, 0, 14}).bottom);
    d.EndDialog(1);
  });
  EXPECT_EQ(dialog.DoModal(), 1);
}

TEST_F(WindowTest, RadioButtonsUncheckOnlyTheirOwnGroup) {
  TestDialog dialog;
  SetModalHook([&](Dialog_t& d) {
    ButtonAt(d, 9022)->Click();
    EXPECT_EQ(ButtonAt(d, 9020)->GetCheck(), kBstUnchecked);
    EXPECT_EQ(ButtonAt(d, 9022)->GetCheck(), kBstChecked);
    EXPECT_EQ(ButtonAt(d, 9040)->GetCheck(), kBstChecked);  // the other group keeps its choice
    // The group wraps around inside itself.
    EXPECT_EQ(d.GetNextDlgGroupItem(d.GetDlgItem(9022)), d.GetDlgItem(9020));
    EXPECT_EQ(d.GetNextDlgGroupItem(d.GetDlgItem(9020), true), d.GetDlgItem(9022));
    EXPECT_EQ(d.GetNextDlgGroupItem(d.GetDlgItem(9041)), d.GetDlgItem(9050));
    d.EndDialog(kIdOk);
  });
  dialog.DoModal();
}

TEST_F(WindowTest, HandlerExceptionLeavesDoModalAndTheWindowIsGone) {
  TestDialog dialog;
  dialog.throwOnApply = true;
  SetModalHook([&](Dialog_t& d) { ButtonAt(d, 9080)->Click(); });
  EXPECT_THROW(dialog.DoModal(), std::runtime_error);
  EXPECT_FALSE(dialog.HasWindow());
}

TEST_F(WindowTest, ExceptionInAPostedMessageReachesTheRunStep) {
  // A window whose handler throws; the application's loop is the catch site.
  class Thrower : public Wnd_t {
   protected:
    bool OnMessage(unsigned, WPARAM, LPARAM, LRESULT&) override { throw std::logic_error("in handler"); }
  } window;
  ASSERT_TRUE(window.Create(nullptr, 0, kWsOverlappedWindow, RECT{0, 0, 100, 100}));
  ASSERT_TRUE(PostMessage(window.GetSafeHwnd(), kWmApp + 1));
  EXPECT_THROW(RunMessageLoop(), std::logic_error);

  // Inside a modal dialog's loop it ends that loop first, then travels on.
  TestDialog dialog;
  SetModalHook([&](Dialog_t&) { PostMessage(window.GetSafeHwnd(), kWmApp + 2); });
  EXPECT_THROW(dialog.DoModal(), std::logic_error);
}

TEST_F(WindowTest, WorkerPostsUserMessageToTheDialog) {
  TestDialog dialog;
  std::thread worker;
  SetModalHook([&](Dialog_t& d) {
    const HWND h = d.GetSafeHwnd();
    worker = std::thread([h] {
      PostMessage(h, 0x8001, 1, 0);
      PostMessage(h, 0x8001, 2, 0);
    });
  });
  EXPECT_EQ(dialog.DoModal(), 77);
  worker.join();
  EXPECT_EQ(dialog.messages, (std::vector<unsigned>{0x8001, 0x8001}));
  // The dialog is gone: posting to it fails and nothing is delivered.
  EXPECT_FALSE(PostMessage(dialog.GetSafeHwnd(), 0x8001));
}

TEST_F(WindowTest, CallOnUiThreadRunsThereAndHonoursTheStopEvent) {
  std::thread::id ranOn;
  bool ok = false;
  std::thread worker([&] {
    ok = CallOnUiThread([&] { ranOn = std::this_thread::get_id(); });
  });
  ASSERT_TRUE(PumpUntil([&] { return ranOn != std::thread::id(); }, 10000));
  worker.join();
  EXPECT_TRUE(ok);
  EXPECT_EQ(ranOn, std::this_thread::get_id());

  // A stopped worker returns false and the call never runs.
  const Handle stop = CreateEvent(true, true);
  std::atomic<bool> ran{false};
  bool result = true;
  std::thread stopped([&] { result = CallOnUiThread([&ran] { ran = true; }, stop); });
  stopped.join();
  PumpUntilIdle();
  EXPECT_FALSE(result);
  EXPECT_FALSE(ran);
  CloseHandle(stop);

  // An exception of the call reaches the worker.
  bool caught = false;
  std::atomic<bool> done{false};
  std::thread thrower([&] {
    try {
      CallOnUiThread([] { throw std::runtime_error("ui"); });
    } catch (const std::runtime_error&) {
      caught = true;
    }
    done = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return done.load(); }, 10000));
  thrower.join();
  EXPECT_TRUE(caught);
}

TEST_F(WindowTest, MessageBoxHookAnswers) {
  std::string seen;
  SetMessageBoxHook([&](const std::string& text, const std::string& caption, unsigned type) {
    seen = caption + ":" + text;
    return (type & 0x0F) == kMbYesNo ? kIdNo : kIdOk;
  });
  EXPECT_EQ(MessageBox(nullptr, "Delete?", "Users", kMbYesNo | kMbIconQuestion), kIdNo);
  EXPECT_EQ(seen, "Users:Delete?");
}

TEST_F(WindowTest, TimersTickUntilKilled) {
  class Ticker : public Wnd_t {
   public:
    int ticks = 0;

   protected:
    void OnTimer(unsigned id) override {
      if (id == 7 && ++ticks == 3) KillTimer(7);
    }
  } window;
  ASSERT_TRUE(window.Create(nullptr, 0, kWsOverlappedWindow, RECT{0, 0, 50, 50}));
  ASSERT_TRUE(window.SetTimer(7, 1));
  EXPECT_TRUE(PumpUntil([&] { return window.ticks == 3; }, 10000));
  PumpUntil([] { return false; }, 30);
  EXPECT_EQ(window.ticks, 3);
}

TEST_F(WindowTest, ClipboardKeepsText) {
  ASSERT_TRUE(SetClipboardText("line 1\nline 2 \xC3\xA4"));
  std::string text;
  ASSERT_TRUE(GetClipboardText(text));
  EXPECT_EQ(text, "line 1\nline 2 \xC3\xA4");
}

TEST_F(WindowTest, DestroyingTheParentDestroysTheChildren) {
  Wnd_t parent, child;
  ASSERT_TRUE(parent.Create(nullptr, 0, kWsOverlappedWindow, RECT{0, 0, 200, 100}));
  ASSERT_TRUE(child.Create(&parent, 12, kWsChild | kWsVisible, RECT{10, 10, 60, 40}));
  EXPECT_EQ(parent.GetDlgItem(12), &child);
  const HWND h = child.GetSafeHwnd();
  EXPECT_EQ(Wnd_t::FromHandle(h), &child);
  parent.DestroyWindow();
  EXPECT_FALSE(child.HasWindow());
  EXPECT_FALSE(IsWindow(h));
  // A child needs a parent with a window.
  EXPECT_FALSE(child.Create(&parent, 1, kWsChild, RECT{0, 0, 1, 1}));
}

TEST_F(WindowTest, DialogRendersToAPicture) {
  TestDialog dialog;
  const std::string path = test::Home() + "/dialog.png";
  SetModalHook([&](Dialog_t& d) {
    EXPECT_TRUE(d.SaveImage(path));
    d.EndDialog(kIdOk);
  });
  dialog.DoModal();
  EXPECT_GT(test::ReadFile(path).size(), 1000u);
}

}  // namespace

namespace {

TEST(PumpTest, IdleWorkRunsOnceTheQueueEmptiesAndThenWaits) {
  ASSERT_TRUE(plat::EnsureGuiApplication());
  class Quitter : public plat::Wnd_t {
   protected:
    void OnTimer(unsigned) override { plat::PostQuitMessage(3); }
  } window;
  ASSERT_TRUE(window.Create(nullptr, 0, plat::kWsOverlappedWindow, plat::RECT{0, 0, 10, 10}));
  long calls = 0;
  plat::SetIdleHandler([&](long) {
    ++calls;
    return false;
  });
  window.SetTimer(1, 200);
  EXPECT_EQ(plat::RunMessageLoop(), 3);
  plat::SetIdleHandler(nullptr);
  EXPECT_GE(calls, 1);
  EXPECT_LT(calls, 100);  // a loop with nothing to do waits instead of spinning
}

}  // namespace

namespace {

// A child that draws itself and reports wheel and mouse input to its parent.
class Canvas : public plat::Wnd_t {
 public:
  bool takeWheel = true;
  int wheelDelta = 0, clicks = 0, doubleClicks = 0;
  unsigned lastKey = 0;

 protected:
  void OnPaint(plat::Dc_t& dc) override { dc.FillSolidRect(plat::RECT{0, 0, 10, 10}, plat::Rgb(255, 0, 0)); }
  bool OnMouseWheel(unsigned, int delta, plat::POINT) override {
    wheelDelta = delta;
    return takeWheel;
  }
  bool OnLButtonDown(unsigned, plat::POINT) override { return ++clicks, true; }
  bool OnLButtonDblClk(unsigned, plat::POINT) override { return ++doubleClicks, true; }
  bool OnKeyDown(unsigned key, unsigned, unsigned) override { return lastKey = key, true; }
};

TEST(InputTest, WheelGoesToTheWindowThenItsParentAndPaintDraws) {
  ASSERT_TRUE(plat::EnsureGuiApplication());
  Canvas parent, child;
  ASSERT_TRUE(parent.Create(nullptr, 0, plat::kWsOverlappedWindow | plat::kWsVisible, plat::RECT{0, 0, 100, 100}));
  ASSERT_TRUE(child.Create(&parent, 5, plat::kWsChild | plat::kWsVisible, plat::RECT{20, 20, 60, 60}));
  EXPECT_TRUE(plat::SendWheel(child, -120, 0, plat::POINT{5, 5}));
  EXPECT_EQ(child.wheelDelta, -120);
  EXPECT_EQ(parent.wheelDelta, 0);
  child.takeWheel = false;  // not handled: the parent gets it
  EXPECT_TRUE(plat::SendWheel(child, 240, 0, plat::POINT{5, 5}));
  EXPECT_EQ(parent.wheelDelta, 240);

  plat::SendClick(child, plat::POINT{3, 3}, false, true);
  EXPECT_EQ(child.clicks, 1);
  EXPECT_EQ(child.doubleClicks, 1);
  plat::SendKey(child, 'M', plat::kMkControl);
  EXPECT_EQ(child.lastKey, unsigned('M'));
  // Plus and minus keep apart the keypad's keys and the main block's.
  for (unsigned vk : {plat::kVkAdd, plat::kVkSubtract, plat::kVkOemPlus, plat::kVkOemMinus}) {
    plat::SendKey(child, vk);
    EXPECT_EQ(child.lastKey, vk);
  }

  // The child's OnPaint shows in a picture of the window.
  const std::string path = test::Home() + "/canvas.png";
  ASSERT_TRUE(parent.SaveImage(path));
  EXPECT_GT(test::ReadFile(path).size(), 0u);
}

}  // namespace
