// Resizable dialogs: anchored children, the stored position, the size grip,
// radio groups and member controls.
#include <gtest/gtest.h>

#include "afx/AFX_Anchor.h"
#include "afx/AFX_Ctrl.h"
#include "afx/AFX_Dialog.h"
#include "afx/AFX_GetCheckedRadioButton.h"
#include "afx/AFX_InitControlMember.h"
#include "afx/AFX_SizeGrip.h"
#include "glo/GLO_Exception.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_Edit.h"
#include "plat/PLAT_Module.h"
#include "plat/PLAT_Registry.h"
#include "tests/common/TestEnv.h"
#include "tests/common/TestResources.h"
#include "win/WIN_RegSettingsKey.h"

namespace {

using plat::RECT;

class AfxDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseTestResources();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(m_main.Create(nullptr, 0, plat::kWsOverlappedWindow, RECT{0, 0, 800, 600}, "Main"));
    plat::SetMainWnd(&m_main);
    const win::RegKey_t& key = app::GetSettingsKey();
    if (key.ValueExists("Position")) key.DeleteValue("Position");
  }
  void TearDown() override {
    plat::SetModalHook(nullptr);
    plat::SetMainWnd(nullptr);
    m_main.DestroyWindow();
    plat::PumpUntilIdle();
  }
  plat::Wnd_t m_main;
};

RECT ClientRectOf(const plat::Wnd_t& child) {
  RECT r = child.GetWindowRect();
  child.GetParent()->ScreenToClient(r);
  return r;
}

RECT Offset(RECT r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

TEST(AnchorTest, ModesFollowTheClientSize) {
  const RECT child{20, 30, 120, 60};
  const struct {
    int hMode, vMode;
    int w0, h0, w1, h1;
    RECT expected;
  } cases[] = {
      {0, 0, 300, 200, 340, 260, child},                      // left/top: stays
      {1, 1, 300, 200, 340, 260, Offset(child, 40, 60)},      // right/bottom: moves by the growth
      {2, 2, 300, 200, 340, 260, RECT{20, 30, 160, 120}},     // both: grows by the growth
      {3, 3, 300, 200, 400, 300, Offset(child, 50, 50)},      // centred: half the growth
      {2, 0, 300, 200, 250, 200, RECT{20, 30, 70, 60}},       // shrinking stretches back
  };
  for (const auto& c : cases) {
    const afx::Anchor_t a = afx::Anchor_t::Record(child, c.w0, c.h0, c.hMode, c.vMode);
    EXPECT_EQ(a.Layout(child, c.w0, c.h0), child) << c.hMode;  // the same size changes nothing
    EXPECT_EQ(a.Layout(child, c.w1, c.h1), c.expected) << c.hMode << "/" << c.vMode;
  }
  // A direction without an offset is a broken invariant.
  EXPECT_THROW(afx::Anchor_t::Record(child, 300, 200, 7, 0).Layout(child, 300, 200), glo::Assert_t);
}

// The report dialog's layout of the test module (dialog 9001) with anchors.
class AnchoredDialog : public afx::Dialog_t {
 public:
  AnchoredDialog() : afx::Dialog_t(9001) {}
  bool restore = true;

 protected:
  bool OnInitDialog() override {
    const bool r = afx::Dialog_t::OnInitDialog();
    AnchorControl(9011, GetDlgItem(9011), 2, 0);  // the edit stretches
    AnchorControl(1, GetDlgItem(1), 1, 1);        // OK keeps to the bottom right
    AnchorControl(9060, GetDlgItem(9060), 3, 0);  // the progress bar stays centred
    m_grip.Create(*this);
    if (restore) RestorePosition();
    return r;
  }
  void OnSize(int cx, int cy) override {
    afx::Dialog_t::OnSize(cx, cy);
    if (m_grip.HasWindow()) m_grip.Reposition();
  }
  void OnOK() override {
    SavePosition();
    afx::Dialog_t::OnOK();
  }

 public:
  afx::SizeGrip_t m_grip;
};

TEST_F(AfxDialogTest, ChildrenFollowTheDialogsSize) {
  AnchoredDialog dialog;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    const RECT win = d.GetWindowRect(), client = d.GetClientRect();
    const RECT edit = ClientRectOf(*d.GetDlgItem(9011)), ok = ClientRectOf(*d.GetDlgItem(1)),
               bar = ClientRectOf(*d.GetDlgItem(9060)), label = ClientRectOf(*d.GetDlgItem(9010));
    d.MoveWindow(win.left, win.top, win.right - win.left + 40, win.bottom - win.top + 30);
    EXPECT_EQ(d.GetClientRect().right, client.right + 40);
    EXPECT_EQ(ClientRectOf(*d.GetDlgItem(9011)), (RECT{edit.left, edit.top, edit.right + 40, edit.bottom}));
    EXPECT_EQ(ClientRectOf(*d.GetDlgItem(1)), Offset(ok, 40, 30));
    EXPECT_EQ(ClientRectOf(*d.GetDlgItem(9060)), Offset(bar, 20, 0));
    EXPECT_EQ(ClientRectOf(*d.GetDlgItem(9010)), label);  // not anchored: stays
    // The grip lies along the whole bottom edge.
    const RECT grip = ClientRectOf(dialog.m_grip);
    EXPECT_EQ(grip.left, 0);
    EXPECT_EQ(grip.right, client.right + 40);
    EXPECT_EQ(grip.bottom, client.bottom + 30);
    EXPECT_GT(grip.bottom - grip.top, 0);
    EXPECT_TRUE(dialog.m_grip.HasSizeGrip());
    d.EndDialog(plat::kIdCancel);
  });
  EXPECT_EQ(dialog.DoModal(), plat::kIdCancel);
}

