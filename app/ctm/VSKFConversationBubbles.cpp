#include "app/ctm/VSKFConversationBubbles.h"

#include <algorithm>

#include "app/ctm/VSKCConversationView.h"

#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKFTerms.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBRadiobox.h"
#include "ui/widgets/QELBSymbol.h"
#include "ui/widgets/QELBTextbox.h"
#include "ui/widgets/QELBView.h"

namespace {

const QELTGroupSetup kSetupCentered = {kQELGroupCentered, 0, 0, 0, kQELGroupFitParent};
const QELTGroupSetup kSetupColumn = {kQELGroupColumn, 0, 5, 0, kQELGroupFitParent};
const QELTGroupSetup kSetupOptions = {kQELGroupColumn, 0, 1, 0, kQELGroupUniformMain};
const QELTGroupSetup kSetupWrapDuo = {kQELGroupRow, 0, -6, 0, kQELGroupUniformCross};
const QELTGroupSetup kSetupWrapSolo = {kQELGroupCentered, 0, 0, 0, 0};
const QELTGroupSetup kSetupCentered2 = {kQELGroupCentered, 0, 0, 0, 0};
const QELTGroupSetup kSetupActions = {kQELGroupColumn, 4, 1, 1, kQELGroupUniformMain | kQELGroupHoverBorder};
constexpr QELTSymbolSetup kSetupSymbolInAction = {0.5f, false};

constexpr OGLTSize kSmallestContent = {128, 48};
constexpr float kOptionsGap = 10;  // under the text of a pick-one with options
constexpr float kOptionGap = 1;    // between two options
constexpr float kTailPlace = 0.5f;
constexpr uint32_t kBubbleTextFlags = kQELTextboxFrameless | kQELTextboxReadOnly;
constexpr uint32_t kThumbUp = 0xE8DC, kThumbDown = 0xE8DB;

int32_t tailSide(bool user) { return user ? kQELBubbleTailRight : kQELBubbleTailLeft; }

// A read-only frameless text box holding the text whole (its capacity is the text's byte length).
Ref<QELCTextbox> readOnlyText(const std::string& text, OGLTSize size) {
  Ref<QELCTextbox> box = QELCTextbox::widgetWithSize(size, {0, 0}, text, static_cast<uint32_t>(text.size()));
  box->setFlags(kBubbleTextFlags);
  return box;
}

void finishBubble(QELCBubble& bubble, bool user) {
  bubble.setOrigin(tailSide(user));
  bubble.setOffset(kTailPlace);
}

}  // namespace

std::string VSKFConversationGetString(const MRKBTerm* term) { return MRKFAtomToText(term); }

OGLTSize VSKFConversationBubbleSize(QELBWindow* window, OGLTSize content, bool user) {
  OGLTSize raised = {std::max(content.w, kSmallestContent.w), std::max(content.h, kSmallestContent.h)};
  return QELBBubble::preferredSizeWithWindow(window, &raised, tailSide(user));
}

OGLTSize VSKFConversationComputePickOneSize(QELBWindow* window, const std::string& text, uint32_t width,
                                            const MRKCList* options) {
  OGLTSize size = QELBLabel::preferredSizeWithWindow(window, text, static_cast<float>(width));
  // Measured over the options that are shown: one without text gets no radio box.
  bool first = true;
  for (size_t i = 0; options && i < options->count(); ++i) {
    std::string label = VSKFConversationGetString(options->fetchAtIndex(i));
    if (label.empty()) continue;
    size.h += first ? kOptionsGap : kOptionGap;
    size.h += QELBRadiobox::preferredSizeWithWindow(window, label).h;
    first = false;
  }
  return size;
}

Ref<QELCBubble> VSKFConversationMakeBubbleText(const std::string& text, OGLTSize bubble, OGLTSize content, bool user) {
  Ref<QELCBubble> made = QELCBubble::widgetWithSize(bubble, {0, 0});
  Ref<QELCTextbox> box = readOnlyText(text, content);
  Ref<QELCGroup> group = QELCGroup::widgetWithSize(content, {0, 0}, &kSetupCentered);
  (void)group->attach(Ref<QELBWidget>(box));
  (void)made->attach(Ref<QELBWidget>(group));
  finishBubble(*made, user);
  return made;
}

