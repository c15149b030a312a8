#include "app/ctm/VSKCConversationView.h"

#include <algorithm>

#include "framework/app/ZRVFViewMenu.h"
#include "ui/widgets/QELBControl.h"
#include "ui/widgets/QELBSeparator.h"
#include "ui/widgets/QELBSpacer.h"
#include "ui/widgets/QELBSymbol.h"
#include "ui/widgets/QELBWindow.h"

namespace {

constexpr uint32_t kViewFlags = kQELViewTitleBar | kQELViewCloseButton | kQELViewDraggable | kQELViewLongPress |
                                kQELViewMenuButton | kQELViewResizable;
constexpr OGLTSize kMinimumContent = {640, 575};
constexpr float kContentMinWidth = 640;
constexpr float kBarWidth = 10;
constexpr float kTextboxHeight = 60;
constexpr float kControlsHeight = 95;
constexpr uint32_t kInputCapacity = 255;

const QELTGroupSetup kSetupControls = {kQELGroupColumn, 1, 1, 1, kQELGroupUniformCross};
// The row is laid out by the controls column it sits in; fitting it to the column as well would
// move it twice every beat and draw the view again each time.
const QELTGroupSetup kSetupSymbols = {kQELGroupRow, 0, 0, 0, kQELGroupSpacers};
constexpr QELTSymbolSetup kSetupSymbolWithLabel = {0.5f, false};
constexpr QELTSymbolSetup kSetupSymbolIcon = {0.6f, false};

// One axis of the frame update of a dirty feed: the bar shows only when the content is longer
// than the canvas. The viewport stays where the user left it, except that a vertical bar
// standing at the end keeps the end of the feed in view as bubbles are appended. The bar then
// tells where the viewport is (its centre, or 1 at the end).
float followAxis(QELBScrollbar& bar, float canvas, float content, float offset, bool followEnd) {
  if (content <= canvas) {
    bar.setVisible(false);
    bar.setScroll(followEnd ? 1.0f : 0.0f);
    return offset;
  }
  bar.setHandle(canvas / content);
  bar.setVisible(true);
  return followEnd && bar.scroll() >= 1.0f ? content : offset;
}

void showBarAt(QELBScrollbar& bar, float canvas, float content, float offset, bool followEnd) {
  if (!bar.visible() || content <= 0) return;
  bool atEnd = offset + canvas >= content;
  bar.setScroll(followEnd && atEnd ? 1.0f : (offset + canvas * 0.5f) / content);
}

}  // namespace

Ref<VSKCConversationView> VSKCConversationView::viewWithSize(OGLTSize size, OGLTPoint position,
                                                             const std::string& alias, Ref<JSKCFrame> config) {
  Ref<VSKCConversationView> view = makeRef<VSKCConversationView>(size, position, std::move(config));
  return view->build(alias) ? view : nullptr;
}

VSKCConversationView::VSKCConversationView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config)
    : ZRVBView(size, position, "Conversation", kViewFlags, std::move(config)) {}

VSKCConversationView::~VSKCConversationView() = default;

bool VSKCConversationView::build(const std::string& alias) {
  VSKTConversationRecord& r = record_;
  r.observer = ZRVCObserver::observerWithGuid("", "", alias, nullptr);
  // Every message of a flood the feed could still hold waits its turn; older ones would only
  // leave the feed at once.
  r.observer->setBacklog(kVSKFeedCapacity);
  r.context = MRKCContext::context();
  r.reader = MRKCReader::reader();
  r.controls = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupControls);
  r.canvas = QELCCanvas::widgetWithSize({0, 0}, {0, 0});
  r.vbar = QELCScrollbar::widgetWithSize({0, 0}, {0, 0});
  r.hbar = QELCScrollbar::widgetWithSize({0, 0}, {0, 0});
  r.textbox = QELCTextbox::widgetWithSize({0, kTextboxHeight}, {0, 0}, "", kInputCapacity);
  Ref<QELCSeparator> separator = QELCSeparator::widgetWithSize({10, 2}, {0, 0});
  r.textbox->setFlags(kQELTextboxFrameless);
  r.textbox->setLabel("Type a new message (text)");
  r.textbox->setOnCommit(LLKCMessage::messageWithCode({kVSKConversationControl, kVSKConversationCommit, 0}));
  (void)r.controls->attach(Ref<QELBWidget>(r.textbox));
  (void)r.controls->attach(Ref<QELBWidget>(separator));
  if (!buildSymbols()) return false;
  r.canvas->setContent({0, kVSKFeedTop});
  for (auto [bar, tag] :
       {std::pair{r.vbar.get(), kVSKConversationVerticalBar}, std::pair{r.hbar.get(), kVSKConversationHorizontalBar}}) {
    bar->setFlags(kQELControlPlain);
    bar->setOnChange(LLKCMessage::messageWithCode({kVSKConversationControl, tag, 0}));
    bar->setVisible(false);
  }
  r.vbar->setScroll(1.0f);
  for (QELBWidget* part : {static_cast<QELBWidget*>(r.controls.get()), static_cast<QELBWidget*>(r.canvas.get()),
                           static_cast<QELBWidget*>(r.vbar.get()), static_cast<QELBWidget*>(r.hbar.get())})
    if (!attach(Ref<QELBWidget>(part))) return false;
  setAlias(alias);
  return true;
}

