#pragma once
// A small scene of the widget core: a window with two views. "Layout" holds a column group
// (three coloured blocks and a row whose spacer pushes its two blocks apart); "Canvas" holds a
// scrollable canvas with a chequered content and a block placed in it; "Controls" holds one of
// each control (check box, radio boxes, button, toggle, segmented button, slider, spinner,
// label, ticker, separator, graph, scroll bar, symbol). The views can be dragged by their title
// bar, resized at their edges, rolled up and closed. A block counts the clicks it takes.
#include <atomic>

#include "ui/widgets/QELBButton.h"
#include "ui/widgets/QELBCanvas.h"
#include "ui/widgets/QELBCheckbox.h"
#include "ui/widgets/QELBGraph.h"
#include "ui/widgets/QELBRadiobox.h"
#include "ui/widgets/QELBScrollbar.h"
#include "ui/widgets/QELBSlider.h"
#include "ui/widgets/QELBGroup.h"
#include "ui/widgets/QELBView.h"
#include "ui/widgets/QELBWindow.h"

// A solid block that counts its left clicks.
class QELExampleBlock : public QELBWidget {
public:
  static Ref<QELExampleBlock> blockWithSize(OGLTSize size, OGLTColor color);
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onRenderWithStep(float step) override;
  OGLTColor color() const { return color_; }
  int clicks() const { return clicks_.load(); }

private:
  QELExampleBlock(OGLTSize size, OGLTColor color) : QELBWidget(size, {0, 0}), color_(color) {}
  OGLTColor color_;
  std::atomic<int> clicks_{0};
};

// A canvas with a chequered content that scrolls with the wheel.
class QELExampleCanvas : public QELBCanvas {
public:
  static Ref<QELExampleCanvas> canvasWithSize(OGLTSize size, OGLTPoint position);
  bool onInputWithScroll(const OGLTScrollEvent& scroll) override;
  void onRenderWithStepAndRect(float step, const OGLTRect& rect) override;

private:
  using QELBCanvas::QELBCanvas;
};

struct QELExampleScene {
  Ref<QELCView> layoutView, canvasView;
  Ref<QELCGroup> column, row;
  Ref<QELExampleBlock> red, green, blue, left, right, inCanvas;
  Ref<QELExampleCanvas> canvas;
  Ref<QELCView> controlsView;
  Ref<QELCCheckbox> checkbox;
  Ref<QELCRadiobox> radioA, radioB;
  Ref<QELCButton> button;
  Ref<QELCSlider> slider;
  Ref<QELCGraph> graph;
  Ref<QELCScrollbar> scrollbar;
};

// Builds the scene and attaches it to the window (which has opened).
QELExampleScene QELFExampleSceneMake(QELBWindow* window);

// The view flags of the scene's views.
constexpr uint32_t kQELExampleViewFlags = kQELViewTitleBar | kQELViewStatusBar | kQELViewCloseButton |
                                          kQELViewRollButton | kQELViewDraggable | kQELViewResizable;