Ref<QELCBubble> VSKFConversationMakeBubblePick(QELBView* view, const std::string& text, const MRKCList* options,
                                               int32_t chosen, OGLTSize bubble, OGLTSize content, bool user) {
  QELBWindow* window = view ? view->window() : nullptr;
  Ref<QELCBubble> made = QELCBubble::widgetWithSize(bubble, {0, 0});
  Ref<QELCGroup> column = QELCGroup::widgetWithSize(content, {0, 0}, &kSetupColumn);
  Ref<QELCTextbox> box = readOnlyText(text, QELBLabel::preferredSizeWithWindow(window, text, kVSKMeasureWidth));
  Ref<QELCGroup> group = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupOptions);
  (void)column->attach(Ref<QELBWidget>(box));
  for (size_t i = 0; options && i < options->count(); ++i) {
    MRKBTerm* option = options->fetchAtIndex(i);
    std::string label = VSKFConversationGetString(option);
    if (label.empty()) continue;  // not shown, and not measured (VSKFConversationComputePickOneSize)
    Ref<QELCRadiobox> radio = QELCRadiobox::widgetWithSize({0, 0}, {0, 0}, label);
    if (chosen < 0) {
      Ref<LLKCMessage> click =
          LLKCMessage::messageWithCode({kVSKConversationBubble, kVSKConversationChoice, 0}, Ref<LLKBObject>(option));
      (void)click->details().storeSint(static_cast<int64_t>(i), "selected");
      radio->setOnClick(click);
    } else if (static_cast<size_t>(chosen) == i) {
      radio->setValue(true);
    }
    radio->setSize(radio->preferredSizeWithWindow(window));
    (void)group->attach(Ref<QELBWidget>(radio));
  }
  if (chosen >= 0) group->setEnabled(false);
  (void)column->attach(Ref<QELBWidget>(group));
  // Sized without asking the parents to follow: the bubble keeps the size measured at append.
  group->setSize(group->preferredSizeWithWindow(window));
  finishBubble(*made, user);
  // The column fills the bubble, so that laying the wrap out keeps the bubble's measured size.
  OGLTRect space = made->space();
  column->setSize({space.right - space.left, space.bottom - space.top});
  (void)made->attach(Ref<QELBWidget>(column));
  return made;
}

Ref<QELCGroup> VSYFActionMake(QELBView* view) {
  QELBWindow* window = view ? view->window() : nullptr;
  Ref<QELCGroup> outer = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupCentered2);
  Ref<QELCGroup> column = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupActions);
  struct Thumb {
    uint32_t icon;
    uint32_t tag;
  };
  for (Thumb thumb : {Thumb{kThumbUp, kVSKConversationRateUp}, Thumb{kThumbDown, kVSKConversationRateDown}}) {
    Ref<QELCSymbol> symbol = QELCSymbol::widgetWithSize({0, 0}, {0, 0}, &kSetupSymbolInAction, thumb.icon);
    symbol->setFontName("icons");
    symbol->setOnClick(LLKCMessage::messageWithCode({kVSKConversationBubble, thumb.tag, 0}));
    symbol->resizeToPreferredWithWindow(window);
    (void)column->attach(Ref<QELBWidget>(symbol));
  }
  column->resizeToPreferredWithWindow(window);
  (void)outer->attach(Ref<QELBWidget>(column));
  outer->resizeToPreferredWithWindow(window);
  outer->setVisible(false);
  outer->setAlias("thumbs");
  return outer;
}

void VSYFActionPlace(QELBView* view, QELBWidget* anchor, QELBWidget* actions) {
  if (!view || !anchor || !actions) return;
  const OGLTRect b = anchor->bounds();
  const OGLTPoint at = view->worldToSpace(anchor->localToWorld({b.right, (b.top + b.bottom) / 2}));
  const OGLTSize size = actions->size();
  actions->setPosition({at.x, at.y - size.h / 2});
}

Ref<QELCGroup> VSKFConversationMakeBubbleWrap(QELBView* view, const Ref<QELCBubble>& bubble, bool actions) {
  if (!bubble) return nullptr;
  Ref<QELCGroup> wrap = QELCGroup::widgetWithSize({0, 0}, {0, 0}, actions ? &kSetupWrapDuo : &kSetupWrapSolo);
  bubble->setAlias("bubble");
  bubble->setLayer(static_cast<int8_t>(bubble->layer() + 1));
  (void)wrap->attach(Ref<QELBWidget>(bubble));
  if (actions) {
    // On the bubble's layer, so that the row keeps them after the bubble.
    Ref<QELCGroup> thumbs = VSYFActionMake(view);
    thumbs->setLayer(bubble->layer());
    (void)wrap->attach(Ref<QELBWidget>(thumbs));
    wrap->setOnEnter(LLKCMessage::messageWithCode({kVSKConversationBubble, kVSKConversationEnter, 0}));
    wrap->setOnLeave(LLKCMessage::messageWithCode({kVSKConversationBubble, kVSKConversationLeave, 0}));
  }
  wrap->resizeToPreferredWithWindow(view ? view->window() : nullptr);
  return wrap;
}
