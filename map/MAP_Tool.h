#pragma once
// The tool hook of a map window: an object that takes the window's mouse and
// keyboard input while it is installed. The window hides its popups around
// every call that passes a mouse point and shows them again afterwards.
#include "plat/PLAT_Window.h"

namespace map {

class Tool_t {
 public:
  virtual ~Tool_t() = default;

  virtual void Activate() = 0;
  virtual void Deactivate() = 0;
  virtual bool OnSetCursor(plat::HWND window, unsigned hitTest, unsigned mouseMessage) = 0;
  // True while the tool holds the left (right) button.
  virtual bool IsLeftDown() const = 0;
  virtual void OnLButtonDown(unsigned flags, int x, int y) = 0;
  virtual void OnLButtonUp(unsigned flags, int x, int y) = 0;
  virtual void OnLButtonDblClk(unsigned flags, int x, int y) = 0;
  virtual bool IsRightDown() const = 0;
  virtual void OnRButtonDown(unsigned flags, int x, int y) = 0;
  virtual void OnMenuDone() = 0;
  virtual void OnRButtonDblClk(unsigned flags, int x, int y) = 0;
  virtual void OnMouseEnter(unsigned flags, int x, int y) = 0;
  virtual void OnMouseMove(unsigned flags, int x, int y) = 0;
  virtual void OnMouseLeave() = 0;
  // True when a queued click should end a running render.
  virtual bool AbortsOnClick() const = 0;
  virtual void BeforeRender() = 0;
  virtual void AfterRender(plat::POINT clientPoint) = 0;
};

}  // namespace map
