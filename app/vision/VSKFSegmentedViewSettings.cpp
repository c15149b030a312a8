// The segmented feed's settings panel: its widgets, and the controls set from the segmenter's
// replies.
#include "app/vision/VSKCSegmentedView.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKFTerms.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBSlider.h"
#include "ui/widgets/QELBToggle.h"

namespace {
constexpr uint32_t kUpper = 128;
}  // namespace

bool VSKFSegmentedViewSettingsSetup(QELBPanel& panel) {
  return VSKFVisionPanelSetup(panel, [](QELBParent& content, float opacity) {
    Ref<QELCGroup> spix = VSKFVisionPanelSliderRow(opacity, "Superpixel size:", "16", "spix.size", "spix.size.slider",
                                                   kVSKSegmentedSpixSize);
    Ref<QELCGroup> poly = VSKFVisionPanelSliderRow(opacity, "Polygon size:", "24", "poly.size", "poly.size.slider",
                                                   kVSKSegmentedPolySize);
    Ref<QELCToggle> show = QELCToggle::widgetWithSize({0, 0}, {10, 100}, "Show polygons", "Hide polygons");
    if (!spix || !poly) return false;
    show->setOpacity(opacity);
    show->setAlias("poly.show");
    show->setOnClick(LLKCMessage::messageWithCode({kVSKSettingsUid, kVSKSegmentedPolyShow, 0}));
    show->resizeToPreferred();
    return content.attach(spix) && content.attach(poly) && content.attach(show);
  });
}

bool VSKFSegmentedViewSettingsSyncSlider(QELBPanel& panel, const char* label, const char* slider, MRKCFunc* func,
                                         uint32_t lower, uint32_t upper) {
  MRKCNumber* number = func && func->terms() && func->terms()->count() > 0
                           ? asNumber(func->terms()->fetchAtIndex(func->terms()->count() - 1))
                           : nullptr;
  auto* control = dynamic_cast<QELBSlider*>(panel.locate(slider));
  if (!number || !control || !dynamic_cast<QELBLabel*>(panel.locate(label))) return false;
  const auto value = static_cast<uint32_t>(number->uint());
  control->setValue((static_cast<float>(value) - static_cast<float>(lower)) / static_cast<float>(upper - lower));
  VSKFSegmentedViewSettingsShowValue(panel, label, value);
  return true;
}

bool VSKFSegmentedViewSettingsSyncToggle(QELBPanel& panel, const char* toggle, MRKCFunc* func) {
  MRKBTerm* last = func && func->terms() && func->terms()->count() > 0
                       ? func->terms()->fetchAtIndex(func->terms()->count() - 1)
                       : nullptr;
  auto* control = dynamic_cast<QELBToggle*>(panel.locate(toggle));
  bool value = false;
  if (!last || !control || MRKFAtomToBoolean(last, &value) != 0) return false;
  control->setValue(value);
  return true;
}

uint32_t VSKFSegmentedViewSliderToProperty(double value, uint32_t lower) {
  return VSKFVisionPanelSliderValue(value, lower, kUpper);
}
