#include "framework/app/ZRVBWindow.h"

#include "framework/app/ZRVCApplication.h"
#include "ui/gl/OGLF.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELFWidgetDrawing.h"

JSKCFrame* ZRVBWindow::config() const {
  QELBApplication* application = QELBApplication::shared();
  return application ? application->config() : nullptr;
}

void ZRVBWindow::onOpening() {
  QELBWindow::onOpening();
  onTweaksConfigured();
}

void ZRVBWindow::onRenderOverlayWithStep(float step, const OGLTSize& size) {
  QELBWindow::onRenderOverlayWithStep(step, size);
  OGLC2DContext* ctx = context();
  if (!ctx || status_.empty()) return;
  const QELTWindowTweaks& theme = *tweaks();
  OGLF2DStatePush(ctx);
  QELFUseTextFont(ctx, theme, kOGLAlignLeft | kOGLAlignBottom);
  OGLF2DPathFillColor(ctx, &theme.textColor);
  OGLF2DTextDraw(ctx, status_.c_str(), theme.padding, size.h - theme.padding);
  OGLF2DStatePull(ctx);
}
