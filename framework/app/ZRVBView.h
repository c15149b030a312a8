#pragma once
// The base of every workbench view: a titled view with its own settings frame, a frame inside
// the application's settings that the view's opener hands it. The view takes its size and
// position from the frame and gives its position, size and visibility back when it leaves the
// window (closed by the user, or detached with the others when the window closes), so the
// settings written at shut-down hold them.
//
// Window's thread only. Subclasses that override onDetachedFromWindow call this class's first.
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

  void onDetachedFromWindow() override;

private:
  Ref<JSKCFrame> config_;
};
