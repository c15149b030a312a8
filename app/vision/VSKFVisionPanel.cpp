#include "app/vision/VSKFVisionPanel.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBSlider.h"
#include "ui/widgets/QELBSpacer.h"
#include "ui/widgets/QELBSymbol.h"

namespace {
const QELTGroupSetup kSetupSurface = {kQELGroupColumn, 1.0f, 1.0f, 0.0f, kQELGroupUniformCross};
const QELTGroupSetup kSetupHeader = {kQELGroupRow, 1.0f, 0.0f, 0.0f, kQELGroupSpacers};
const QELTGroupSetup kSetupContent = {kQELGroupColumn, 1.0f, 2.0f, 1.0f, kQELGroupUniformCross | kQELGroupNoBackground};
const QELTGroupSetup kSetupSlider = {kQELGroupRow, 0.0f, 0.0f, 0.0f, kQELGroupUniformCross};
const QELTSymbolSetup kSetupSymbol = {0.6f, false};
constexpr uint32_t kIconClose = 0xE800;
constexpr uint32_t kLeftMiddle = kOGLAlignLeft | kOGLAlignMiddle;

Ref<LLKCMessage> settingsMessage(uint32_t tag) { return LLKCMessage::messageWithCode({kVSKSettingsUid, tag, 0}); }

Ref<QELCGroup> header(float opacity) {
  Ref<QELCGroup> group = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupHeader);
  Ref<QELCLabel> title = QELCLabel::widgetWithSize({0, 0}, {0, 0}, kLeftMiddle, "Settings");
  Ref<QELCSpacer> spacer = QELCSpacer::widgetWithSize({0, 0}, {0, 0});
  Ref<QELCSymbol> close = QELCSymbol::widgetWithSize({0, 0}, {0, 0}, &kSetupSymbol, kIconClose);
  group->setOpacity(opacity);
  title->setOpacity(opacity);
  close->setOnClick(settingsMessage(kVSKSettingsClose));
  if (!group->attach(title) || !group->attach(spacer) || !group->attach(close)) return nullptr;
  return group;
}
}  // namespace

Ref<QELCGroup> VSKFVisionPanelSliderRow(float opacity, const char* caption, const char* value, const char* labelAlias,
                                        const char* sliderAlias, uint32_t tag) {
  Ref<QELCGroup> row = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupSlider);
  Ref<QELCLabel> name = QELCLabel::widgetWithSize({0, 0}, {0, 0}, kLeftMiddle, caption);
  Ref<QELCLabel> shown = QELCLabel::widgetWithSize({0, 0}, {0, 0}, kLeftMiddle, value);
  Ref<QELCSlider> slider = QELCSlider::widgetWithSize({100, 20}, {0, 0}, 0.0f);
  row->setOpacity(opacity);
  shown->setOpacity(opacity);
  shown->setAlias(labelAlias);
  slider->setOpacity(opacity);
  slider->setAlias(sliderAlias);
  slider->setOnChange(settingsMessage(tag));
  if (!row->attach(name) || !row->attach(shown) || !row->attach(slider)) return nullptr;
  return row;
}

bool VSKFVisionPanelSetup(QELBPanel& panel, const std::function<bool(QELBParent& column, float opacity)>& fill) {
  panel.setOpacity(0.9f);
  panel.setOrigin(kQELPanelFromTop);
  panel.setSliding(0.25f);
  const float opacity = panel.opacity();
  Ref<QELCGroup> surface = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupSurface);
  Ref<QELCGroup> content = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupContent);
  Ref<QELCGroup> top = header(opacity);
  if (!top) return false;
  surface->setOpacity(opacity);
  content->setOpacity(opacity);
  return fill(*content, opacity) && surface->attach(top) && surface->attach(content) && panel.attach(surface);
}

uint32_t VSKFVisionPanelSliderValue(double value, uint32_t lower, uint32_t upper) {
  double property = value * (upper - lower) + lower;
  if (!(property >= lower)) property = lower;  // also NaN
  if (property > upper) property = upper;
  return static_cast<uint32_t>(std::round(property));
}

void VSKFVisionPanelShowValue(QELBPanel& panel, const char* label, uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", value);
  if (auto* shown = dynamic_cast<QELBLabel*>(panel.locate(label))) shown->setText(text);
}
