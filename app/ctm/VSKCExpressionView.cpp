#include "app/ctm/VSKCExpressionView.h"

#include <cinttypes>
#include <cstdio>
#include <new>

#include "framework/core/LLKCAttributedString.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCString.h"
#include "ui/widgets/QELBSymbol.h"

namespace {

constexpr VSKTTermViewerSetup kSetup = {30, 0.4f, 1.0f, 1.0f, "expression"};
constexpr QELTGroupSetup kSetupCentered = {kQELGroupCentered, 0, 0, 1, 0};
constexpr QELTGroupSetup kSetupControls = {kQELGroupRow, 1, 2, 0, kQELGroupUniformCross};
constexpr QELTSymbolSetup kSetupSymbol = {0.8f, false};
constexpr uint32_t kSampleCapacity = 64;
constexpr size_t kCaptionLimit = 51;

struct Button {
  uint32_t icon;
  uint32_t tag;
};
constexpr Button kButtons[] = {{0xE16C, kVSKExpressionClear}, {0xE8E6, kVSKExpressionLog}};

Ref<LLKCMessage> control(uint32_t tag) {
  return LLKCMessage::messageWithCode(LLKTMessageCode{kVSKViewerControl, tag, 0});
}

}  // namespace

VSKCExpressionView::VSKCExpressionView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config)
    : VSKBTermViewer(size, position, "expressionviewer", std::move(config), kSetup) {}

Ref<VSKCExpressionView> VSKCExpressionView::viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                         std::vector<std::string> feed, Ref<JSKCFrame> config) {
  if (feed.empty()) return nullptr;
  Ref<VSKCExpressionView> view = makeRef<VSKCExpressionView>(size, position, std::move(config));
  if (!view->buildControls()) return nullptr;
  return view->build(std::move(alias), std::move(feed), VSKCExpressionSurface::surface(), view->bar_) ? view : nullptr;
}

bool VSKCExpressionView::buildControls() {
  bar_ = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupCentered);
  Ref<QELCGroup> row = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupControls);
  values_ = LLKCObjectList::list();
  samples_ = QELCDropbox::widgetWithSize({0, 0}, {0, 0}, values_, kSampleCapacity);
  // A control the row refuses stays without its alias and messages.
  if (row->attach(samples_)) {
    samples_->setAlias("dbox.samples");
    samples_->setOnChange(control(kVSKExpressionSample));
    samples_->setEnabled(false);
  }
  for (const Button& spec : kButtons) {
    Ref<QELCSymbol> button = QELCSymbol::widgetWithSize({0, 0}, {0, 0}, &kSetupSymbol, spec.icon);
    if (!row->attach(button)) continue;
    button->setFontName("icons");
    button->setOnClick(control(spec.tag));
  }
  return bar_->attach(row);
}

void VSKCExpressionView::onAttachedIntoWindow() {
  bar_->resizeWithWindow(window());
  VSKBTermViewer::onAttachedIntoWindow();
}

void VSKCExpressionView::onResized() {
  VSKBTermViewer::onResized();
  const OGLTRect s = space();
  bar_->setSize({s.right - s.left, setup().topBar});
  bar_->setPosition({0, 0});
  bar_->recomputeLayout();
}

std::string VSKCExpressionView::sampleText(const std::string& caption, const MRKBTerm* term) {
  Ref<LLKCString> cut = LLKCString::stringWithString(caption);
  cut = cut ? cut->ellipsizedAt(kCaptionLimit) : nullptr;
  char hash[16];
  std::snprintf(hash, sizeof hash, "%" PRIx32, static_cast<uint32_t>(term ? term->hashCode() : 0));
  return (cut ? cut->string() : std::string()) + " - " + hash;
}

bool VSKCExpressionView::listSample(const std::string& caption, MRKBTerm* term) {
  if (!seen_.insert(term)) return false;
  Ref<MRKCString> captionTerm = MRKCString::stringWithValue(caption);
  Ref<MRKCList> attribute = captionTerm ? MRKCList::listWithTerms({captionTerm.get(), term}) : nullptr;
  Ref<LLKCAttributedString> sample =
      attribute ? LLKCAttributedString::stringWithString(sampleText(caption, term), attribute) : nullptr;
  if (!sample || values_->append(sample) != 0) LLKFLog("expression : out of memory");
  while (values_->count() > kVSKExpressionSamples) (void)values_->removeHead();
  samples_->redraw();
  return true;
}

void VSKCExpressionView::onSquib(const LLKCMessage& message) {
  Ref<MRKCSquib> squib = message.payloadAs<MRKCSquib>();
  MRKCStatement* statement = squib && squib->statements() ? asStatement(squib->statements()->head()) : nullptr;
  MRKCList* terms = statement ? statement->terms() : nullptr;
  if (!terms || terms->count() != 4) return;
  MRKCString* caption = asString(terms->fetchAtIndex(1));
  MRKBTerm* expr = terms->fetchAtIndex(2);
  if (!caption || !expr) return;
  const bool shownBefore = surface()->expr() != nullptr;
  if (MRKCList* list = asList(expr)) {
    for (const Ref<MRKBTerm>& member : list->terms()) (void)listSample(caption->value(), member.get());
    show(caption->value(), Ref<MRKBTerm>(list->count() ? list->tail() : list));
  } else {
    if (!listSample(caption->value(), expr)) return;
    show(asString(expr) ? caption->value() : std::string(), Ref<MRKBTerm>(expr));
  }
  const uint32_t count = static_cast<uint32_t>(values_->count());
  if (count == 0) return;
  if (!shownBefore) {
    samples_->setSelected(0);
    samples_->setEnabled(true);
  } else {
    samples_->setSelected(count - 1);
  }
}

void VSKCExpressionView::onControl(const LLKCMessage& message) {
  switch (message.tag()) {
    case kVSKExpressionClear:
      clear();
      break;
    case kVSKExpressionSample:
      choose(message);
      break;
    case kVSKExpressionLog:
      if (MRKBTerm* shown = surface()->expr()) LLKFLog("%s", shown->text().c_str());
      break;
    default:
      break;
  }
}

void VSKCExpressionView::choose(const LLKCMessage& message) {
  Ref<LLKCAttributedString> value = message.details().objectForKeyAs<LLKCAttributedString>("value");
  MRKCList* sample = value ? dynamic_cast<MRKCList*>(value->attribute().get()) : nullptr;
  if (!sample || sample->count() != 2) {
    show(std::string(), nullptr);
    return;
  }
  MRKCString* caption = asString(sample->fetchAtIndex(0));
  show(caption ? caption->value() : std::string(), Ref<MRKBTerm>(sample->fetchAtIndex(1)));
}

void VSKCExpressionView::clear() {
  samples_->setSelected(kQELChoiceNone);
  samples_->setEnabled(false);
  seen_.clear();
  values_->clear();
  samples_->redraw();
  show(std::string(), nullptr);
}
