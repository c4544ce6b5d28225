#include "plat/PLAT_Splitter.h"

#include <QSplitter>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Frame.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace {
QSplitter* SplitterOf(const Wnd_t& w) { return qobject_cast<QSplitter*>(w.Impl()->widget.data()); }
}  // namespace

bool Splitter_t::CreateStatic(Wnd_t* parent, int rows, int cols, std::uint32_t style, int id) {
  if (HasWindow() || parent == nullptr || !parent->HasWindow() || rows < 1 || cols < 1 || (rows != 1 && cols != 1) ||
      rows * cols > 16) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  EnsureGuiApplication();
  m_rows = rows;
  m_cols = cols;
  m_panes.assign(size_t(rows * cols), nullptr);
  m_ideal.assign(size_t(rows * cols), -1);
  m_minimum.assign(size_t(rows * cols), 0);
  auto* w = new QSplitter(rows == 1 ? Qt::Horizontal : Qt::Vertical, parent->Impl()->widget);
  w->setChildrenCollapsible(false);
  if (style & kWsBorder) w->setFrameShape(QFrame::StyledPanel);
  Finish(w, parent, id, style | kWsChild, RECT{0, 0, 0, 0}, false);
  if (auto* outer = dynamic_cast<Splitter_t*>(parent)) {
    const int row = (id - 0xE900) / 16, col = (id - 0xE900) % 16;
    if (!outer->AddPane(row, col, *this, -1)) {
      DestroyWindow();
      SetLastError(kErrorInvalidParameter);
      return false;
    }
  } else if (auto* frame = dynamic_cast<FrameWnd_t*>(parent)) {
    frame->SetClient(*this);
  }
  return true;
}

bool Splitter_t::AddPane(int row, int col, Wnd_t& window, int idealSize) {
  QSplitter* s = SplitterOf(*this);
  if (s == nullptr || row < 0 || row >= m_rows || col < 0 || col >= m_cols || window.GetParent() != this ||
      m_panes[size_t(Slot(row, col))] != nullptr) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  const int slot = Slot(row, col);
  // The splitter's own order: the panes of lower slots come first.
  int index = 0;
  for (int k = 0; k < slot; ++k)
    if (m_panes[size_t(k)] != nullptr) ++index;
  s->insertWidget(index, window.Impl()->widget);
  // Size changes go to the last pane, the others keep theirs.
  for (int i = 0; i < s->count(); ++i) s->setStretchFactor(i, i == s->count() - 1 ? 1 : 0);
  window.ShowWindow(true);
  m_panes[size_t(slot)] = &window;
  m_ideal[size_t(slot)] = idealSize;
  RecalcLayout();
  return true;
}

bool Splitter_t::CreateView(int row, int col, Wnd_t& view, int idealSize) {
  if (!view.Create(this, IdFromRowCol(row, col), kWsChild | kWsVisible, RECT{0, 0, 0, 0})) return false;
  return AddPane(row, col, view, idealSize);
}

Wnd_t* Splitter_t::GetPane(int row, int col) const {
  if (row < 0 || row >= m_rows || col < 0 || col >= m_cols) return nullptr;
  return m_panes[size_t(Slot(row, col))];
}

void Splitter_t::GetInfo(int slot, int& current, int& minimum) const {
  current = minimum = 0;
  QSplitter* s = SplitterOf(*this);
  if (s == nullptr || slot < 0 || size_t(slot) >= m_panes.size() || m_panes[size_t(slot)] == nullptr) return;
  minimum = m_minimum[size_t(slot)];
  const int index = s->indexOf(m_panes[size_t(slot)]->Impl()->widget);
  const QList<int> sizes = s->sizes();
  current = index >= 0 && index < sizes.size() ? sizes[index] : 0;
  if (current == 0 && m_ideal[size_t(slot)] > 0) current = m_ideal[size_t(slot)];
}

void Splitter_t::SetInfo(int slot, int ideal, int minimum) {
  if (slot < 0 || size_t(slot) >= m_panes.size()) return;
  m_ideal[size_t(slot)] = ideal;
  m_minimum[size_t(slot)] = std::max(0, minimum);
}

void Splitter_t::GetColumnInfo(int col, int& current, int& minimum) const { GetInfo(Horizontal() ? col : -1, current, minimum); }
void Splitter_t::SetColumnInfo(int col, int ideal, int minimum) { SetInfo(Horizontal() ? col : -1, ideal, minimum); }
void Splitter_t::GetRowInfo(int row, int& current, int& minimum) const { GetInfo(Horizontal() ? -1 : row, current, minimum); }
void Splitter_t::SetRowInfo(int row, int ideal, int minimum) { SetInfo(Horizontal() ? -1 : row, ideal, minimum); }

void Splitter_t::OnSize(int cx, int cy) {
  Wnd_t::OnSize(cx, cy);
  if (!m_laidOut && cx > 0 && cy > 0) RecalcLayout();
}

void Splitter_t::RecalcLayout() {
  QSplitter* s = SplitterOf(*this);
  if (s == nullptr) return;
  const int total = Horizontal() ? s->contentsRect().width() : s->contentsRect().height();
  if (total > 0) m_laidOut = true;
  QList<int> sizes;
  int used = 0;
  int last = -1;
  for (size_t k = 0; k < m_panes.size(); ++k)
    if (m_panes[k] != nullptr) last = int(k);
  for (size_t k = 0; k < m_panes.size(); ++k) {
    if (m_panes[k] == nullptr) continue;
    int size = m_ideal[k] >= 0 ? m_ideal[k] : 0;
    if (int(k) == last) size = std::max(0, total - used - s->handleWidth() * (int(sizes.size())));
    size = std::max(size, m_minimum[k]);
    sizes << size;
    used += size;
  }
  s->setSizes(sizes);
}

}  // namespace plat
