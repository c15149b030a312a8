// The segmented feed's settings panel and its peeks and pokes of the segmenter's properties.
#include <cmath>
#include <cstdio>

#include "app/vision/VSKCSegmentedView.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKCVariable.h"
#include "framework/substrate/MRKFTerms.h"
#include "ui/widgets/QELBGroup.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBSlider.h"
#include "ui/widgets/QELBSpacer.h"
#include "ui/widgets/QELBSymbol.h"
#include "ui/widgets/QELBToggle.h"

namespace {
const QELTGroupSetup kSetupSurface = {kQELGroupColumn, 1.0f, 1.0f, 0.0f, kQELGroupUniformCross};
const QELTGroupSetup kSetupHeader = {kQELGroupRow, 1.0f, 0.0f, 0.0f, kQELGroupSpacers};
const QELTGroupSetup kSetupContent = {kQELGroupColumn, 1.0f, 2.0f, 1.0f, kQELGroupUniformCross | kQELGroupNoBackground};
const QELTGroupSetup kSetupSlider = {kQELGroupRow, 0.0f, 0.0f, 0.0f, kQELGroupUniformCross};
const QELTSymbolSetup kSetupSymbol = {0.6f, false};
constexpr uint32_t kIconClose = 0xE800;
constexpr uint32_t kLeftMiddle = 0x11;
constexpr uint32_t kUpper = 128;

Ref<LLKCMessage> settingsMessage(uint32_t tag) { return LLKCMessage::messageWithCode({0xD000, tag, 0}); }

std::string printed(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", value);
  return text;
}

// A row: caption, value label (aliased), slider (aliased) sending the tag.
Ref<QELCGroup> sliderRow(float opacity, const char* caption, const char* value, const char* alias, uint32_t tag) {
  Ref<QELCGroup> row = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupSlider);
  Ref<QELCLabel> name = QELCLabel::widgetWithSize({0, 0}, {0, 0}, kLeftMiddle, caption);
  Ref<QELCLabel> shown = QELCLabel::widgetWithSize({0, 0}, {0, 0}, kLeftMiddle, value);
  Ref<QELCSlider> slider = QELCSlider::widgetWithSize({100, 20}, {0, 0}, 0.0f);
  if (!row || !name || !shown || !slider) return nullptr;
  row->setOpacity(opacity);
  shown->setOpacity(opacity);
  shown->setAlias(std::string(alias));
  slider->setOpacity(opacity);
  slider->setAlias(std::string(alias) + ".slider");
  slider->setOnChange(settingsMessage(tag));
  if (!row->attach(name) || !row->attach(shown) || !row->attach(slider)) return nullptr;
  return row;
}

Ref<QELCGroup> header(float opacity) {
  Ref<QELCGroup> group = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupHeader);
  Ref<QELCLabel> title = QELCLabel::widgetWithSize({0, 0}, {0, 0}, kLeftMiddle, "Settings");
  Ref<QELCSpacer> spacer = QELCSpacer::widgetWithSize({0, 0}, {0, 0});
  Ref<QELCSymbol> close = QELCSymbol::widgetWithSize({0, 0}, {0, 0}, &kSetupSymbol, kIconClose);
  if (!group || !title || !spacer || !close) return nullptr;
  group->setOpacity(opacity);
  title->setOpacity(opacity);
  close->setOnClick(settingsMessage(1));
  if (!group->attach(title) || !group->attach(spacer) || !group->attach(close)) return nullptr;
  return group;
}

bool inquire(VSKCSegmentedView::private_t* record, const std::string& processor, const char* verb, const char* key,
             uint64_t code, MRKBTerm* value) {
  Ref<MRKCSymbol> name = MRKCSymbol::symbolWithValue(key);
  Ref<MRKCList> terms = name && value ? MRKCList::listWithTerms({name.get(), value}) : nullptr;
  Ref<MRKCFunc> func = terms && terms->count() == 2 ? MRKCFunc::funcWithLabel(verb, terms.get()) : nullptr;
  Ref<MRKCList> request = func ? MRKCList::listWithTerms({func.get()}) : nullptr;
  Ref<MRKCContext> context = MRKCContext::contextWithCode(code, record->context.get());
  Ref<MRKCPredicate> predicate = request ? MRKCPredicate::predicateWithLabel(processor, request.get()) : nullptr;
  Ref<MRKCQuery> query = predicate ? MRKCQuery::queryWithPredicate(predicate.get(), context.get(), record->observer->ttl()) : nullptr;
  MRKCSubstrate* substrate = MRKCSubstrate::shared();
  return query && substrate && substrate->inquire(query.get(), record->observer->guid());
}
}  // namespace

