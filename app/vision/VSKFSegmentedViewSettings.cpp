// The segmented feed's settings panel and its peeks and pokes of the segmenter's properties.
#include <cmath>
#include <cstdio>

#include "app/vision/VSKCSegmentedView.h"
#include "app/vision/VSKFVisionPanel.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKCVariable.h"
#include "framework/substrate/MRKFTerms.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBSlider.h"
#include "ui/widgets/QELBToggle.h"

namespace {
constexpr uint32_t kUpper = 128;

bool inquire(VSKCSegmentedView::private_t* record, const std::string& processor, const char* verb, const char* key,
             uint64_t code, MRKBTerm* value) {
  Ref<MRKCSymbol> name = MRKCSymbol::symbolWithValue(key);
  Ref<MRKCList> terms = name && value ? MRKCList::listWithTerms({name.get(), value}) : nullptr;
  Ref<MRKCFunc> func = terms && terms->count() == 2 ? MRKCFunc::funcWithLabel(verb, terms.get()) : nullptr;
  Ref<MRKCList> request = func ? MRKCList::listWithTerms({func.get()}) : nullptr;
  Ref<MRKCContext> context = MRKCContext::contextWithCode(code, record->context.get());
  Ref<MRKCPredicate> predicate = request ? MRKCPredicate::predicateWithLabel(processor, request.get()) : nullptr;
  Ref<MRKCQuery> query =
      predicate ? MRKCQuery::queryWithPredicate(predicate.get(), context.get(), record->observer->ttl()) : nullptr;
  MRKCSubstrate* substrate = MRKCSubstrate::shared();
  return query && substrate && substrate->inquire(query.get(), record->observer->guid());
}
}  // namespace

bool VSKFSegmentedViewSettingsSetup(VSKCSegmentedView::private_t* record) {
  return VSKFVisionPanelSetup(*record->panel, [](QELBParent& content, float opacity) {
    Ref<QELCGroup> spix = VSKFVisionPanelSliderRow(opacity, "Superpixel size:", "16", "spix.size", "spix.size.slider", 3);
    Ref<QELCGroup> poly = VSKFVisionPanelSliderRow(opacity, "Polygon size:", "24", "poly.size", "poly.size.slider", 2);
    Ref<QELCToggle> show = QELCToggle::widgetWithSize({0, 0}, {10, 100}, "Show polygons", "Hide polygons");
    if (!spix || !poly || !show) return false;
    show->setOpacity(opacity);
    show->setAlias("poly.show");
    show->setOnClick(LLKCMessage::messageWithCode({kVSKSettingsUid, 4, 0}));
    show->resizeToPreferred();
    return content.attach(spix) && content.attach(poly) && content.attach(show);
  });
}

bool VSKFSegmentedViewSettingsSyncSlider(VSKCSegmentedView::private_t* record, const char* label, const char* slider,
                                         MRKCFunc* func, uint32_t lower, uint32_t upper) {
  MRKCNumber* number = func && func->terms() && func->terms()->count() > 0
                           ? asNumber(func->terms()->fetchAtIndex(func->terms()->count() - 1))
                           : nullptr;
  auto* control = dynamic_cast<QELBSlider*>(record->panel->locate(slider));
  if (!number || !control || !dynamic_cast<QELBLabel*>(record->panel->locate(label))) return false;
  const auto value = static_cast<uint32_t>(number->uint());
  control->setValue((static_cast<float>(value) - static_cast<float>(lower)) / static_cast<float>(upper - lower));
  VSKFSegmentedViewSettingsShowValue(record, label, value);
  return true;
}

bool VSKFSegmentedViewSettingsSyncToggle(VSKCSegmentedView::private_t* record, const char* toggle, MRKCFunc* func) {
  MRKBTerm* last = func && func->terms() && func->terms()->count() > 0
                       ? func->terms()->fetchAtIndex(func->terms()->count() - 1)
                       : nullptr;
  auto* control = dynamic_cast<QELBToggle*>(record->panel->locate(toggle));
  bool value = false;
  if (!last || !control || MRKFAtomToBoolean(last, &value) != 0) return false;
  control->setValue(value);
  return true;
}

uint32_t VSKFSegmentedViewSliderToProperty(double value, uint32_t lower) {
  return VSKFVisionPanelSliderValue(value, lower, kUpper);
}

bool VSKFSegmentedViewPeek(VSKCSegmentedView::private_t* record, const std::string& processor, const char* key,
                           uint64_t code) {
  Ref<MRKCVariable> any = MRKCVariable::variableAsWildcard();
  return inquire(record, processor, "peek", key, code, any.get());
}

bool VSKFSegmentedViewPoke(VSKCSegmentedView::private_t* record, const std::string& processor, const char* key,
                           uint64_t code, MRKBTerm* value) {
  return inquire(record, processor, "poke", key, code, value);
}

void VSKFSegmentedViewSettingsShowValue(VSKCSegmentedView::private_t* record, const char* label, uint32_t value) {
  VSKFVisionPanelShowValue(*record->panel, label, value);
}
