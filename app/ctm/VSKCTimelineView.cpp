#include "app/ctm/VSKCTimelineView.h"

#include <new>

#include "app/ctm/VSKCGistView.h"
#include "app/ctm/VSKFLetGoAside.h"
#include "app/ctm/VSKFTextDrawing.h"
#include "framework/app/ZRVFViewMenu.h"
#include "framework/substrate/MRKCSquib.h"
#include "ui/widgets/QELBWindow.h"

namespace {

constexpr uint32_t kViewFlags = kQELViewTitleBar | kQELViewStatusBar | kQELViewCloseButton | kQELViewDraggable |
                                kQELViewLongPress | kQELViewMenuButton | kQELViewResizable;
constexpr float kBarHeight = 30, kScrollbarSide = 16;
constexpr QELTGroupSetup kSetupCentered = {kQELGroupCentered, 0, 0, 1, 0};
constexpr QELTGroupSetup kSetupRow = {kQELGroupRow, 1, 2, 0, 0};
constexpr QELTSymbolSetup kSetupButton = {0.8f, false};
constexpr uint32_t kIconLive = 0xE034, kIconPaused = 0xE037;

struct Button {
  uint32_t icon;
  uint32_t tag;
};

constexpr Button kButtons[] = {
    {0xE16C, kVSKTimelineClear},   {0xE045, kVSKTimelineFirst}, {0xE020, kVSKTimelinePrevious},
    {kIconLive, kVSKTimelineLive}, {0xE01F, kVSKTimelineNext},  {0xE044, kVSKTimelineLast},
};

}  // namespace

VSKCTimelineView::VSKCTimelineView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config)
    : ZRVBView(size, position, "timeline", kViewFlags, std::move(config)) {}

Ref<VSKCTimelineView> VSKCTimelineView::viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                     std::string feed, Ref<JSKCFrame> config) {
  Ref<VSKCTimelineView> view = makeRef<VSKCTimelineView>(size, position, std::move(config));
  return view->build(std::move(alias), std::move(feed)) ? view : nullptr;
}

VSKCTimelineView::~VSKCTimelineView() { VSKFLetGoAside(std::move(ticks_)); }

bool VSKCTimelineView::build(std::string alias, std::string feed) {
  if (feed.empty()) return false;
  feed_ = std::move(feed);
  observer_ = ZRVCObserver::observerWithGuid({}, {}, alias, nullptr);
  observer_->setBacklog(kZRVObserverTickBacklog);
  bar_ = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupCentered);
  Ref<QELCGroup> row = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupRow);
  surface_ = VSKCTimelineSurface::surface();
  vertical_ = QELCScrollbar::widgetWithSize({0, 0}, {0, 0});
  horizontal_ = QELCScrollbar::widgetWithSize({0, 0}, {0, 0});

  for (const Button& spec : kButtons) {
    Ref<QELCSymbol> button = QELCSymbol::widgetWithSize({0, 0}, {0, 0}, &kSetupButton, spec.icon);
    button->setFontName("icons");
    button->setOnClick(LLKCMessage::messageWithCode({kVSKTimelineControl, spec.tag, 0}));
    if (!row->attach(button)) return false;
    if (spec.tag == kVSKTimelineLive) {
      button->setAlias("button.live");
      live_ = button;
    }
  }
  vertical_->setFlags(kQELControlPlain);
  horizontal_->setFlags(kQELControlPlain);
  vertical_->setOnChange(LLKCMessage::messageWithCode({kVSKTimelineControl, kVSKTimelineVerticalBar, 0}));
  horizontal_->setOnChange(LLKCMessage::messageWithCode({kVSKTimelineControl, kVSKTimelineHorizontalBar, 0}));
  vertical_->setVisible(false);
  horizontal_->setVisible(false);
  surface_->setHideKudos(config()->boolForLabel("hide.kudos", false));
  surface_->setHideLinks(config()->boolForLabel("hide.links", false));
  if (!bar_->attach(row) || !attach(bar_) || !attach(surface_) || !attach(vertical_) || !attach(horizontal_))
    return false;
  setAlias(std::move(alias));
  return true;
}

