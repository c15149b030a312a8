#pragma once
// The base of every workbench view: a titled view with its own settings frame, a frame inside
// the application's settings that the view's opener hands it. The view takes its size and
// position from the frame and gives its position, size and visibility back when it leaves the
// window (closed by the user, or detached with the others when the window closes), so the
// settings written at shut-down hold them.
//
// Leaving the window takes one path for every view: the view's own onLeavingWindow first (while
// it and its children are still in the window), then its children leave, then the base stores
// position, size and visibility. A view never overrides onDetachedFromWindow.
//
// Window's thread only.
#include "framework/core/JSKCFrame.h"
#include "ui/widgets/QELBView.h"

class ZRVBView : public QELBView {
public:
  JSKCFrame* config() const { return config_.get(); }
  // Stores "position", "size" and "visible" into the settings frame.
  void wring();

protected:
  // Size and position come from the frame's "size" and "position" (made placeable: see
  // QELBView::placeablePoint), else the defaults; a null
  // frame is replaced by an empty one that belongs to the view alone.
  ZRVBView(OGLTSize size, OGLTPoint position, std::string title, uint32_t flags, Ref<JSKCFrame> config);

  // What a view does as it leaves its window: lets go of its observers, menu and workers, and
  // stores its own settings into config() (not position, size or visibility: the base stores
  // those). A view that overrides a parent's onLeavingWindow calls the parent's too.
  virtual void onLeavingWindow() {}

private:
  void onDetachedFromWindow() final;

  Ref<JSKCFrame> config_;
};
