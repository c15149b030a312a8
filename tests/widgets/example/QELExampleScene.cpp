#include "tests/widgets/example/QELExampleScene.h"

#include <cmath>
#include <initializer_list>
#include <new>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBSegmentedButton.h"
#include "ui/widgets/QELBSeparator.h"
#include "ui/widgets/QELBSpacer.h"
#include "ui/widgets/QELBSpinner.h"
#include "ui/widgets/QELBSymbol.h"
#include "ui/widgets/QELBTicker.h"
#include "ui/widgets/QELBToggle.h"

Ref<QELExampleBlock> QELExampleBlock::blockWithSize(OGLTSize size, OGLTColor color) {
  return adoptRef(new QELExampleBlock(size, color));
}

bool QELExampleBlock::onInputWithCursor(const OGLTCursorEvent& cursor) {
  QELBWidget::onInputWithCursor(cursor);
  if (cursor.button == kOGLButtonLeft && cursor.action == kOGLActionRelease) ++clicks_;
  return true;
}

void QELExampleBlock::onRenderWithStep(float) {
  OGLC2DContext* ctx = window() ? window()->context() : nullptr;
  if (!ctx) return;
  OGLF2DPathBegin(ctx);
  OGLF2DPathRect(ctx, 0, 0, size().w, size().h);
  OGLF2DPathFillColor(ctx, &color_);
  OGLF2DPathFill(ctx);
}

Ref<QELExampleCanvas> QELExampleCanvas::canvasWithSize(OGLTSize size, OGLTPoint position) {
  return adoptRef(new QELExampleCanvas(size, position));
}

bool QELExampleCanvas::onInputWithScroll(const OGLTScrollEvent& scroll) {
  if (!hasCursorRecord()) return false;
  setOffset({offset().x - scroll.delta.x * 20, offset().y - scroll.delta.y * 20});
  return true;
}

void QELExampleCanvas::onRenderWithStepAndRect(float, const OGLTRect& rect) {
  OGLC2DContext* ctx = window() ? window()->context() : nullptr;
  if (!ctx) return;
  const OGLTColor light{0.8f, 0.8f, 0.8f, 1}, dark{0.3f, 0.3f, 0.3f, 1};
  constexpr float kCell = 40;
  for (float y = static_cast<int>(rect.top / kCell) * kCell; y < rect.bottom; y += kCell)
    for (float x = static_cast<int>(rect.left / kCell) * kCell; x < rect.right; x += kCell) {
      bool even = (static_cast<int>(x / kCell) + static_cast<int>(y / kCell)) % 2 == 0;
      OGLF2DPathBegin(ctx);
      OGLF2DPathRect(ctx, x, y, kCell, kCell);
      OGLF2DPathFillColor(ctx, even ? &light : &dark);
      OGLF2DPathFill(ctx);
    }
}