void VSKCTimelineView::onAttachedIntoWindow() {
  ZRVBView::onAttachedIntoWindow();
  bar_->resizeWithWindow(window());
  (void)observer_->follow(
      this, {.onSquib = LLKCMessage::messageWithCode({kVSKTimelineSquib, kVSKTimelineSquibArrived, 0})}, {feed_});
  onResized();
  setStatus("in-sync");
  // A chunk viewer already open may still be stopped by an earlier timeline that was paused.
  tellChunkViewer();
}

void VSKCTimelineView::onLeavingWindow() {
  ZRVFViewMenuLetGo(this);
  (void)config()->storeBool(surface_->hideKudos(), "hide.kudos");
  (void)config()->storeBool(surface_->hideLinks(), "hide.links");
  observer_->letGo();
  log_.flush();
}

void VSKCTimelineView::onResized() {
  const OGLTRect s = space();
  const float w = s.right - s.left, h = s.bottom - s.top;
  bar_->setSize({w, kBarHeight});
  surface_->setSize({w, h - kBarHeight});
  surface_->setPosition({0, kBarHeight});
  vertical_->setSize({kScrollbarSide, h - kBarHeight - kScrollbarSide});
  vertical_->setPosition({w - kScrollbarSide, kBarHeight});
  horizontal_->setSize({w - kScrollbarSide, kScrollbarSide});
  horizontal_->setPosition({0, h - kScrollbarSide});
  surface_->setChanged(true);
  bar_->recomputeLayout();
}

bool VSKCTimelineView::onInputWithScroll(const OGLTScrollEvent& scroll) {
  if (!hasCursorRecord()) return false;
  if (vertical_->visible()) {
    vertical_->setScroll(vertical_->scroll() + QELFScrollbarWheelStep(scroll.delta.y));
    (void)vertical_->trigger();
  }
  return true;
}

void VSKCTimelineView::onUpdateWithStep(float step) {
  ZRVBView::onUpdateWithStep(step);
  if (!surface_->changed()) return;
  surface_->updateContent();
  const OGLTRect s = space();
  const float w = s.right - s.left, h = s.bottom - s.top;
  const OGLTSize content = surface_->content(), shown = surface_->size();
  OGLTPoint offset = surface_->offset();
  const bool wide = content.w > shown.w, tall = content.h > shown.h;
  if (wide) {
    horizontal_->setHandle(shown.w / content.w);
    offset.x = content.w / 2 - shown.w / 2;
    horizontal_->setScroll(0.5f);
  }
  if (tall) {
    vertical_->setHandle(shown.h / content.h);
    offset.y = content.h / 2 - shown.h / 2;
    vertical_->setScroll(0.5f);
  }
  surface_->setOffset(offset);
  horizontal_->setVisible(wide);
  vertical_->setVisible(tall);
  if (wide && !tall) horizontal_->setSize({w, kScrollbarSide});
  if (tall && !wide) vertical_->setSize({kScrollbarSide, h - kBarHeight});
  if (wide == tall) {
    horizontal_->setSize({w - kScrollbarSide, kScrollbarSide});
    vertical_->setSize({kScrollbarSide, h - kBarHeight - kScrollbarSide});
  }
  surface_->setChanged(false);
}

void VSKCTimelineView::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  switch (message->uid()) {
    case kVSKTimelineSquib:
      onSquib(*message);
      break;
    case kVSKTimelineControl:
      onControl(*message);
      break;
    case kVSKTimelineMenu:
      onMenu(message->tag());
      break;
    default:
      break;
  }
}

void VSKCTimelineView::onSquib(const LLKCMessage& message) {
  Ref<MRKCSquib> squib = message.payloadAs<MRKCSquib>();
  MRKCStatement* statement = squib && squib->statements() ? asStatement(squib->statements()->head()) : nullptr;
  std::string problem;
  Ref<VSKCTimelineTick> tick = VSKCTimelineTick::tickWithStatement(statement, &problem);
  if (!tick) {
    const std::string kind = "statements on " + feed_ + " dropped: " + problem;
    log_.report(kind, "a statement on " + feed_ + " dropped: " + problem);
    return;
  }
  if (tick->dropped())
    log_.report("ticks with malformed chunks left out",
                std::to_string(tick->dropped()) + " malformed chunks left out of tick " + std::to_string(tick->tick()));
  ticks_.receive(tick);
  showShownTick();
  setStatus(ticks_.status());
}

