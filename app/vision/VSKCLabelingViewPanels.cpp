// The labelling view's settings panel, controls row and help bubbles.
#include <cmath>
#include <cstdio>

#include "app/vision/VSKCLabelingView.h"
#include "app/vision/VSKFVisionPanel.h"
#include "framework/core/LLKCString.h"
#include "ui/widgets/QELBCheckbox.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBSlider.h"
#include "ui/widgets/QELBSpacer.h"
#include "ui/widgets/QELBSymbol.h"

namespace {
const QELTSymbolSetup kSetupSymbol = {0.6f, false};
constexpr uint32_t kLeftMiddle = kOGLAlignLeft | kOGLAlignMiddle;
constexpr uint32_t kCentreMiddle = kOGLAlignCenter | kOGLAlignMiddle;
constexpr uint32_t kBoxCapacity = 16;

Ref<QELCCheckbox> checkbox(float opacity, const char* text, const char* alias, uint32_t tag) {
  Ref<QELCCheckbox> box = QELCCheckbox::widgetWithSize({0, 0}, {0, 0}, text);
  box->setOpacity(opacity);
  box->setAlias(alias);
  box->setOnClick(LLKCMessage::messageWithCode({kVSKSettingsUid, tag, 0}));
  return box;
}

// A button of the controls row: the icon (in the "icons" face unless ownFace), its click, and the
// enter and leave messages that show its bubble (ctx: the click's tag).
Ref<QELCSymbol> button(uint32_t icon, LLKTMessageCode onClick, bool ownFace) {
  Ref<QELCSymbol> symbol = QELCSymbol::widgetWithSize({0, 0}, {0, 0}, &kSetupSymbol, icon);
  if (!ownFace) symbol->setFontName("icons");
  const uint32_t tag = onClick.tag;
  symbol->setTag(tag);
  symbol->setOnClick(LLKCMessage::messageWithCode(onClick));
  symbol->setOnEnter(LLKCMessage::messageWithCode({kVSKLabelingBubbleUid, kVSKLabelingBubbleEnterTag, tag}));
  symbol->setOnLeave(LLKCMessage::messageWithCode({kVSKLabelingBubbleUid, kVSKLabelingBubbleLeaveTag, tag}));
  return symbol;
}

// A disabled drop box over the list, sending its change with the box in ctx.
Ref<QELCDropbox> dropbox(Ref<LLKCObjectList> values, const char* alias, uint32_t ctx) {
  Ref<QELCDropbox> box = QELCDropbox::widgetWithSize({0, 0}, {0, 0}, std::move(values), kBoxCapacity);
  box->setFlags(kQELDropboxOpensAbove);
  box->setEnabled(false);
  box->setAlias(alias);
  box->setOnChange(LLKCMessage::messageWithCode({kVSKLabelingControlUid, kVSKLabelingBoxChangedTag, ctx}));
  return box;
}
}  // namespace

bool VSKFLabelingViewSettingsSetup(QELBPanel& panel) {
  return VSKFVisionPanelSetup(panel, [](QELBParent& content, float opacity) {
    Ref<QELCGroup> proximity = VSKFVisionPanelSliderRow(opacity, "Proximity: ", "16", "proximity.label",
                                                        "proximity.slider", kVSKLabelingSettingsProximity);
    Ref<QELCGroup> threshold = VSKFVisionPanelSliderRow(opacity, "Threshold: ", "24", "threshold.label",
                                                        "threshold.slider", kVSKLabelingSettingsThreshold);
    Ref<QELCCheckbox> useImage = checkbox(opacity, "Render image (if any)", "useImage", kVSKLabelingSettingsUseImage);
    Ref<QELCCheckbox> autoSave = checkbox(opacity, "Auto save", "autosave", kVSKLabelingSettingsAutoSave);
    Ref<QELCCheckbox> autoNext = checkbox(opacity, "Auto next", "autonext", kVSKLabelingSettingsAutoNext);
    return proximity && threshold && content.attach(proximity) && content.attach(threshold) &&
           content.attach(useImage) && content.attach(autoSave) && content.attach(autoNext);
  });
}

