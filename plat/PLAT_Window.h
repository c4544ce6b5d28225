#pragma once
// Windows: the base of every window, dialog and control.
//
// The model:
// - A window object (Wnd_t) owns at most one window. Creating it makes the
//   window; destroying the object (or DestroyWindow) destroys the window and,
//   first, every child window. Children are kept in creation order (the order of
//   a dialog template).
// - Every window has an id (its control id inside a dialog), a style (the
//   classic style bits below), a parent and a handle. The handle is a number
//   that stays unique for the whole process; messages posted from other threads
//   address windows by handle, and a message to a window that no longer exists
//   is dropped.
// - Events reach the window through virtual handlers (OnSize, OnPaint, the
//   mouse, the wheel, keys, timers, close, commands). A handler that returns
//   bool returns true when it handled the event; false lets the default
//   processing run (for the wheel, that is the parent).
// - Notifications of controls (a button clicked, an edit control's focus or
//   text changed, a list's selection) reach the control's parent through
//   OnCommand(control id, notification code).
// - Everything here runs on the user-interface thread, except PostMessage,
//   which any thread may call.
// - An exception that leaves a handler never crosses the toolkit's event loop:
//   it ends the innermost modal loop and is rethrown from the call that ran that
//   loop (Dialog_t::DoModal, RunMessageLoop, PumpUntilIdle) or, for a handler
//   run synchronously by a call of this layer (MoveWindow, SetWindowText, a
//   button's Click), from that call.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plat/PLAT_CmdTarget.h"
#include "plat/PLAT_Cursor.h"
#include "plat/PLAT_Gdi.h"

namespace plat {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
// A window's process-wide number; 0 is no window.
using HWND = std::uint64_t;

// Window styles.
enum : std::uint32_t {
  kWsPopup = 0x80000000u,
  kWsChild = 0x40000000u,
  kWsVisible = 0x10000000u,
  kWsDisabled = 0x08000000u,
  kWsClipSiblings = 0x04000000u,
  kWsClipChildren = 0x02000000u,
  kWsCaption = 0x00C00000u,
  kWsBorder = 0x00800000u,
  kWsVScroll = 0x00200000u,
  kWsHScroll = 0x00100000u,
  kWsSysMenu = 0x00080000u,
  kWsThickFrame = 0x00040000u,  // the sizing border: the window is resizable
  kWsGroup = 0x00020000u,
  kWsTabStop = 0x00010000u,
  kWsOverlappedWindow = 0x00CF0000u,
};

// Messages that can be posted or sent (OnMessage receives them).
enum : unsigned {
  kWmNull = 0x0000,
  kWmClose = 0x0010,
  kWmCommand = 0x0111,
  kWmUser = 0x0400,
  kWmApp = 0x8000,
};

// Key and mouse-button state flags of the mouse handlers.
enum : unsigned {
  kMkLButton = 0x01,
  kMkRButton = 0x02,
  kMkShift = 0x04,
  kMkControl = 0x08,
  kMkMButton = 0x10,
};

// Notification codes that controls send to their parent's OnCommand.
enum : unsigned {
  kBnClicked = 0,
  kLbnSelChange = 1,  // list box and combo box selection changed
  kLbnDblClk = 2,
  kEnSetFocus = 0x0100,
  kEnKillFocus = 0x0200,
  kEnChange = 0x0300,
  kTvnSelChanged = 0x0400,  // tree and list view selection changed
  kNmDblClk = 0x0401,
  kDtnDateTimeChange = 0x0500,
};

// Dialog and message box results, and the standard command ids.
enum : int {
  kIdOk = 1,
  kIdCancel = 2,
  kIdAbort = 3,
  kIdRetry = 4,
  kIdIgnore = 5,
  kIdYes = 6,
  kIdNo = 7,
};

// Virtual keys of OnKeyDown.
enum : unsigned {
  kVkBack = 0x08,
  kVkTab = 0x09,
  kVkReturn = 0x0D,
  kVkShift = 0x10,
  kVkControl = 0x11,
  kVkEscape = 0x1B,
  kVkSpace = 0x20,
  kVkPrior = 0x21,
  kVkNext = 0x22,
  kVkEnd = 0x23,
  kVkHome = 0x24,
  kVkLeft = 0x25,
  kVkUp = 0x26,
  kVkRight = 0x27,
  kVkDown = 0x28,
  kVkInsert = 0x2D,
  kVkDelete = 0x2E,
  kVkF1 = 0x70,  // F1 ... F12 follow
  kVkAdd = 0x6B,       // the keypad's plus
  kVkSubtract = 0x6D,  // the keypad's minus
  kVkOemPlus = 0xBB,   // the main block's "=+" key
  kVkOemMinus = 0xBD,  // the main block's "-_" key
};

struct WndImpl;  // plat-only
struct SCROLLINFO;  // PLAT_ScrollBar.h (PLAT_WindowImpl.h)

class Wnd_t : public CmdTarget_t {
 public:
  Wnd_t();
  Wnd_t(const Wnd_t&) = delete;
  Wnd_t& operator=(const Wnd_t&) = delete;
  ~Wnd_t() override;

