#include "ui/widgets/QELBLabel.h"

#include <algorithm>

#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFGeometry.h"

Ref<QELCLabel> QELCLabel::widgetWithSize(OGLTSize size, OGLTPoint position, uint32_t alignment, std::string text) {
  return makeRef<QELCLabel>(size, position, alignment, std::move(text));
}

Ref<QELCLabel> QELCLabel::widgetWithAlignment(uint32_t alignment, std::string text) {
  return widgetWithSize({0, 0}, {0, 0}, alignment, std::move(text));
}

OGLTSize QELBLabel::preferredSizeWithWindow(QELBWindow* window, const std::string& text, float width) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  QELFControlStandardText(d.ctx, *d.tweaks);
  OGLTSize t = QELFControlTextSize(d.ctx, text.c_str(), width);
  float pad = 2 * QELFControlPad(*d.tweaks);
  return QELFControlRoundedSize({t.w + pad + 2, t.h + pad + 2});
}

OGLTSize QELBLabel::pads(const QELTWindowTweaks& tweaks) const {
  return {std::max(tweaks.cornerRadius, tweaks.padding + padding_.w),
          std::max(tweaks.cornerRadius, tweaks.padding + padding_.h)};
}

OGLTRect QELBLabel::space() {
  QELTControlDrawing d = measuring();
  if (!d || plain()) return bounds();
  OGLTSize p = pads(*d.tweaks);
  OGLTRect b = bounds();
  return {b.left + 2 * p.w, b.top + 2 * p.h, b.right - 2 * p.w, b.bottom - 2 * p.h};
}

OGLTSize QELBLabel::preferredSizeWithWindow(QELBWindow* window) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  applyFont(d.ctx, *d.tweaks);
  OGLTSize p = pads(*d.tweaks);
  OGLTSize t = QELFControlTextSize(d.ctx, text_.c_str(), wrapWidth(p.w));
  if (plain()) return QELFControlRoundedSize(t);
  return QELFControlRoundedSize({t.w + 2 * p.w + 2, t.h + 2 * p.h + 2});
}

void QELBLabel::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d || text_.empty()) return;
  const QELTWindowTweaks& tw = *d.tweaks;
  applyFont(d.ctx, tw);
  bool highlighted = (flags() & kQELControlHighlight) && hovered();
  drawText(d.ctx, text_, plain() ? bounds() : inner(), wrapWidth(pads(tw).w),
           highlighted ? tw.hoverColor : tw.textColor);
}