void VSKCTimelineView::onControl(const LLKCMessage& message) {
  switch (message.tag()) {
    case kVSKTimelineClear:
      ticks_.clear();
      setStatus(ticks_.status());
      break;
    case kVSKTimelineLive:
      ticks_.toggleLive();
      live_->setIcon(ticks_.live() ? kIconLive : kIconPaused);
      setStatus(ticks_.status());
      tellChunkViewer();
      break;
    case kVSKTimelinePrevious:
      ticks_.previous();
      break;
    case kVSKTimelineNext:
      ticks_.next();
      break;
    case kVSKTimelineFirst:
      ticks_.first();
      break;
    case kVSKTimelineLast:
      ticks_.last();
      break;
    case kVSKTimelineVerticalBar:
    case kVSKTimelineHorizontalBar:
      scrollTo(message.tag(), message.details().realForKey("scroll", 0.0));
      break;
    default:
      break;
  }
  showShownTick();
}

void VSKCTimelineView::scrollTo(uint32_t tag, double scroll) {
  const OGLTSize content = surface_->content(), shown = surface_->size();
  OGLTPoint offset = surface_->offset();
  if (tag == kVSKTimelineVerticalBar) offset.y = static_cast<float>(content.h * scroll);
  else offset.x = static_cast<float>(content.w * scroll);
  offset = {VSKFRoundEven(offset.x), VSKFRoundEven(offset.y)};
  if (tag == kVSKTimelineVerticalBar) offset.y -= shown.h / 2;
  else offset.x -= shown.w / 2;
  surface_->setOffset(offset);
  surface_->redraw();
}

void VSKCTimelineView::showShownTick() {
  if (ticks_.changes() == shownChanges_) return;
  shownChanges_ = ticks_.changes();
  surface_->setTick(ticks_.shown());
}

void VSKCTimelineView::tellChunkViewer() {
  QELBWindow* owner = window();
  QELBWidget* viewer = owner ? owner->locate("ui.gist") : nullptr;
  Ref<LLKCMessage> message = LLKCMessage::messageWithCode({0, ticks_.live() ? kVSKGistLive : kVSKGistPaused, 0});
  if (viewer && message) (void)viewer->poke(message);
}

void VSKCTimelineView::onMenu(uint32_t tag) {
  switch (tag) {
    case kVSKTimelineClose:
      close();
      break;
    case kVSKTimelineUnroll:
      unroll();
      break;
    case kVSKTimelineRollup:
      rollup();
      break;
    case kVSKTimelineShowKudos:
      surface_->setHideKudos(false);
      break;
    case kVSKTimelineHideKudos:
      surface_->setHideKudos(true);
      break;
    case kVSKTimelineShowLinks:
      surface_->setHideLinks(false);
      break;
    case kVSKTimelineHideLinks:
      surface_->setHideLinks(true);
      break;
    default:
      break;
  }
}

void VSKCTimelineView::onToggleMenu() {
  Ref<QELCMenuList> list = ZRVFViewMenuList(this);
  if (!list) return;
  auto item = [&](const char* label, uint32_t tag) {
    ZRVFViewMenuAddItem(this, list.get(), label, LLKCMessage::messageWithCode({kVSKTimelineMenu, tag, 0}));
  };
  const bool linksHidden = surface_->hideLinks(), kudosHidden = surface_->hideKudos();
  item(linksHidden ? "Show Direct chunks" : "Hide Direct chunks",
       linksHidden ? kVSKTimelineShowLinks : kVSKTimelineHideLinks);
  item(kudosHidden ? "Show Kudos" : "Hide Kudos", kudosHidden ? kVSKTimelineShowKudos : kVSKTimelineHideKudos);
  ZRVFViewMenuAddSeparator(list.get());
  item(isRolledup() ? "Unroll" : "Roll-up", isRolledup() ? kVSKTimelineUnroll : kVSKTimelineRollup);
  ZRVFViewMenuAddSeparator(list.get());
  item("Close", kVSKTimelineClose);
  ZRVFViewMenuOpen(this, list, "timeline");
}
