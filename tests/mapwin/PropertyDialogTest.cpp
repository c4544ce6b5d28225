// The property dialogs of map features, from inputs in memory: what each
// shows, its layout on the rendered picture and as it is resized, and Enter
// and Escape pressed as the user would.
#include <gtest/gtest.h>

#include "glo/GLO_Exception.h"
#include "map/MAP_NrstFeature.h"
#include "map/MAP_PropertyDialogs.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_Input.h"
#include "plat/PLAT_List.h"
#include "tests/mapwin/DialogLayoutCheck.h"

namespace {

using dialogtest::Text;

class PropertyDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::EnsureGuiApplication());
    plat::SetResourceHandle(glo::GetResourceModule());
  }
  void TearDown() override { plat::SetModalHook(nullptr); }

  static bool Checked(plat::Wnd_t& d, int id) {
    return dynamic_cast<plat::Button_t&>(*d.GetDlgItem(id)).GetCheck() == plat::kBstChecked;
  }
  static std::string TextOf(plat::Wnd_t& d, int id) { return d.GetDlgItem(id)->GetWindowText(); }
  static int Width(const plat::RECT& r) { return r.right - r.left; }
  static int Height(const plat::RECT& r) { return r.bottom - r.top; }
  // OK keeps its size, is centred and sits at the bottom margin.
  static void ExpectOkCentred(plat::Wnd_t& d, const plat::RECT& before, int bottomGap) {
    const plat::RECT ok = map::ControlRect(d, plat::kIdOk);
    EXPECT_EQ(Width(ok), Width(before));
    EXPECT_EQ(Height(ok), Height(before));
    EXPECT_LE(std::abs(ok.left + ok.right - d.GetClientRect().right), 1);
    EXPECT_EQ(d.GetClientRect().bottom - ok.bottom, bottomGap);
  }
};

TEST(PropertyDialogRules, AttributeClassesWithADialog) {
  for (int c = 0; c < 16; ++c) {
    const bool always = c >= 6 && c <= 12;
    EXPECT_EQ(map::AttributeClassHasProperties(c, true), always || c == 2 || c == 3) << c;
    EXPECT_EQ(map::AttributeClassHasProperties(c, false), always) << c;
    // A found feature asks the same rule by its kind.
    for (int kind : {3, 6, 7}) {
      const map::NrstFeature_t feature(nullptr, kind, "", map::FeatureRef_t(), nullptr, -1, {}, {}, "");
      EXPECT_EQ(map::AttributeClassHasProperties(c, kind == 3),
                feature.HasAttributeProperties(static_cast<std::uint8_t>(c)))
          << c << " " << kind;
    }
  }
}

TEST_F(PropertyDialogTest, PointOfInterestShowsItsTextOnWhite) {
  map::PoiInput_t input;
  input.text = "Harbour Cafe\r\n12 Quay Street\r\nPortsmouth";
  map::PoiPropertiesDialog_t dialog(input);
  EXPECT_EQ(dialogtest::RunAndPress<map::PoiPropertiesDialog_t>(dialog, [&](auto& d) {
    dialogtest::MaybeSave(d, "poi-dialog");
    EXPECT_EQ(TextOf(d, map::PoiPropertiesDialog_t::kIdText), "Harbour Cafe\r\n12 Quay Street\r\nPortsmouth");
    dialogtest::ExpectTidyLayout(d);
    dialogtest::ExpectWhiteWithText(d, map::PoiPropertiesDialog_t::kIdText);
  }), plat::kIdOk);
  EXPECT_EQ(dialogtest::RunAndPress<map::PoiPropertiesDialog_t>(dialog, [](auto&) {}, plat::kVkEscape),
            plat::kIdCancel);
}