  // A plain window that draws itself (OnPaint) and gets every mouse and key
  // event. A child window (kWsChild) needs a parent; the rectangle is in the
  // parent's client coordinates (screen coordinates for a top-level window).
  // False (last error) when this object has a window already or the parent has
  // none.
  bool Create(Wnd_t* parent, int id, std::uint32_t style, const RECT& rect,
              const std::string& text = std::string());

  // Takes over the window of the parent's child with that id: from now on this
  // object receives its events and owns it. False, with last error 1814 when the
  // parent has no such child and 87 when this object has a window already.
  bool SubclassDlgItem(int id, Wnd_t* parent);

  // Destroys the children, then the window. False when there is none.
  bool DestroyWindow();

  // The window's handle, 0 when there is none.
  HWND GetSafeHwnd() const;
  bool HasWindow() const { return GetSafeHwnd() != 0; }
  int GetDlgCtrlID() const;
  std::uint32_t GetStyle() const;
  // Adds and removes style bits (the sizing border and the scroll bars change
  // the window; the others are kept for the program).
  void ModifyStyle(std::uint32_t remove, std::uint32_t add);

  Wnd_t* GetParent() const;
  // The child with that id, searched among the direct children; null when none.
  Wnd_t* GetDlgItem(int id) const;
  // The direct children in creation order.
  std::vector<Wnd_t*> GetChildren() const;
  // The next (or previous) control of a control's group, wrapping around inside
  // the group (a group starts at a child with kWsGroup); null when the control
  // is not a child of this window.
  Wnd_t* GetNextDlgGroupItem(Wnd_t* control, bool previous = false) const;

  // Rectangles: the client area (0, 0, width, height); the window in screen
  // coordinates; conversions between the two. The rectangle of a top-level
  // window is its area inside the frame that the desktop draws around it, so
  // that a stored rectangle comes back the same whatever the frame.
  RECT GetClientRect() const;
  RECT GetWindowRect() const;
  void ScreenToClient(RECT& rect) const;
  void ClientToScreen(RECT& rect) const;
  POINT ScreenToClient(POINT point) const;
  POINT ClientToScreen(POINT point) const;

  // Moves and sizes the window (parent's client coordinates for a child, screen
  // coordinates of the area inside the frame for a top-level window). Handlers
  // run before it returns.
  bool MoveWindow(int x, int y, int width, int height, bool repaint = true);
  bool MoveWindow(const RECT& rect, bool repaint = true);
  // The smallest size the user can drag a resizable top-level window to.
  void SetMinTrackSize(int width, int height);

  bool ShowWindow(bool show);
  bool IsWindowVisible() const;
  // Top-level windows: maximised, minimised, and back to the normal size.
  void ShowMaximized();
  void ShowMinimized();
  bool IsZoomed() const;
  bool IsIconic() const;
  // The rectangle the window has when neither maximised nor minimised.
  RECT GetNormalRect() const;
  bool EnableWindow(bool enable);
  bool IsWindowEnabled() const;
  void SetFocus();
  // True when this window or one of its descendants has the keyboard focus.
  bool HasFocusWithin() const;

  // The text: a top-level window's title, a control's text. A multi-line edit
  // control keeps line breaks as "\r\n" (a lone "\n" is taken as one too).
  void SetWindowText(const std::string& text);
  std::string GetWindowText() const;

  // Repainting: Invalidate marks the whole window for painting (the background
  // erased first when asked); UpdateWindow paints what is marked at once.
  void Invalidate(bool erase = true);
  void InvalidateRect(const RECT& rect, bool erase = true);
  void UpdateWindow();

  // A front buffer: the window's pixels kept in a bitmap that paint and client
  // device contexts (PLAT_ClientDc.h) both draw into; the screen shows the
  // buffer. A paint (OnEraseBkgnd, OnPaint) runs only when the window was
  // invalidated or resized; drawing through a client context is shown without
  // one. Self-drawn windows only.
  void EnableFrontBuffer(bool enable);
  bool HasFrontBuffer() const;
  // The buffer's bitmap (window-sized), the null handle without one.
  GdiHandle_t GetFrontBuffer() const;

  // The window's own scroll bars (kWsVScroll, kWsHScroll): enabled unless
  // disabled here. A window without the style has no bar (IsScrollBarEnabled false).
  void EnableScrollBar(bool vertical, bool enable);
  bool IsScrollBarEnabled(bool vertical) const;
  // Range, page and position of the window's own bars (PLAT_ScrollBar.h). A bar
  // shows from the first call once its range can scroll, or always with
  // kSifDisableNoScroll; the user's actions on it arrive as kWmHScroll/kWmVScroll.
  int SetScrollInfo(int bar, const SCROLLINFO& info, bool redraw = true);
  bool GetScrollInfo(int bar, SCROLLINFO& info) const;
  int SetScrollPos(int bar, int position, bool redraw = true);
  int GetScrollPos(int bar) const;
  void GetScrollRange(int bar, int& minimum, int& maximum) const;

