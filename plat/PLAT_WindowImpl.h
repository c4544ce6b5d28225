#pragma once
// Inside the window layer: only plat/ includes this header.
//
// A window object's state (WndImpl), the event filter that turns the toolkit's
// events into handler calls, and the loop frames that carry an exception out
// of a handler to the call that ran the loop.
#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QMenu;

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plat/PLAT_Menu.h"
#include "plat/PLAT_MenuTemplate.h"
#include "plat/PLAT_Window.h"

namespace plat {

// Turns the toolkit's events of one widget into the owner's handler calls.
class WndEvents : public QObject {
 public:
  explicit WndEvents(WndImpl* impl) : m_impl(impl) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  WndImpl* m_impl;
};

struct WndImpl {
  explicit WndImpl(Wnd_t* o) : owner(o), events(this) {}

  Wnd_t* owner;
  QPointer<QWidget> widget;
  HWND handle = 0;
  int id = 0;
  std::uint32_t style = 0;
  Wnd_t* parent = nullptr;
  std::vector<Wnd_t*> children;                       // creation order
  std::vector<std::unique_ptr<Wnd_t>> placeholders;   // children made from a template
  bool selfDrawn = false;   // OnEraseBkgnd and OnPaint draw the window
  bool destroying = false;
  bool vScrollDisabled = false;
  bool hScrollDisabled = false;
  // The window's own scroll bars, made by the first SetScrollInfo (index kSbHorz, kSbVert).
  struct ScrollBarState {
    int min = 0, max = 0, page = 0, pos = 0;
    bool used = false, disableNoScroll = false;
    QPointer<QWidget> bar;
  };
  ScrollBarState scroll[2];
  QPointer<QWidget> scrollCorner;
  GdiHandle_t font;        // set by SetFont
  HCURSOR cursor = 0;      // set by SetCursor  // fills the square where both bars meet
  std::map<unsigned, int> timers;  // program's timer id -> toolkit timer id
  // The front buffer (EnableFrontBuffer) and whether its picture is out of date.
  bool frontEnabled = false;
  bool frontStale = true;
  GdiHandle_t front;
  WndEvents events;

  // Binds a new widget to the owner: handle, filter, parent's child list.
  void Attach(QWidget* w, Wnd_t* parentWnd, int controlId, std::uint32_t windowStyle);
  // Forgets the widget without deleting it.
  void Detach();
  // Runs the owner's background and paint handlers on a context (guarded).
  void CallPaint(Dc_t& dc);
};

namespace detail {

// ---- exceptions across the event loop ----

// One loop (or synchronous call into the toolkit) run by this layer.
struct LoopFrame {
  QEventLoop* loop = nullptr;  // null for a synchronous call
  std::exception_ptr error;
  LoopFrame* outer = nullptr;
};

// Pushes itself as the innermost frame; Rethrow() after the loop or call.
class FrameScope {
 public:
  explicit FrameScope(QEventLoop* loop = nullptr);
  ~FrameScope();
  FrameScope(const FrameScope&) = delete;
  FrameScope& operator=(const FrameScope&) = delete;
  void Rethrow();
  LoopFrame& Frame() { return m_frame; }

 private:
  LoopFrame m_frame;
};

// Runs a handler; an exception is kept in the innermost frame, whose loop is
// asked to end. Returns false when the handler threw.
bool Guard(const std::function<void()>& handler);

// Runs a call into the toolkit that may run handlers synchronously, then
// rethrows what a handler threw.
void Sync(const std::function<void()>& call);

// True while a handler runs (a window's widget may then be on the stack).
bool InHandler();

// True once a handler's exception waits in the innermost frame.
bool FramePending();

// ---- windows ----

// A fresh process-wide handle number and the table of live windows.
HWND RegisterWindow(Wnd_t* window);
void UnregisterWindow(HWND handle);

// The object that receives posted messages and cross-thread calls; lives on
// the user-interface thread.
QObject* Dispatcher();

// The widget kinds a template or a control class can ask for.
QWidget* MakeControlWidget(const std::string& className, std::uint32_t style, const std::string& text,
                           QWidget* parent);

// The window object a control widget belongs to now; null when none.
Wnd_t* OwnerOf(QObject* widget);

// A window's default face colour (dialog background).
COLORREF FaceColour();

// Sends a control's notification to its parent's OnCommand (guarded).
void Notify(Wnd_t* control, unsigned code);

// Dialog base units of the default dialog font (pixels per 4 horizontal and 8
// vertical dialog units).
void DialogBaseUnits(int& x, int& y);

// Makes a toolkit menu show the items and states of a menu (actions carry the
// command id as their data).
void RenderMenu(QMenu& target, const Menu_t& menu);

// Loads menu or toolbar 'id' of the resource module; false (last error) when
// it cannot be had or is of the other kind.
bool LoadMenuTemplate(unsigned id, bool toolbar, MenuTemplate& menu);

// Shows a modal widget with 'show' and runs a loop until 'wire' (which
// connects the widget's end to the loop's exit) ends it; an exception of a
// handler run meanwhile leaves here.
void RunModalWidget(QWidget& widget, const std::function<void(QEventLoop& loop)>& wire,
                    const std::function<void()>& show);

// Runs a function on the user-interface thread once control returns to the
// event loop (any thread may call it).
void PostCall(std::function<void()> function);

// The window's own scroll bars: the width and height they take off the
// widget's right and bottom edges, and placing them after a resize.
void ScrollBarInsets(const WndImpl& impl, int& right, int& bottom);
void PlaceScrollBars(WndImpl& impl);
// The scroll bar of the window under a client point outside the client area; null when none.
QWidget* ScrollBarAt(const WndImpl& impl, POINT clientPoint);

// Paints a window with a front buffer: the program's paint into the buffer
// when it is out of date, then the buffer to the screen.
void PaintThroughFrontBuffer(WndImpl& impl);
// The window's front buffer at the widget's size, made (out of date) when
// missing or of another size.
const GdiHandle_t& EnsureFrontBuffer(WndImpl& impl);

// The idle work, run by the pump: the frames' toolbars, then the program's
// idle handler.
void RunIdle();
void UpdateFramesWhenIdle();

// The virtual key (kVk*) of a toolkit key, 0 for none; the kMk* flags of
// toolkit mouse buttons and keyboard modifiers.
unsigned VirtualKeyOf(int key, bool keypad);
unsigned MouseFlagsOf(int buttons, int modifiers);

// Pixels of a screen position for events.
POINT ToPoint(const QPoint& p);
RECT ToRect(const QRect& r);
QRect ToQRect(const RECT& r);

// The UTF-8 text of a toolkit string, and back.
std::string ToUtf8(const QString& s);
QString FromUtf8(const std::string& s);

}  // namespace detail
}  // namespace plat