bool VSKCConversationView::buildSymbols() {
  Ref<QELCGroup> row = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupSymbols);
  Ref<QELCSymbol> term = QELCSymbol::widgetWithSize({0, 0}, {0, 0}, &kSetupSymbolWithLabel, std::string("?-"));
  Ref<QELCSymbol> text = QELCSymbol::widgetWithSize({0, 0}, {0, 0}, &kSetupSymbolWithLabel, std::string(">-"));
  Ref<QELCSymbol> distract = QELCSymbol::widgetWithSize({0, 0}, {0, 0}, &kSetupSymbolIcon, kIconDistract);
  Ref<QELCSymbol> pause = QELCSymbol::widgetWithSize({0, 0}, {0, 0}, &kSetupSymbolIcon, kIconPause);
  Ref<QELCSpacer> spacer = QELCSpacer::widgetWithSize({0, 0}, {0, 0});
  Ref<QELCTicker> ticker = QELCTicker::widgetWithAlignment(kOGLAlignLeft | kOGLAlignMiddle, kThinkingStrings);
  term->setAlias("inp.term");
  text->setAlias("inp.text");
  text->setUnderlined(true);
  struct Entry {
    QELCSymbol* symbol;
    uint32_t ctx;
  };
  for (Entry e : {Entry{term.get(), kVSKInputTerm}, Entry{text.get(), kVSKInputText},
                  Entry{distract.get(), kVSKConversationDistract}, Entry{pause.get(), kVSKConversationPause}}) {
    if (e.ctx == kVSKConversationDistract || e.ctx == kVSKConversationPause) e.symbol->setFontName("icons");
    setSymbolMessages(*e.symbol, e.ctx);
    (void)row->attach(Ref<QELBWidget>(e.symbol));
  }
  ticker->setFlags(kQELControlAccent);
  ticker->setVisible(false);
  (void)row->attach(Ref<QELBWidget>(spacer));
  (void)row->attach(Ref<QELBWidget>(ticker));
  (void)record_.controls->attach(Ref<QELBWidget>(row));
  record_.symbols = row.get();
  record_.ticker = ticker.get();
  return true;
}

void VSKCConversationView::onAttachedIntoWindow() {
  ZRVBView::onAttachedIntoWindow();
  QELBWindow* w = window();
  for (const Ref<QELBWidget>& child : record_.symbols->childs()) child->resizeToPreferredWithWindow(w);
  record_.symbols->resizeWithWindow(w);
  record_.controls->resizeWithWindow(w);
  (void)record_.observer->follow(
      this,
      {.onSquib = LLKCMessage::messageWithCode({kVSKConversationObserver, kVSKConversationSquib, 0}),
       .onQuery = LLKCMessage::messageWithCode({kVSKConversationObserver, kVSKConversationQuery, 0})},
      {kVSKUxLabel});
  setMinSize(sizeToFit(kMinimumContent, w));
  onResized();
}

void VSKCConversationView::onLeavingWindow() {
  ZRVFViewMenuLetGo(this);
  record_.observer->letGo();
  dropHint();
}

void VSKCConversationView::onResized() {
  // While the view rolls up, rests rolled up and unrolls, the feed keeps its layout and its
  // scroll (the view clips it): unrolled, it is back as the user left it.
  if (rollState() != kQELRollOpen && rollState() != kQELRollCloseRequested) return;
  VSKTConversationRecord& r = record_;
  OGLTRect s = space();
  float w = s.right - s.left, h = s.bottom - s.top;
  r.textbox->setSize({w, kTextboxHeight});
  r.controls->setSize({w, kControlsHeight});
  float canvasHeight = std::max(0.0f, h - kControlsHeight);
  r.feedArea = {w, canvasHeight};
  r.canvas->setFrame({0, 0, w, canvasHeight});
  r.controls->setPosition({0, canvasHeight});
  r.controls->recomputeLayout();
  r.symbols->recomputeLayout();
  r.canvas->setContent({std::max(w, kContentMinWidth), r.canvas->content().h});
  r.dirty = true;
}

void VSKCConversationView::onUpdateWithStep(float step) {
  VSKTConversationRecord& r = record_;
  if (r.dirty) {
    const OGLTSize content = r.canvas->content();
    const OGLTSize canvas = fitFeed(content);
    OGLTPoint offset = r.canvas->offset();
    offset.x = followAxis(*r.hbar, canvas.w, content.w, offset.x, false);
    offset.y = followAxis(*r.vbar, canvas.h, content.h, offset.y, true);
    r.canvas->setOffset(offset);
    offset = r.canvas->offset();
    showBarAt(*r.hbar, canvas.w, content.w, offset.x, false);
    showBarAt(*r.vbar, canvas.h, content.h, offset.y, true);
    VSKFConversationFeedSyncUp();
    r.dirty = false;
  }
  ZRVBView::onUpdateWithStep(step);
}