  // The font of the window's text (a font object of PLAT_GdiObject.h, kept
  // while the window uses it); the null handle gives the default back. False
  // (last error 87) for another kind of object, 1400 without a window.
  bool SetFont(const GdiHandle_t& font, bool redraw = true);
  // The font set last; the null handle for the default.
  GdiHandle_t GetFont() const;

  // The cursor over the window and those of its children that set none
  // (PLAT_Cursor.h); 0 gives the default back.
  void SetCursor(HCURSOR cursor);
  HCURSOR GetCursor() const;

  // Takes the other window's icon as this window's icon.
  void SetIconFrom(const Wnd_t& other);

  // Timers: OnTimer(id) every 'milliseconds' until KillTimer. Setting an id
  // again restarts it. False when the window has none.
  bool SetTimer(unsigned id, unsigned milliseconds);
  bool KillTimer(unsigned id);

  // Runs the message's handler at once (user-interface thread only): kWmClose
  // OnClose, kWmCommand OnCommand(LOWORD, HIWORD of wParam), others OnMessage.
  LRESULT SendMessage(unsigned message, WPARAM wParam = 0, LPARAM lParam = 0);

  // Renders the window and its children, as they would appear on the screen,
  // into a PNG file (for looking at a window in a test). False on failure.
  bool SaveImage(const std::string& path);

  // The window of a handle; null when it no longer exists (user-interface
  // thread only).
  static Wnd_t* FromHandle(HWND handle);

  WndImpl* Impl() const { return m_impl.get(); }

 protected:
  // Makes a control of a kind of PLAT_DialogTemplate.h ("static", "edit", ...)
  // for this object; as Create otherwise. The control classes call it.
  bool CreateControl(const std::string& kind, Wnd_t* parent, int id, std::uint32_t style, const RECT& rect,
                     const std::string& text);

  // The window has just been made (children of a template not yet).
  virtual void OnCreate();
  // ---- handlers ----
  virtual void OnSize(int clientWidth, int clientHeight);
  virtual void OnMove(int x, int y);
  // Fill the background; true when done. The default fills with the dialog face
  // colour and returns true.
  virtual bool OnEraseBkgnd(Dc_t& dc);
  virtual void OnPaint(Dc_t& dc);
  // Mouse positions in client coordinates; flags are kMk*.
  virtual bool OnLButtonDown(unsigned flags, POINT point);
  virtual bool OnLButtonUp(unsigned flags, POINT point);
  virtual bool OnLButtonDblClk(unsigned flags, POINT point);
  virtual bool OnRButtonDown(unsigned flags, POINT point);
  virtual bool OnRButtonUp(unsigned flags, POINT point);
  virtual bool OnMouseMove(unsigned flags, POINT point);
  // The wheel: delta in 120ths of a notch (positive away from the user), the
  // point in screen coordinates. False passes it on to the parent.
  virtual bool OnMouseWheel(unsigned flags, int delta, POINT screenPoint);
  // The cursor left the window.
  virtual void OnMouseLeave();
  virtual bool OnKeyDown(unsigned virtualKey, unsigned repeat, unsigned flags);
  virtual void OnSetFocus();
  virtual void OnKillFocus();
  virtual void OnTimer(unsigned id);
  // The user asked to close the window. The default destroys it.
  virtual void OnClose();
  // A command (menu item, accelerator) or a child control's notification.
  bool OnCommand(unsigned id, unsigned code) override;
  // A posted or sent message other than kWmClose and kWmCommand (which reach
  // OnClose and OnCommand); true with a result when handled.
  virtual bool OnMessage(unsigned message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The window is about to be destroyed (its children still exist).
  virtual void OnDestroy();

 private:
  friend struct WndImpl;
  friend class WndEvents;

 protected:
  // Binds a freshly made toolkit widget (passed opaquely; plat/ only) and places it.
  bool Finish(void* widget, Wnd_t* parent, int id, std::uint32_t style, const RECT& rect, bool selfDrawn);

 private:
  std::unique_ptr<WndImpl> m_impl;
};

// Posts a message to the window of that handle from any thread; it is handled
// on the user-interface thread by the window's OnMessage. False (last error
// 1400) when the window does not exist at the time of posting; a window
// destroyed before the message is handled never sees it.
bool PostMessage(HWND window, unsigned message, WPARAM wParam = 0, LPARAM lParam = 0);

// True when the handle names an existing window.
bool IsWindow(HWND window);

// Error code: a handle that names no window.
enum : unsigned long { kErrorInvalidWindowHandle = 1400 };

}  // namespace plat
