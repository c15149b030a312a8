#pragma once
// The settings panel the vision views share: sliding in from the top at 0.9 opacity, a header
// ("Settings" and a close symbol sending kVSKSettingsClose) over a column of rows the view fills,
// and the slider row (caption, value label, slider sending the view's tag). Window's thread only.
#include <functional>

#include "ui/widgets/QELBGroup.h"
#include "ui/widgets/QELBPanel.h"

// The settings messages' uid and the header's close symbol's tag; the views number their rows'
// tags from 2.
enum : uint32_t {
  kVSKSettingsUid = 0xD000,
  kVSKSettingsClose = 1,
};

// Builds the panel's content: fill attaches the view's rows to the column, made with the panel's
// opacity. False when a part cannot be made or fill fails.
bool VSKFVisionPanelSetup(QELBPanel& panel, const std::function<bool(QELBParent& column, float opacity)>& fill);
// A row: caption, value label (labelAlias), slider 100 x 20 (sliderAlias) sending a copy of
// (kVSKSettingsUid, tag); null when a part cannot be made.
[[nodiscard]] Ref<QELCGroup> VSKFVisionPanelSliderRow(float opacity, const char* caption, const char* value,
                                                      const char* labelAlias, const char* sliderAlias, uint32_t tag);
// The slider position's value: round(value x (upper - lower) + lower) (halves away from zero),
// clamped to lower..upper (NaN: lower).
uint32_t VSKFVisionPanelSliderValue(double value, uint32_t lower, uint32_t upper);
// Shows the value as "%u" in the panel's label of that alias, when there is one.
void VSKFVisionPanelShowValue(QELBPanel& panel, const char* label, uint32_t value);
