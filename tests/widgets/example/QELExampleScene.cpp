#include "tests/widgets/example/QELExampleScene.h"

#include <new>

#include "ui/gl/OGLF2D.h"

Ref<QELExampleBlock> QELExampleBlock::blockWithSize(OGLTSize size, OGLTColor color) {
  return adoptRef(new (std::nothrow) QELExampleBlock(size, color));
}

bool QELExampleBlock::onInputWithCursor(const OGLTCursorEvent& cursor) {
  QELBWidget::onInputWithCursor(cursor);
  if (cursor.button == 1 && cursor.action == kOGLActionRelease) ++clicks_;
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
  return adoptRef(new (std::nothrow) QELExampleCanvas(size, position));
}

bool QELExampleCanvas::onInputWithScroll(const OGLTScrollEvent& scroll) {
  if (!hasCursorRecord()) return false;
  setOffset({offset().x - scroll.delta.x * 20, offset().y - scroll.delta.y * 20});
  return true;
}

void QELExampleCanvas::onRenderWithStep(float, const OGLTRect& rect) {
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
  struct Spacer : QELBWidget, QELPSpacer {
    Spacer() : QELBWidget({0, 20}, {0, 0}) {}
  };
  scene.row->attach(scene.left);
  scene.row->attach(adoptRef(new (std::nothrow) Spacer()));
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

  scene.layoutView->setVisible(true);
  scene.canvasView->setVisible(true);
  return scene;
}