OGLTSize VSKCConversationView::fitFeed(OGLTSize content) {
  VSKTConversationRecord& r = record_;
  const OGLTSize area = r.feedArea;
  // A bar takes its room from the canvas rather than lying over it, so that the canvas's clip
  // keeps every bubble off the bars and its end (the newest message) shows above them.
  bool vertical = content.h > area.h;
  const bool horizontal = content.w > area.w - (vertical ? kBarWidth : 0);
  if (horizontal && !vertical) vertical = content.h > area.h - kBarWidth;
  const OGLTSize canvas{std::max(0.0f, area.w - (vertical ? kBarWidth : 0)),
                        std::max(0.0f, area.h - (horizontal ? kBarWidth : 0))};
  r.canvas->setFrame({0, 0, canvas.w, canvas.h});
  r.vbar->setFrame({area.w - kBarWidth, 0, area.w, canvas.h});
  r.hbar->setFrame({0, area.h - kBarWidth, canvas.w, area.h});
  return canvas;
}

void VSKCConversationView::moveBar(float scroll) {
  record_.vbar->setScroll(scroll);
  (void)record_.vbar->trigger();
}

void VSKCConversationView::keyboardToInput() {
  QELBWindow* w = window();
  if (!w || w->sink() == record_.textbox.get()) return;
  w->setSink(Ref<QELBWidget>(record_.textbox));
}

bool VSKCConversationView::onInputWithCursor(const OGLTCursorEvent& cursor) {
  const bool taken = ZRVBView::onInputWithCursor(cursor);
  // The bubbles' text is read-only: a click on it selects and copies, but takes no keyboard.
  // Without this the keyboard went nowhere after such a click, and typing was lost.
  if (taken && QELFControlIsClick(cursor) && showing() && rollState() == kQELRollOpen) {
    const OGLTPoint p = record_.canvas->worldToLocal(cursor.point);
    QELBWindow* w = window();
    if (w && !w->sink() && QELFRectContains(record_.canvas->bounds(), p)) keyboardToInput();
  }
  return taken;
}

bool VSKCConversationView::onInputWithSymbol(const OGLTCharacterEvent& symbol) {
  // Characters reach the view only while nothing holds the keyboard (the sink gets them first).
  keyboardToInput();
  return record_.textbox->onInputWithSymbol(symbol);
}

bool VSKCConversationView::onInputWithScroll(const OGLTScrollEvent& scroll) {
  if (!hasCursorRecord()) return false;
  if (record_.vbar->visible()) moveBar(record_.vbar->scroll() + QELFScrollbarWheelStep(scroll.delta.y));
  return true;
}

bool VSKCConversationView::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (!hasCursorRecord()) return false;
  if (ZRVBView::onInputWithKeypad(key)) return true;
  if (key.action != kOGLActionPress && key.action != kOGLActionRepeat) return false;
  float content = record_.canvas->content().h, page = content > 0 ? record_.canvas->size().h / content : 0;
  float scroll = record_.vbar->scroll();
  switch (key.key) {
    case kOGLKeyDown:
      if (content > 0) moveBar(scroll + 0.1f);
      break;
    case kOGLKeyUp:
      if (content > 0) moveBar(scroll - 0.1f);
      break;
    case kOGLKeyPageUp:
      if (content > 0) moveBar(scroll - page);
      break;
    case kOGLKeyPageDown:
      if (content > 0) moveBar(scroll + page);
      break;
    case kOGLKeyHome:
      moveBar(0.0f);
      break;
    case kOGLKeyEnd:
      moveBar(1.0f);
      break;
    default:
      break;
  }
  return false;
}

void VSKCConversationView::onToggleMenu() {
  Ref<QELCMenuList> list = ZRVFViewMenuList(this);
  if (!list) return;
  if (isRolledup())
    ZRVFViewMenuAddItem(this, list.get(), "Unroll",
                        LLKCMessage::messageWithCode({kVSKConversationMenu, kVSKConversationUnroll, 0}));
  else
    ZRVFViewMenuAddItem(this, list.get(), "Roll-up",
                        LLKCMessage::messageWithCode({kVSKConversationMenu, kVSKConversationRollup, 0}));
  if (flags() & kQELViewCloseButton) {
    ZRVFViewMenuAddSeparator(list.get());
    ZRVFViewMenuAddItem(this, list.get(), "Close",
                        LLKCMessage::messageWithCode({kVSKConversationMenu, kVSKConversationClose, 0}));
  }
  ZRVFViewMenuOpen(this, list, "conversation");
}