TEST_F(AfxDialogTest, PositionIsRestoredAndSaved) {
  const win::RegKey_t& key = app::GetSettingsKey();
  // No value yet: the current rectangle is stored at once.
  RECT first{};
  {
    AnchoredDialog dialog;
    plat::SetModalHook([&](plat::Dialog_t& d) {
      first = d.GetWindowRect();
      d.MoveWindow(RECT{40, 50, 540, 450});
      d.SendMessage(plat::kWmCommand, plat::kIdOk);
    });
    EXPECT_EQ(dialog.DoModal(), plat::kIdOk);
  }
  // Saved on OK, restored by the next dialog.
  EXPECT_EQ(win::ConstRegValue_t<RECT>(key, "Position").Value(), (RECT{40, 50, 540, 450}));
  {
    AnchoredDialog dialog;
    RECT seen{};
    plat::SetModalHook([&](plat::Dialog_t& d) {
      seen = d.GetWindowRect();
      d.EndDialog(plat::kIdCancel);
    });
    dialog.DoModal();
    EXPECT_EQ(seen, (RECT{40, 50, 540, 450}));
  }
  EXPECT_NE(first, (RECT{40, 50, 540, 450}));
}

TEST_F(AfxDialogTest, DamagedPositionIsReplacedByTheCurrentRectangle) {
  const win::RegKey_t& key = app::GetSettingsKey();
  const unsigned char shortValue[8] = {1, 0, 0, 0, 2, 0, 0, 0};
  const RECT inverted{300, 10, 100, 200}, zeroWidth{100, 10, 100, 200};
  for (int which = 0; which < 3; ++which) {
    if (which == 0) key.WriteValue("Position", plat::kRegBinary, shortValue, sizeof shortValue);
    else win::RegValueCodec_t<RECT>::Write(key, "Position", which == 1 ? inverted : zeroWidth);
    AnchoredDialog dialog;
    EXPECT_FALSE(dialog.StoredPosition().IsPresent()) << which;
    RECT seen{};
    plat::SetModalHook([&](plat::Dialog_t& d) {
      seen = d.GetWindowRect();
      d.EndDialog(plat::kIdCancel);
    });
    dialog.DoModal();
    EXPECT_EQ(win::ConstRegValue_t<RECT>(key, "Position").Value(), seen) << which;
  }
}