TEST_F(PropertyDialogTest, FacilityBitsCheckTheirBoxes) {
  EXPECT_EQ(map::FacilityPropertiesDialog_t::BoxOfBit(0), 4519);
  EXPECT_EQ(map::FacilityPropertiesDialog_t::BoxOfBit(11), 4530);
  EXPECT_EQ(map::FacilityPropertiesDialog_t::BoxOfBit(12), 0);
  EXPECT_EQ(map::FacilityPropertiesDialog_t::BoxOfBit(13), 4531);
  EXPECT_EQ(map::FacilityPropertiesDialog_t::BoxOfBit(17), 4535);
  EXPECT_EQ(map::FacilityPropertiesDialog_t::BoxOfBit(18), 0);
  const struct {
    std::uint32_t bits;
    std::vector<int> boxes;
  } cases[] = {{0x1000, {}},  // bit 12 has no box
               {0x2000, {4531}},
               {0x1, {4519}},
               {0x800, {4530}},
               {0x20000, {4535}},
               {0xFFFC0000, {}},  // bits above 17
               {0x3EFFF, {4519, 4520, 4521, 4522, 4523, 4524, 4525, 4526, 4527, 4528, 4529, 4530, 4531, 4532, 4533,
                          4534, 4535}}};
  for (const auto& c : cases) {
    map::FacilityPropertiesDialog_t dialog(map::FacilityInput_t{"Marina", c.bits});
    EXPECT_EQ(dialogtest::RunAndPress<map::FacilityPropertiesDialog_t>(dialog, [&](auto& d) {
      EXPECT_EQ(TextOf(d, map::FacilityPropertiesDialog_t::kIdTitle), "Marina");
      for (int id = 4519; id <= 4535; ++id) {
        const bool want = std::find(c.boxes.begin(), c.boxes.end(), id) != c.boxes.end();
        EXPECT_EQ(Checked(d, id), want) << std::hex << c.bits << std::dec << " box " << id;
      }
      if (c.bits == 0x3EFFF) {
        dialogtest::MaybeSave(d, "facility-dialog");
        dialogtest::ExpectTidyLayout(d);
        dialogtest::ExpectWhiteWithText(d, map::FacilityPropertiesDialog_t::kIdTitle);
      }
    }), plat::kIdOk);
  }
}

TEST_F(PropertyDialogTest, ExitListsItsFacilitiesAndShowsTheSelectedOne) {
  map::ExitInput_t input;
  input.heading = "Junction 12";
  input.description = "Southbound exit to the ferry port";
  input.flag = true;
  mpl::MdbExitFacilityRecord_t fuel;
  fuel.label = 5;
  fuel.direction = 1;
  fuel.type = 0;
  fuel.facilities = 0x05;
  mpl::MdbExitFacilityRecord_t odd;
  odd.label = 6;
  odd.direction = 6;
  odd.type = 14;  // beyond the texts
  odd.facilities = 0xC0;
  mpl::MdbExitFacilityRecord_t far;
  far.label = 7;
  far.direction = 7;
  far.type = 13;
  input.facilities = {fuel, odd, far};
  std::vector<std::uint32_t> read;
  const map::LabelReader_t labels = [&](std::uint32_t offset) {
    read.push_back(offset);
    return "Facility " + std::to_string(offset);
  };
  map::ExitPropertiesDialog_t dialog(input, labels);
  using E = map::ExitPropertiesDialog_t;
  const auto bits = [](plat::Wnd_t& d) {
    int b = 0;
    for (int i = 0; i < 7; ++i) b |= Checked(d, E::kIdFirstBit + i) ? 1 << i : 0;
    return b;
  };
  EXPECT_EQ(dialogtest::RunAndPress<E>(dialog, [&](auto& d) {
    dialogtest::MaybeSave(d, "exit-dialog");
    EXPECT_EQ(TextOf(d, E::kIdHeading), "Junction 12");
    EXPECT_EQ(TextOf(d, E::kIdDescription), "Southbound exit to the ferry port");
    EXPECT_TRUE(Checked(d, E::kIdFlag));
    auto& list = dynamic_cast<plat::ListBox_t&>(*d.GetDlgItem(E::kIdFacilities));
    ASSERT_EQ(list.GetCount(), 3);
    std::string text;
    list.GetText(1, text);
    EXPECT_EQ(text, "Facility 6");
    // The first is selected and shown.
    EXPECT_EQ(list.GetCurSel(), 0);
    EXPECT_EQ(bits(d), 0x05);
    EXPECT_EQ(TextOf(d, E::kIdType), Text(4442));
    EXPECT_EQ(TextOf(d, E::kIdDirection), "North of Junction 12");
    dialogtest::ExpectTidyLayout(d);
    for (const int id : {E::kIdHeading, E::kIdDescription, E::kIdType, E::kIdDirection})
      dialogtest::ExpectWhiteWithText(d, id);
    // The user moves down the list: a type past the texts shows empty, the direction still shows.
    list.SetFocus();
    plat::SendKey(list, plat::kVkDown);
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(bits(d), 0x40);
    EXPECT_EQ(TextOf(d, E::kIdType), "");
    EXPECT_EQ(TextOf(d, E::kIdDirection), "Right of Junction 12");
    plat::SendKey(list, plat::kVkDown);
    EXPECT_EQ(bits(d), 0);
    EXPECT_EQ(TextOf(d, E::kIdType), Text(4455));
    EXPECT_EQ(TextOf(d, E::kIdDirection), "");
    d.GetDlgItem(plat::kIdOk)->SetFocus();
  }), plat::kIdOk);
  EXPECT_EQ(read, (std::vector<std::uint32_t>{5, 6, 7}));

  // No facilities: an empty list, nothing selected, empty texts, no map needed.
  map::ExitInput_t bare;
  bare.heading = "Junction 3";
  map::ExitPropertiesDialog_t empty(bare);
  EXPECT_EQ(dialogtest::RunAndPress<E>(empty, [&](auto& d) {
    EXPECT_EQ(dynamic_cast<plat::ListBox_t&>(*d.GetDlgItem(E::kIdFacilities)).GetCount(), 0);
    EXPECT_FALSE(Checked(d, E::kIdFlag));
    EXPECT_EQ(bits(d), 0);
    EXPECT_EQ(TextOf(d, E::kIdType), "");
    EXPECT_EQ(TextOf(d, E::kIdDirection), "");
  }, plat::kVkEscape), plat::kIdCancel);
}

