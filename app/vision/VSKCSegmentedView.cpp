#include "app/vision/VSKCSegmentedView.h"

#include <cstdio>

#include "app/vision/VSKFVisionView.h"
#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageFormat.h"

namespace {
constexpr OGLTSize kPanelSize = {320, 240};

struct Property {
  const char* key;
  const char* slider;
  uint32_t lower;
};
const Property& propertyOf(uint32_t tag) {
  static const Property spix = {"spix.size", "spix.size.slider", 8};
  static const Property poly = {"poly.size", "poly.size.slider", 24};
  return tag == kVSKSegmentedSpixSize ? spix : poly;
}
}  // namespace

VSKCSegmentedView::VSKCSegmentedView(OGLTSize size, OGLTPoint position, std::string feed, Ref<ZRVCObserver> observer,
                                     Ref<JSKCFrame> config)
    : VSKBFeedView(size, position, std::move(feed), std::move(observer), std::move(config)) {}

Ref<VSKCSegmentedView> VSKCSegmentedView::viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                       std::string feed, std::string processor, uint32_t fov,
                                                       Ref<JSKCFrame> config) {
  if (feed.empty()) return nullptr;
  Ref<ZRVCObserver> observer = VSKFVisionViewObserver(alias);
  Ref<VSKCSegmentedView> view =
      makeRef<VSKCSegmentedView>(size, position, std::move(feed), std::move(observer), std::move(config));
  private_t& record = view->record_;
  record.processor = std::move(processor);
  const auto side = static_cast<float>(fov);
  record.picture = QELCPicturebox::widgetWithSize({side, side}, {0, 0});
  record.panel = QELCPanel::widgetWithSize(kPanelSize, {0, 0});
  if (!VSKFSegmentedViewSettingsSetup(*record.panel)) return nullptr;
  record.context = MRKCContext::context();
  if (!view->attach(record.picture) || !view->attach(record.panel)) return nullptr;
  view->setAlias(std::move(alias));
  return view;
}

void VSKCSegmentedView::onAttachedIntoWindow() {
  ZRVBView::onAttachedIntoWindow();
  record_.panel->resizeWithWindow(window());
  follow(kVSKFeedSquib, kVSKFeedReply, {feed(), record_.processor});
  resizeWithWindow(window());
}

void VSKCSegmentedView::onToggleMenu() { VSKFVisionViewToggleMenu(this, true); }

bool VSKCSegmentedView::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (key.action == kOGLActionRelease && key.key == kOGLKeyEscape) {
    if (record_.panel->visible()) record_.panel->dismiss();
    return true;
  }
  return VSKBFeedView::onInputWithKeypad(key);
}

void VSKCSegmentedView::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  if (message->is(kVSKViewMenuUid, kVSKViewMenuSettings)) {
    toggleSettings();
    return;
  }
  if (VSKFVisionViewMenuMessaged(this, *message)) return;
  if (message->is(kVSKFeedSquib)) return onSquib(*message);
  if (message->is(kVSKFeedReply)) return onReply(*message);
  if (message->uid() != kVSKSettingsUid) return;
  switch (message->tag()) {
    case kVSKSettingsClose:
      record_.panel->dismiss();
      break;
    case kVSKSegmentedPolySize:
    case kVSKSegmentedSpixSize:
      onSlider(message->tag(), message->details().realForKey("value", 0.0));
      break;
    case kVSKSegmentedPokeDue:
      pokeSlider(message->ctx());
      break;
    case kVSKSegmentedPolyShow: {
      Ref<MRKCSymbol> value = MRKCSymbol::symbolWithValue(message->details().boolForKey("value") ? "yes" : "no");
      if (value) (void)VSKFSegmentedViewPoke("poly.show", {kVSKSegmentedPokeUid, kVSKSegmentedPolyShow}, value.get());
      if (record_.repeat) (void)VSKFSegmentedViewRequestRepeat();
      break;
    }
    default:
      break;
  }
}