bool VSKCLabelingView::VSKFLabelingViewControlsSetup() {
  record_.sampleNames = LLKCObjectList::list();
  record_.labelNames = LLKCObjectList::list();
  record_.samples = dropbox(record_.sampleNames, "dbox.samples", kVSKLabelingSamplesBox);
  record_.labels = dropbox(record_.labelNames, "dbox.labels", kVSKLabelingLabelBox);
  Ref<LLKCObjectList> names = VSKFLabelingMakeObjectsList();
  record_.objects = names ? QELCSelector::widgetWithSize({0, 0}, {0, 0}, names) : nullptr;
  if (!record_.objects) return false;
  record_.objects->setAlias("selr.objects");
  record_.objects->setEnabled(false);
  record_.objects->setOnChange(
      LLKCMessage::messageWithCode({kVSKLabelingControlUid, kVSKLabelingBoxChangedTag, kVSKLabelingObjectsBox}));
  Ref<QELCLabel> caption = QELCLabel::widgetWithSize({0, 0}, {0, 0}, kLeftMiddle, "Label:");
  const Ref<QELBWidget> row[] = {
      button(0xE2C4, kVSKLabelingNext, false),
      button(0xE161, kVSKLabelingSave, false),
      button(0xE872, kVSKLabelingRevert, false),
      button(0xE810, kVSKLabelingClone, true),
      button(0xE2C0, kVSKLabelingLoad, false),
      record_.samples,
      QELCSpacer::widgetWithSize({10, 5}, {0, 0}),
      record_.objects,
      QELCSpacer::widgetWithSize({10, 5}, {0, 0}),
      caption,
      record_.labels,
  };
  for (const Ref<QELBWidget>& widget : row)
    if (!record_.controls->attach(widget)) return false;
  return true;
}

bool VSKFLabelingViewSettingsSyncSlider(QELBPanel& panel, const char* label, const char* slider, uint32_t value,
                                        float min, float max) {
  auto* shown = dynamic_cast<QELBLabel*>(panel.locate(label));
  auto* control = dynamic_cast<QELBSlider*>(panel.locate(slider));
  if (!shown || !control) return false;
  control->setValue((static_cast<float>(value) - min) / (max - min));
  VSKFVisionPanelShowValue(panel, label, value);
  return true;
}

bool VSKFLabelingViewSettingsSyncCBox(QELBPanel& panel, const char* alias, bool value) {
  auto* box = dynamic_cast<QELBCheckbox*>(panel.locate(alias));
  if (!box) return false;
  box->setValue(value);
  return true;
}

Ref<QELCBubble> VSKFLabelingViewMakeBubble(QELBView* view, const std::string& text) {
  Ref<QELCBubble> bubble = QELCBubble::widgetWithSize({0, 0}, {0, 0});
  Ref<QELCLabel> label = QELCLabel::widgetWithSize({0, 0}, {0, 0}, kCentreMiddle, text);
  bubble->setOrigin(kQELBubbleTailBottom);
  bubble->setOffset(0.5f);
  QELBWindow* window = view->window();
  label->resizeWithWindow(window);
  if (!bubble->attach(label)) return nullptr;
  bubble->resizeWithWindow(window);
  return bubble;
}

void VSKFLabelingViewPlaceBubble(QELBView* view, QELBWidget* anchor, QELBBubble* bubble) {
  const OGLTRect edges = anchor->bounds();
  const OGLTPoint top = {edges.left + (edges.right - edges.left) * 0.5f, edges.top};
  const OGLTPoint a = view->worldToSpace(anchor->localToWorld(top));
  const OGLTSize size = bubble->size();
  const OGLTPoint at = {a.x - size.w * 0.5f, a.y - size.h * 0.9f};
  bubble->setPosition(at);
  bubble->setOffset(0.5f);
  bubble->setActive(false);
  const OGLTRect space = view->space();
  const OGLTRect frame = bubble->frame();
  const bool overlaps =
      frame.left < space.right && frame.right > space.left && frame.top < space.bottom && frame.bottom > space.top;
  if (!overlaps || !(space.left > frame.left)) return;
  // Pushed right to stay within the view: the tail still points at the anchor.
  auto even = [](float v) {
    auto n = static_cast<int64_t>(std::lround(v));
    return static_cast<float>(n % 2 ? n + 1 : n);
  };
  const OGLTPoint moved = {even(space.left), even(at.y)};
  bubble->setPosition(moved);
  const OGLTPoint local = {a.x - moved.x, a.y - moved.y};
  bubble->setOffset(bubble->offsetForPoint(&local));
  bubble->setActive(true);
}

Ref<LLKCObjectList> VSKFLabelingMakeObjectsList() {
  Ref<LLKCObjectList> list = LLKCObjectList::listWithCapacity(kVSKObjectSlots);
  if (!list) return nullptr;
  for (uint32_t k = 1; k <= kVSKObjectSlots; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "object %u", k);
    if (list->append(LLKCString::stringWithString(name)) != 0) return nullptr;
  }
  return list;
}