TEST_F(PropertyDialogTest, ParagraphShowsItsEntitiesAndFollowsTheSize) {
  map::ParagraphInput_t input;
  input.title = "Approach notes";
  input.textEntity = 42;
  std::vector<std::uint32_t> asked;
  const map::TextEntityReader_t entities = [&](std::uint32_t index) {
    asked.push_back(index);
    mpl::TextEntity_t a, b;
    a.text = "Keep to the buoyed channel.\x03Strong tidal streams.";
    b.text = "Right side";
    b.SetMatchKind(1);
    return std::vector<mpl::TextEntity_t>{a, b};
  };
  map::ParagraphPropertiesDialog_t dialog(input, entities);
  using P = map::ParagraphPropertiesDialog_t;
  EXPECT_EQ(dialogtest::RunAndPress<P>(dialog, [&](auto& d) {
    dialogtest::MaybeSave(d, "paragraph-dialog");
    EXPECT_EQ(TextOf(d, P::kIdTitle), "Approach notes");
    EXPECT_EQ(d.TextBox().GetWindowText(), "Keep to the buoyed channel.\r\nStrong tidal streams.\r\n\r\nRight side");
    EXPECT_EQ(d.TextBox().GetParagraphAlignment(3), plat::kPfaRight);
    dialogtest::ExpectTidyLayout(d);
    dialogtest::ExpectWhiteWithText(d, P::kIdTitle);
    {
      const dialogtest::Picture_t picture(d);
      EXPECT_GT(picture.Count(map::ControlRect(d, P::kIdText), dialogtest::Picture_t::Dark), 50);
    }
    const plat::RECT title = map::ControlRect(d, P::kIdTitle), text = map::ControlRect(d, P::kIdText);
    const plat::RECT ok = map::ControlRect(d, plat::kIdOk);
    const int margin = text.left, bottomGap = d.GetClientRect().bottom - ok.bottom;
    plat::RECT window = d.GetWindowRect();
    const plat::RECT opened = window;
    window.right += 100;
    window.bottom += 50;
    d.MoveWindow(window);
    const plat::RECT client = d.GetClientRect();
    const plat::RECT title2 = map::ControlRect(d, P::kIdTitle), text2 = map::ControlRect(d, P::kIdText);
    EXPECT_EQ(title2.right, client.right - margin);
    EXPECT_EQ(Height(title2), Height(title));
    EXPECT_EQ(text2.left, text.left);
    EXPECT_EQ(text2.top, text.top);
    EXPECT_EQ(text2.right, client.right - margin);
    ExpectOkCentred(d, ok, bottomGap);
    EXPECT_EQ(text2.bottom, map::ControlRect(d, plat::kIdOk).top - bottomGap);
    EXPECT_EQ(text2.bottom, text.bottom + 50);
    dialogtest::ExpectTidyLayout(d);
    // Not smaller than it opened.
    d.MoveWindow(plat::RECT{opened.left, opened.top, opened.left + 50, opened.top + 50});
    EXPECT_EQ(Width(d.GetWindowRect()), Width(opened));
    EXPECT_EQ(Height(d.GetWindowRect()), Height(opened));
  }), plat::kIdOk);
  EXPECT_EQ(asked, std::vector<std::uint32_t>{42});
  // Without a map there is nothing to read the text from.
  EXPECT_THROW(map::ParagraphPropertiesDialog_t bad(input), glo::Assert_t);
}