TEST_F(AfxDialogTest, FixedSizeDialogKeepsItsSizeAtTheStoredCorner) {
  class Fixed : public afx::Dialog_t {
   public:
    Fixed() : afx::Dialog_t(9002) {}

   protected:
    bool OnInitDialog() override {
      const bool r = afx::Dialog_t::OnInitDialog();
      RestorePosition();
      return r;
    }
  };
  RECT seen{}, own{};
  auto record = [](RECT& into) {
    plat::SetModalHook([&into](plat::Dialog_t& d) {
      into = d.GetWindowRect();
      d.EndDialog(plat::kIdOk);
    });
  };
  plat::Dialog_t probe(9002);  // the template's own size
  record(own);
  probe.DoModal();
  win::RegValueCodec_t<RECT>::Write(app::GetSettingsKey(), "Position", RECT{30, 40, 900, 700});
  Fixed dialog;
  record(seen);
  dialog.DoModal();
  EXPECT_EQ(seen, (RECT{30, 40, 30 + own.right - own.left, 40 + own.bottom - own.top}));
}

TEST_F(AfxDialogTest, InitDialogNeedsTheMainWindow) {
  plat::SetMainWnd(nullptr);
  AnchoredDialog dialog;
  EXPECT_THROW(dialog.DoModal(), glo::Assert_t);
}

TEST_F(AfxDialogTest, CheckedRadioButtonOfAGroup) {
  plat::Dialog_t dialog(9001);
  plat::SetModalHook([&](plat::Dialog_t& d) {
    auto button = [&](int id) { return dynamic_cast<plat::Button_t*>(d.GetDlgItem(id)); };
    button(9021)->SetCheck(plat::kBstChecked);
    EXPECT_EQ(afx::GetCheckedRadioButton(d, 9020), 9021);
    button(9021)->SetCheck(plat::kBstUnchecked);
    button(9020)->SetCheck(plat::kBstChecked);
    EXPECT_EQ(afx::GetCheckedRadioButton(d, 9020), 9020);
    button(9020)->SetCheck(plat::kBstUnchecked);
    EXPECT_THROW(afx::GetCheckedRadioButton(d, 9020), glo::Assert_t);  // none checked
    EXPECT_THROW(afx::GetCheckedRadioButton(d, 4711), glo::Assert_t);  // no such button
    d.EndDialog(plat::kIdOk);
  });
  dialog.DoModal();
}

TEST_F(AfxDialogTest, MemberControlTakesTheTemplateControlOver) {
  plat::Dialog_t dialog(9001);
  plat::SetModalHook([&](plat::Dialog_t& d) {
    afx::AnchoredCtrl_t<plat::Edit_t> edit;
    const plat::HWND before = d.GetDlgItem(9011)->GetSafeHwnd();
    EXPECT_TRUE(afx::InitControlMember(d, 9011, edit));
    EXPECT_EQ(d.GetDlgItem(9011), &edit);
    EXPECT_EQ(edit.GetSafeHwnd(), before);
    edit.SetWindowText("typed");
    EXPECT_EQ(edit.GetWindowText(), "typed");
    for (int bad : {0, -1, 4711}) {
      afx::Ctrl_t<plat::Edit_t> other;
      EXPECT_THROW(afx::InitControlMember(d, bad, other), glo::Assert_t) << bad;
    }
    EXPECT_THROW(afx::InitControlMember(d, 9010, edit), glo::Assert_t);  // already attached

    // The member keeps its distances to the right edge.
    const RECT r = ClientRectOf(edit), client = d.GetClientRect();
    edit.Anchor(d, 1, 0);
    edit.Layout(client.right + 25, client.bottom);
    EXPECT_EQ(ClientRectOf(edit), Offset(r, 25, 0));
    d.EndDialog(plat::kIdOk);
  });
  dialog.DoModal();
}

}  // namespace