bool VSKFSegmentedViewSettingsSetup(VSKCSegmentedView::private_t* record) {
  QELBPanel& panel = *record->panel;
  panel.setOpacity(0.9f);
  panel.setOrigin(kQELPanelFromTop);
  panel.setSliding(0.25f);
  const float opacity = panel.opacity();
  Ref<QELCGroup> surface = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupSurface);
  Ref<QELCGroup> content = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupContent);
  Ref<QELCGroup> top = header(opacity);
  Ref<QELCGroup> spix = sliderRow(opacity, "Superpixel size:", "16", "spix.size", 3);
  Ref<QELCGroup> poly = sliderRow(opacity, "Polygon size:", "24", "poly.size", 2);
  Ref<QELCToggle> show = QELCToggle::widgetWithSize({0, 0}, {10, 100}, "Show polygons", "Hide polygons");
  if (!surface || !content || !top || !spix || !poly || !show) return false;
  surface->setOpacity(opacity);
  content->setOpacity(opacity);
  show->setOpacity(opacity);
  show->setAlias("poly.show");
  show->setOnClick(settingsMessage(4));
  show->resizeToPreferred();
  return content->attach(spix) && content->attach(poly) && content->attach(show) && surface->attach(top) &&
         surface->attach(content) && panel.attach(surface);
}

bool VSKFSegmentedViewSettingsSyncSlider(VSKCSegmentedView::private_t* record, const char* label, const char* slider,
                                         MRKCFunc* func, uint32_t lower, uint32_t upper) {
  MRKCNumber* number = func && func->terms() && func->terms()->count() > 0 ? asNumber(func->terms()->fetchAtIndex(func->terms()->count() - 1)) : nullptr;
  auto* control = dynamic_cast<QELBSlider*>(record->panel->locate(slider));
  if (!number || !control || !dynamic_cast<QELBLabel*>(record->panel->locate(label))) return false;
  const auto value = static_cast<uint32_t>(number->uint());
  control->setValue((static_cast<float>(value) - static_cast<float>(lower)) / static_cast<float>(upper - lower));
  VSKFSegmentedViewSettingsShowValue(record, label, value);
  return true;
}

bool VSKFSegmentedViewSettingsSyncToggle(VSKCSegmentedView::private_t* record, const char* toggle, MRKCFunc* func) {
  MRKBTerm* last = func && func->terms() && func->terms()->count() > 0 ? func->terms()->fetchAtIndex(func->terms()->count() - 1) : nullptr;
  auto* control = dynamic_cast<QELBToggle*>(record->panel->locate(toggle));
  bool value = false;
  if (!last || !control || MRKFAtomToBoolean(last, &value) != 0) return false;
  control->setValue(value);
  return true;
}

uint32_t VSKFSegmentedViewSliderToProperty(double value, uint32_t lower) {
  double property = value * (kUpper - lower) + lower;
  if (!(property >= lower)) property = lower;  // also NaN
  if (property > kUpper) property = kUpper;
  return static_cast<uint32_t>(std::round(property));
}

bool VSKFSegmentedViewPeek(VSKCSegmentedView::private_t* record, const std::string& processor, const char* key, uint64_t code) {
  Ref<MRKCVariable> any = MRKCVariable::variableAsWildcard();
  return inquire(record, processor, "peek", key, code, any.get());
}

bool VSKFSegmentedViewPoke(VSKCSegmentedView::private_t* record, const std::string& processor, const char* key, uint64_t code,
                           MRKBTerm* value) {
  return inquire(record, processor, "poke", key, code, value);
}

void VSKFSegmentedViewSettingsShowValue(VSKCSegmentedView::private_t* record, const char* label, uint32_t value) {
  if (auto* shown = dynamic_cast<QELBLabel*>(record->panel->locate(label))) shown->setText(printed(value));
}