TEST_F(PropertyDialogTest, NameValueRowsFillTheListAndFollowTheSize) {
  map::NameValueInput_t input;
  for (int i = 0; i < 30; ++i) input.rows.emplace_back("Name " + std::to_string(i), "Value " + std::to_string(i));
  map::NameValuePropertiesDialog_t dialog(input);
  using N = map::NameValuePropertiesDialog_t;
  EXPECT_EQ(dialogtest::RunAndPress<N>(dialog, [&](auto& d) {
    plat::ListCtrl_t& list = d.List();
    ASSERT_EQ(list.GetColumnCount(), 2);
    EXPECT_EQ(list.GetColumnTitle(0), Text(4463));
    EXPECT_EQ(list.GetColumnTitle(1), Text(4465));
    ASSERT_EQ(list.GetItemCount(), 30);
    EXPECT_EQ(list.GetItemText(29, 0), "Name 29");
    EXPECT_EQ(list.GetItemText(29, 1), "Value 29");
    EXPECT_EQ(list.GetColumnWidth(0), list.GetStringWidth("XXXXXXXXXXXXXXXXXXX"));
    dialogtest::ExpectTidyLayout(d);
    // Too many rows to shrink: the template's height.
    const plat::RECT listRect = map::ControlRect(d, N::kIdList), ok = map::ControlRect(d, plat::kIdOk);
    EXPECT_LT(Height(listRect), list.GetNeededHeight());
    const int margin = listRect.left, bottomGap = d.GetClientRect().bottom - ok.bottom;
    plat::RECT window = d.GetWindowRect();
    window.right += 90;
    window.bottom += 30;
    d.MoveWindow(window);
    const plat::RECT list2 = map::ControlRect(d, N::kIdList);
    EXPECT_EQ(list2.right, d.GetClientRect().right - margin);
    EXPECT_EQ(list2.bottom, map::ControlRect(d, plat::kIdOk).top - bottomGap);
    ExpectOkCentred(d, ok, bottomGap);
    EXPECT_EQ(list.GetColumnWidth(0) + list.GetColumnWidth(1), list.GetRowAreaWidth());
  }), plat::kIdOk);
}

TEST_F(PropertyDialogTest, OneRowShrinksTheDialogToTheRow) {
  map::NameValueInput_t input;
  input.rows = {{"Depth", "12.5 m"}};
  map::NameValuePropertiesDialog_t dialog(input);
  using N = map::NameValuePropertiesDialog_t;
  EXPECT_EQ(dialogtest::RunAndPress<N>(dialog, [&](auto& d) {
    dialogtest::MaybeSave(d, "namevalue-dialog");
    plat::ListCtrl_t& list = d.List();
    const plat::RECT listRect = map::ControlRect(d, N::kIdList), ok = map::ControlRect(d, plat::kIdOk);
    EXPECT_EQ(Height(listRect), list.GetNeededHeight());
    EXPECT_EQ(ok.top - listRect.bottom, d.GetClientRect().bottom - ok.bottom);
    dialogtest::ExpectTidyLayout(d);
    {
      const dialogtest::Picture_t picture(d);
      EXPECT_GT(picture.Count(listRect, dialogtest::Picture_t::Dark), 30);
    }
    // The shrunk size is the smallest.
    const plat::RECT opened = d.GetWindowRect();
    d.MoveWindow(plat::RECT{opened.left, opened.top, opened.right, opened.top + 20});
    EXPECT_EQ(Height(d.GetWindowRect()), Height(opened));
  }, plat::kVkEscape), plat::kIdCancel);
}