void VSKCSegmentedView::toggleSettings() {
  if (record_.panel->visible()) {
    record_.panel->dismiss();
    return;
  }
  if (VSKFSegmentedViewPeek("spix.size", {kVSKSegmentedPeekUid, kVSKSegmentedSpixSize}) &&
      VSKFSegmentedViewPeek("poly.size", {kVSKSegmentedPeekUid, kVSKSegmentedPolySize}) &&
      VSKFSegmentedViewPeek("poly.show", {kVSKSegmentedPeekUid, kVSKSegmentedPolyShow}))
    record_.panel->request();
  else setStatus("the settings of " + record_.processor + " cannot be read");
}

void VSKCSegmentedView::onSlider(uint32_t tag, double value) {
  const Property& property = propertyOf(tag);
  slider_t& slider = tag == kVSKSegmentedSpixSize ? record_.spix : record_.poly;
  slider.pending = VSKFSegmentedViewSliderToProperty(value, property.lower);
  VSKFSegmentedViewSettingsShowValue(*record_.panel, property.key, slider.pending);
  const int64_t wait = slider.lastMs + kVSKSliderPokeMs - LLKFNowInMS();
  if (wait <= 0) return pokeSlider(tag);
  if (slider.scheduled) return;
  // Too soon after the last poke: the position it has then is poked when the time is up.
  slider.scheduled =
      poke(LLKCMessage::messageWithCode({kVSKSettingsUid, kVSKSegmentedPokeDue, tag}), static_cast<uint32_t>(wait));
}

void VSKCSegmentedView::pokeSlider(uint32_t tag) {
  const Property& property = propertyOf(tag);
  slider_t& slider = tag == kVSKSegmentedSpixSize ? record_.spix : record_.poly;
  slider.scheduled = false;
  // A value the segmenter has already is not poked again; the projector's image is asked for all
  // the same, as after any move.
  if (slider.pending != slider.sent) {
    Ref<MRKCNumber> value = MRKCNumber::numberWithUint(slider.pending);
    if (value) (void)VSKFSegmentedViewPoke(property.key, {kVSKSegmentedPokeUid, tag}, value.get());
    slider.sent = slider.pending;
  }
  slider.lastMs = LLKFNowInMS();
  if (record_.repeat) (void)VSKFSegmentedViewRequestRepeat();
}

void VSKCSegmentedView::onReply(const LLKCMessage& message) {
  Ref<MRKCReply> reply = message.payloadAs<MRKCReply>();
  MRKCContext* context = reply ? reply->context() : nullptr;
  if (!context || context->root() != record_.context.get() || context->uid() != kVSKSegmentedPeekUid) return;
  MRKCStatement* statement = reply->statement();
  MRKBTerm* head = statement && statement->terms() ? statement->terms()->head() : nullptr;
  MRKCFunc* func = head ? asFunc(head) : nullptr;
  if (!func) return;
  switch (context->tag()) {
    case kVSKSegmentedSpixSize:
      (void)VSKFSegmentedViewSettingsSyncSlider(*record_.panel, "spix.size", "spix.size.slider", func, 8, 128);
      break;
    case kVSKSegmentedPolySize:
      (void)VSKFSegmentedViewSettingsSyncSlider(*record_.panel, "poly.size", "poly.size.slider", func, 24, 128);
      break;
    case kVSKSegmentedPolyShow:
      (void)VSKFSegmentedViewSettingsSyncToggle(*record_.panel, "poly.show", func);
      break;
    default:
      break;
  }
}

void VSKCSegmentedView::onSquib(const LLKCMessage& message) {
  bool fromProjector = false;
  MRKCStatement* statement = VSKFVisionViewFirstStatement(message, &fromProjector);
  if (!statement || statement->label() != feed()) return;
  record_.repeat = fromProjector;
  QAVTImageStatement image;
  if (QAVFImageStatementRead(statement, &image) != kQAVImageValid || image.pixelFormat != IMKPixelFormatBGR) return;
  const double elapsed = MRKFFrameFetchReal(image.ancillary, "elapsed", 0.0);
  if (!VSKFVisionViewShow(record_.picture.get(), image.width, image.height, image.pixelFormat, *image.pixels)) return;
  char status[64];
  std::snprintf(status, sizeof status, "max p.time: %.4lfs", elapsed);
  setStatus(status);
}
