#pragma once
// Static splitters: one row of panes side by side or one column of panes one
// above the other, with a bar between them that the user drags. Splitters
// nest: a splitter can be a pane of another one. Pane ids follow the classic
// numbering: 0xE900 + row * 16 + column.
#include "plat/PLAT_Window.h"

namespace plat {

class Splitter_t : public Wnd_t {
 public:
  // rows x cols with rows == 1 or cols == 1. The parent: a frame (the splitter
  // becomes its client), another splitter (the splitter becomes the pane that
  // 'id' names there, see IdFromRowCol) or any window. False (last error 87)
  // for another shape.
  bool CreateStatic(Wnd_t* parent, int rows, int cols, std::uint32_t style, int id);

  int GetColumnCount() const { return m_cols; }
  int IdFromRowCol(int row, int col) const { return 0xE900 + row * 16 + col; }

  // Makes 'window' (created with this splitter as its parent and the pane's id)
  // the pane at (row, col), with its ideal size: the width in a row of panes,
  // the height in a column.
  bool AddPane(int row, int col, Wnd_t& window, int idealSize);
  // Creates 'view' as a self-drawn child window and adds it as the pane.
  bool CreateView(int row, int col, Wnd_t& view, int idealSize);
  Wnd_t* GetPane(int row, int col) const;

  // Current and minimum size of a column (a row); Set changes the ideal size,
  // which RecalcLayout applies (the last pane takes what is left). The ideal
  // sizes are applied again when the splitter first gets its size; later size
  // changes go to the last pane.
  void GetColumnInfo(int col, int& current, int& minimum) const;
  void SetColumnInfo(int col, int ideal, int minimum);
  void GetRowInfo(int row, int& current, int& minimum) const;
  void SetRowInfo(int row, int ideal, int minimum);
  void RecalcLayout();

 protected:
  void OnSize(int cx, int cy) override;

 private:
  bool Horizontal() const { return m_rows == 1; }  // panes side by side
  int Slot(int row, int col) const { return Horizontal() ? col : row; }
  void GetInfo(int slot, int& current, int& minimum) const;
  void SetInfo(int slot, int ideal, int minimum);

  int m_rows = 0;
  int m_cols = 0;
  std::vector<Wnd_t*> m_panes;
  std::vector<int> m_ideal;
  std::vector<int> m_minimum;
  bool m_laidOut = false;
};

}  // namespace plat