namespace {

// The "Controls" view at (20, 270): its content origin is (21, 291).
void addControls(QELExampleScene& scene, QELBWindow* window) {
  scene.controlsView = QELCView::widgetWithSize({600, 200}, {20, 270}, "Controls", kQELExampleViewFlags);
  QELCView& view = *scene.controlsView;
  scene.checkbox = QELCCheckbox::widgetWithSize({120, 24}, {10, 10}, "Check");
  scene.radioA = QELCRadiobox::widgetWithSize({120, 24}, {10, 40}, "First");
  scene.radioB = QELCRadiobox::widgetWithSize({120, 24}, {10, 70}, "Second");
  scene.radioA->setValue(true);
  scene.button = QELCButton::widgetWithSize({100, 26}, {140, 10}, "Button");
  scene.slider = QELCSlider::widgetWithSize({150, 24}, {300, 10}, 0);
  scene.scrollbar = QELCScrollbar::widgetWithSize({16, 120}, {560, 10});
  scene.scrollbar->setHandle(0.25f);
  const QELTGraphSetup percent{2, {0.2f, 0.6f, 1, 0.8f}, 64, 0, 100, false, false};
  scene.graph = QELCGraph::widgetWithSize({200, 40}, {300, 110}, &percent, "load");
  for (int i = 0; i < 64; ++i) scene.graph->sync(50 + 40 * std::sin(i / 6.0f));
  for (const Ref<QELBWidget>& control : std::initializer_list<Ref<QELBWidget>>{
           scene.checkbox, scene.radioA, scene.radioB, scene.button, scene.slider, scene.scrollbar, scene.graph,
           QELCToggle::widgetWithSize({100, 24}, {140, 40}, "On", "Off"),
           QELCSegmentedButton::widgetWithSize({150, 26}, {140, 70}, {"one", "two", "three"}),
           QELCSpinner::widgetWithSize({34, 34}, {460, 10}, 0.5f),
           QELCLabel::widgetWithSize({150, 24}, {300, 40}, 0x11, "Controls"),
           QELCTicker::widgetWithSize({150, 24}, {300, 70}, 0x11, {"tick", "tock"}),
           QELCSeparator::widgetWithSize({280, 8}, {10, 100}),
           QELCSymbol::widgetWithSize({40, 40}, {460, 60}, nullptr, 0xE800u)})
    view.attach(control);
  window->attach(scene.controlsView);
}

}  // namespace

QELExampleScene QELFExampleSceneMake(QELBWindow* window) {
  QELExampleScene scene;
  if (!window) return scene;
  scene.red = QELExampleBlock::blockWithSize({60, 30}, {1, 0, 0, 1});
  scene.green = QELExampleBlock::blockWithSize({100, 30}, {0, 1, 0, 1});
  scene.blue = QELExampleBlock::blockWithSize({80, 30}, {0, 0, 1, 1});
  scene.left = QELExampleBlock::blockWithSize({30, 20}, {1, 1, 0, 1});
  scene.right = QELExampleBlock::blockWithSize({30, 20}, {0, 1, 1, 1});
  scene.inCanvas = QELExampleBlock::blockWithSize({40, 40}, {1, 0, 1, 1});

  const QELTGroupSetup columnSetup{kQELGroupColumn, 2, 4, 0, 0};
  const QELTGroupSetup rowSetup{kQELGroupRow, -1, 4, 0, kQELGroupSpacers};
  scene.column = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &columnSetup);
  scene.row = QELCGroup::widgetWithSize({160, 20}, {0, 0}, &rowSetup);
  scene.row->attach(scene.left);
  scene.row->attach(QELCSpacer::widgetWithSize({0, 20}, {0, 0}));
  scene.row->attach(scene.right);
  for (const Ref<QELBWidget>& block :
       {Ref<QELBWidget>(scene.red), Ref<QELBWidget>(scene.green), Ref<QELBWidget>(scene.blue)})
    scene.column->attach(block);
  scene.column->attach(scene.row);

  scene.layoutView = QELCView::widgetWithSize({220, 200}, {20, 20}, "Layout", kQELExampleViewFlags);
  scene.layoutView->setStatus("column and row");
  scene.layoutView->setMinSize({120, 80});
  scene.layoutView->attach(scene.column);
  window->attach(scene.layoutView);
  scene.column->resizeToPreferred();

  scene.canvasView = QELCView::widgetWithSize({260, 220}, {300, 40}, "Canvas", kQELExampleViewFlags);
  OGLTRect space = scene.canvasView->space();
  scene.canvas = QELExampleCanvas::canvasWithSize({space.right - space.left, space.bottom - space.top}, {0, 0});
  scene.canvas->setContent({800, 600});
  scene.canvas->attach(scene.inCanvas);
  scene.inCanvas->setPosition({100, 60});
  scene.canvasView->attach(scene.canvas);
  window->attach(scene.canvasView);

  addControls(scene, window);

  scene.layoutView->setVisible(true);
  scene.canvasView->setVisible(true);
  scene.controlsView->setVisible(true);
  return scene;
}