TEST_F(PropertyDialogTest, ALongCaptionKeepsTheValueColumnWide) {
  std::vector<afx::ListColumn_t>& columns = map::NameValuePropertiesDialog_t::Columns();
  const afx::ListColumn_t saved = columns[1];  // the title, and the width the dialog keeps
  columns[1].title = "The value of this property as the chart states it, in the chart's own units";
  map::NameValuePropertiesDialog_t dialog(map::NameValueInput_t{{{"Light", "Fl(2) 10s"}}});
  EXPECT_EQ(dialogtest::RunAndPress<map::NameValuePropertiesDialog_t>(dialog, [&](auto& d) {
    plat::ListCtrl_t& list = d.List();
    const int caption = list.GetStringWidth(columns[1].title);
    ASSERT_GT(caption, list.GetRowAreaWidth() - list.GetColumnWidth(0));
    EXPECT_EQ(list.GetColumnWidth(1), caption);
    EXPECT_EQ(columns[1].width, caption);
  }), plat::kIdOk);
  columns[1] = saved;
}

}  // namespace

namespace {

// The properties command shows each description in its own dialog, modally;
// an empty description shows nothing.
TEST_F(PropertyDialogTest, EachDescriptionOpensItsDialogModally) {
  std::vector<std::string> shown;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    if (auto* rows = dynamic_cast<map::NameValuePropertiesDialog_t*>(&d))
      shown.push_back("rows " + rows->List().GetItemText(0, 0) + "=" + rows->List().GetItemText(0, 1));
    else if (dynamic_cast<map::PoiPropertiesDialog_t*>(&d))
      shown.push_back("poi " + TextOf(d, map::PoiPropertiesDialog_t::kIdText));
    else if (dynamic_cast<map::FacilityPropertiesDialog_t*>(&d))
      shown.push_back("facility " + TextOf(d, map::FacilityPropertiesDialog_t::kIdTitle));
    else if (dynamic_cast<map::ExitPropertiesDialog_t*>(&d))
      shown.push_back("exit " + TextOf(d, map::ExitPropertiesDialog_t::kIdHeading));
    else
      shown.push_back("other");
    EXPECT_FALSE(d.IsEnding());
    d.EndDialog(plat::kIdOk);
  });
  map::ShowFeatureDescription(std::monostate{});
  EXPECT_TRUE(shown.empty());
  map::ShowFeatureDescription(map::NameValueInput_t{{{"Depth", "5.0 m"}}});
  map::ShowFeatureDescription(map::PoiInput_t{"Harbour Cafe"});
  map::ShowFeatureDescription(map::FacilityInput_t{"Marina", 1});
  map::ExitInput_t exit;
  exit.heading = "Exit 12";
  map::ShowFeatureDescription(exit);
  EXPECT_EQ((std::vector<std::string>{"rows Depth=5.0 m", "poi Harbour Cafe", "facility Marina", "exit Exit 12"}),
            shown);
  // The inputs that read the map, or a station, need it.
  shown.clear();
  EXPECT_THROW(map::ShowFeatureDescription(map::ParagraphInput_t{"Notes", 3, nullptr}), glo::Assert_t);
  EXPECT_THROW(map::ShowFeatureDescription(map::MarineChartInput_t{1, nullptr, nullptr}), glo::Assert_t);
  EXPECT_THROW(map::ShowFeatureDescription(map::TideInput_t{}), glo::Assert_t);
  EXPECT_TRUE(shown.empty());
}

}  // namespace
