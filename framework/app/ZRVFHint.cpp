#include "framework/app/ZRVFHint.h"

#include <algorithm>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELBControl.h"

namespace {

// Above the views and the dialogs (layer 8), so a hint is never hidden by what it explains.
constexpr int8_t kHintLayer = 9;

}  // namespace

OGLTSize ZRVCHint::preferredSizeWithWindow(QELBWindow* window) {
  OGLC2DContext* ctx = window ? window->context() : nullptr;
  if (!ctx) return {0, 0};
  const QELTWindowTweaks& theme = *window->tweaks();
  OGLF2DStatePush(ctx);
  QELFControlStandardText(ctx, theme);
  OGLTSize text = QELFControlTextSize(ctx, text_.c_str());
  OGLF2DStatePull(ctx);
  return QELFControlRoundedSize({text.w + 2 * theme.padding, text.h + theme.padding});
}

void ZRVCHint::onRenderWithStep(float) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx) return;
  const QELTWindowTweaks& theme = *owner->tweaks();
  OGLTSize s = size();
  OGLF2DPathBegin(ctx);
  OGLF2DPathRoundedRect(ctx, 0, 0, s.w, s.h, theme.cornerRadius);
  OGLF2DPathFillColor(ctx, &theme.panelColor);
  OGLF2DPathFill(ctx);
  OGLF2DPathStrokeColor(ctx, &theme.frameColor);
  OGLF2DPathStroke(ctx);
  QELFControlStandardText(ctx, theme);
  QELFControlDrawText(ctx, text_.c_str(), theme.padding, s.h / 2, kOGLAlignLeft | kOGLAlignMiddle, theme.textColor, 0);
}

Ref<ZRVCHint> ZRVFHintMake(QELBWidget* widget, const std::string& text, uint32_t style, OGLTPoint offset) {
  if (!widget || text.empty()) return nullptr;
  Ref<ZRVCHint> hint = makeRef<ZRVCHint>(text, style, offset);
  hint->setLayer(kHintLayer);
  return hint;
}

bool ZRVFHintPlaceOnWindow(QELBWindow* window, QELBWidget* widget, ZRVCHint* hint) {
  if (!window || !widget || !hint) return false;
  hint->resizeToPreferredWithWindow(window);
  OGLTSize s = hint->size();
  OGLTPoint topLeft = widget->localToWorld({0, 0});
  OGLTSize w = widget->size();
  float y = hint->style() == kZRVHintBelow ? topLeft.y + w.h + hint->offset().y : topLeft.y - s.h - hint->offset().y;
  OGLTRect area = window->bounds();
  float x = std::clamp(topLeft.x + hint->offset().x, area.left, std::max(area.left, area.right - s.w));
  y = std::clamp(y, area.top, std::max(area.top, area.bottom - s.h));
  hint->setPosition({x, y});
  return true;
}
