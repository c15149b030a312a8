#include "ui/widgets/QELBTicker.h"

#include <algorithm>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELFGeometry.h"

Ref<QELCTicker> QELCTicker::widgetWithSize(OGLTSize size, OGLTPoint position, uint32_t alignment,
                                           std::vector<std::string> texts) {
  return makeRef<QELCTicker>(size, position, alignment, std::move(texts));
}

Ref<QELCTicker> QELCTicker::widgetWithAlignment(uint32_t alignment, std::vector<std::string> texts) {
  return widgetWithSize({0, 0}, {0, 0}, alignment, std::move(texts));
}

OGLTSize QELBTicker::measure(OGLC2DContext* ctx, const std::vector<std::string>& texts, float wrap) {
  float left = 0, top = 0, right = 0, bottom = 0;
  bool any = false;
  for (const std::string& text : texts) {
    if (text.empty()) continue;
    float b[4] = {0, 0, 0, 0};
    if (wrap >= 0) OGLF2DTextBoundsWithWidth(ctx, text.c_str(), b, 0, 0, wrap);
    else OGLF2DTextBounds(ctx, text.c_str(), b, 0, 0);
    left = any ? std::min(left, b[0]) : b[0], top = any ? std::min(top, b[1]) : b[1];
    right = any ? std::max(right, b[2]) : b[2], bottom = any ? std::max(bottom, b[3]) : b[3];
    any = true;
  }
  return {right - left, bottom - top};
}

OGLTSize QELBTicker::preferredSizeWithWindow(QELBWindow* window, const std::vector<std::string>& texts, float width) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  QELFControlStandardText(d.ctx, *d.tweaks);
  OGLF2DTextAlignment(d.ctx, kOGLAlignLeft | kOGLAlignTop);
  float pad = QELFControlPad(*d.tweaks);
  OGLTSize t = measure(d.ctx, texts, width >= 0 ? std::max(0.0f, width - 2 * pad) : -1);
  return QELFControlRoundedSize({t.w + 2 * pad + 2, t.h + 2 * pad + 2});
}

void QELBTicker::setTexts(std::vector<std::string> texts) {
  texts_ = std::move(texts);
  index_ = 0;
  redraw();
}

OGLTRect QELBTicker::space() {
  QELTControlDrawing d = measuring();
  if (!d || plain()) return bounds();
  return QELFRectInset(bounds(), 2 * QELFControlPad(*d.tweaks));
}

OGLTSize QELBTicker::preferredSizeWithWindow(QELBWindow* window) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  applyFont(d.ctx, *d.tweaks);
  float pad = QELFControlPad(*d.tweaks);
  OGLTSize t = measure(d.ctx, texts_, wrapWidth(pad));
  if (plain()) return QELFControlRoundedSize(t);
  return QELFControlRoundedSize({t.w + 2 * pad + 2, t.h + 2 * pad + 2});
}

void QELBTicker::onUpdateWithStep(float step) {
  elapsed_ += step;
  if (elapsed_ > interval_) {
    elapsed_ = 0;
    // Without texts there is nothing to advance to.
    index_ = texts_.empty() ? 0 : (index_ + 1) % static_cast<uint32_t>(texts_.size());
    if (showing()) redraw();  // a hidden ticker moves on without asking for frames
  }
  QELBTextControl::onUpdateWithStep(step);
}

void QELBTicker::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d || index_ >= texts_.size() || texts_[index_].empty()) return;
  const QELTWindowTweaks& tw = *d.tweaks;
  applyFont(d.ctx, tw);
  bool accent = (flags() & kQELControlAccent) || ((flags() & kQELControlHighlight) && hovered());
  drawText(d.ctx, texts_[index_], plain() ? bounds() : inner(), wrapWidth(QELFControlPad(tw)),
           accent ? tw.hoverColor : tw.textColor);
}
