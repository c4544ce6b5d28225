#pragma once
// List boxes ("list"), combo boxes ("combo") and list views ("listview", the
// report form with columns). The parent hears kLbnSelChange when the user
// changes the selection (and, for list views, when the program does), and
// kLbnDblClk / kNmDblClk on a double click.
#include <string>

#include "plat/PLAT_Window.h"

namespace plat {

enum : int { kLbErr = -1 };

class ListBox_t : public Wnd_t {
 public:
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect) {
    return CreateControl("list", parent, id, style, rect, std::string());
  }
  // The index of the new row (sorted lists insert in order).
  int AddString(const std::string& text);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;  // kLbErr when none
  int SetCurSel(int index);  // -1 clears; kLbErr for a bad index
  bool GetText(int index, std::string& text) const;
  int FindStringExact(int start, const std::string& text) const;  // kLbErr when absent
};

class ComboBox_t : public Wnd_t {
 public:
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect) {
    return CreateControl("combo", parent, id, style, rect, std::string());
  }
  int AddString(const std::string& text);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  bool GetLBText(int index, std::string& text) const;
  // Sets the selection as the user would (kLbnSelChange reaches the parent).
  void SelectAsUser(int index);
};

// Column formats of list views.
enum : int { kLvcfmtLeft = 0, kLvcfmtRight = 1, kLvcfmtCenter = 2 };

class ListCtrl_t : public Wnd_t {
 public:
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect) {
    return CreateControl("listview", parent, id, style, rect, std::string());
  }
  // Inserts a column before 'index'; width -1 fits the title. Returns its index.
  int InsertColumn(int index, const std::string& title, int format, int width);
  int GetColumnCount() const;
  int GetColumnWidth(int column) const;
  bool SetColumnWidth(int column, int width);
  std::string GetColumnTitle(int column) const;
  // Inserts a row before 'row' (at the end when past it) with the text of
  // column 0; returns its index.
  int InsertItem(int row, const std::string& text);
  bool SetItemText(int row, int column, const std::string& text);
  std::string GetItemText(int row, int column) const;
  bool SetItemData(int row, std::uintptr_t data);
  std::uintptr_t GetItemData(int row) const;
  int GetItemCount() const;
  bool DeleteItem(int row);
  void DeleteAllItems();
  int GetSelectedItem() const;  // -1 when none
  bool SelectItem(int row);
  // The pixel width of a text in the list's font.
  int GetStringWidth(const std::string& text) const;
  // The width of the area that shows the rows: the control less its frame and
  // a vertical scroll bar that is shown.
  int GetRowAreaWidth() const;
  // The height the control needs to show all its rows: frame, column headers
  // and rows.
  int GetNeededHeight() const;
};

}  // namespace plat
