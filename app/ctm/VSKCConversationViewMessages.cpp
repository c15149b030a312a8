#include "app/ctm/VSKCConversationView.h"
#include "framework/core/LLKCString.h"
#include "ui/widgets/QELBBubble.h"
#include "ui/widgets/QELBSymbol.h"
#include "ui/widgets/QELBWindow.h"

namespace {

constexpr int8_t kHintLayer = 4;

const char* hintText(uint32_t ctx) {
  switch (ctx) {
    case kVSKConversationDistract:
      return "distract the CTM";
    case kVSKInputTerm:
      return "switch to 'term' input";
    case kVSKInputText:
      return "switch to 'text' input";
    case kVSKConversationPause:
      return "pause the conversation";
    case kVSKConversationResume:
      return "resume the conversation";
    default:
      return nullptr;
  }
}

}  // namespace

void VSKCConversationView::setSymbolMessages(QELBSymbol& symbol, uint32_t ctx) {
  symbol.setOnClick(LLKCMessage::messageWithCode({kVSKConversationControl, kVSKConversationSymbol, ctx}));
  symbol.setOnEnter(LLKCMessage::messageWithCode({kVSKConversationHover, kVSKConversationEnter, ctx}));
  symbol.setOnLeave(LLKCMessage::messageWithCode({kVSKConversationHover, kVSKConversationLeave, ctx}));
}

void VSKCConversationView::onMenu(uint32_t tag) {
  switch (tag) {
    case kVSKConversationClose:
      close();
      break;
    case kVSKConversationUnroll:
      unroll();
      break;
    case kVSKConversationRollup:
      rollup();
      break;
    default:
      break;
  }
}

void VSKCConversationView::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  switch (message->uid()) {
    case kVSKConversationMenu:
      onMenu(message->tag());
      break;
    case kVSKConversationObserver:
      if (message->tag() == kVSKConversationQuery)
        VSKFConversationOnQuery(refCast<MRKCQuery>(message->payload()).get());
      break;
    case kVSKConversationControl:
      onControl(*message);
      break;
    case kVSKConversationHover:
      onHover(*message);
      break;
    case kVSKConversationBubble:
      onBubble(*message);
      break;
    default:
      break;
  }
}

void VSKCConversationView::onControl(const LLKCMessage& message) {
  VSKTConversationRecord& r = record_;
  Ref<QELBWidget> sender = message.details().objectForKeyAs<QELBWidget>("sender");
  switch (message.tag()) {
    case kVSKConversationVerticalBar:
    case kVSKConversationHorizontalBar: {
      float s = static_cast<float>(message.details().realForKey("scroll", 0));
      OGLTSize canvas = r.canvas->size(), content = r.canvas->content();
      OGLTPoint offset = r.canvas->offset();
      if (message.tag() == kVSKConversationVerticalBar) offset.y = content.h * s - canvas.h * 0.5f;
      else offset.x = content.w * s - canvas.w * 0.5f;
      r.canvas->setOffset(offset);
      VSKFConversationFeedSyncUp();
      break;
    }
    case kVSKConversationCommit: {
      Ref<LLKCString> value = message.details().objectForKeyAs<LLKCString>("value");
      if (value && !value->string().empty()) VSKFConversationOnTypedInput(value->string());
      break;
    }
    case kVSKConversationSymbol:
      switch (message.ctx()) {
        case kVSKConversationDistract:
          VSKFConversationOnDistract();
          break;
        case kVSKInputTerm:
        case kVSKInputText:
          setMode(message.ctx(), sender.get());
          break;
        case kVSKConversationPause:
          setPaused(true, sender.get());
          break;
        case kVSKConversationResume:
          setPaused(false, sender.get());
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
}

void VSKCConversationView::setMode(uint32_t mode, QELBWidget* sender) {
  VSKTConversationRecord& r = record_;
  if (r.mode == mode) return;
  bool term = mode == kVSKInputTerm;
  if (auto* symbol = dynamic_cast<QELBSymbol*>(sender)) symbol->setUnderlined(true);
  if (auto* other = dynamic_cast<QELBSymbol*>(r.symbols->locate(term ? "inp.text" : "inp.term")))
    other->setUnderlined(false);
  r.mode = mode;
  r.textbox->setLabel(term ? "Type a new message (term)" : "Type a new message (text)");
}

void VSKCConversationView::setPaused(bool paused, QELBWidget* sender) {
  auto* symbol = dynamic_cast<QELBSymbol*>(sender);
  if (!symbol) return;
  uint32_t ctx = paused ? kVSKConversationResume : kVSKConversationPause;
  symbol->setIcon(paused ? kIconResume : kIconPause);
  setSymbolMessages(*symbol, ctx);
  // The hint under the cursor changes at once.
  Ref<LLKCMessage> enter = symbol->onEnter()->copy();
  (void)enter->details().storeObject(Ref<LLKBObject>(symbol), "sender");
  (void)poke(enter);
  record_.paused = paused;
}

void VSKCConversationView::dropHint() {
  if (!record_.hint) return;
  (void)detach(Ref<QELBWidget>(record_.hint));
  record_.hint = nullptr;
}

void VSKCConversationView::onHover(const LLKCMessage& message) {
  Ref<QELBWidget> sender = message.details().objectForKeyAs<QELBWidget>("sender");
  if (message.tag() == kVSKConversationLeave) {
    if (record_.hint && record_.hint->tag() == message.ctx()) dropHint();
    return;
  }
  if (message.tag() != kVSKConversationEnter || !sender) return;
  dropHint();
  const char* text = hintText(message.ctx());
  if (!text) return;
  Ref<ZRVCHint> hint = ZRVFHintMake(sender.get(), text, kZRVHintAbove, {0, 0});
  if (!hint || !ZRVFHintPlaceOnWindow(window(), sender.get(), hint.get())) return;
  hint->setTag(message.ctx());
  hint->setPosition(worldToSpace(hint->position()));
  hint->setLayer(kHintLayer);
  if (attach(Ref<QELBWidget>(hint))) record_.hint = hint;
}

void VSKCConversationView::onBubble(const LLKCMessage& message) {
  Ref<QELBWidget> sender = message.details().objectForKeyAs<QELBWidget>("sender");
  if (!sender) return;
  switch (message.tag()) {
    case kVSKConversationEnter:
    case kVSKConversationLeave:
      if (auto* wrap = dynamic_cast<QELBParent*>(sender.get()))
        if (QELBWidget* thumbs = wrap->locate("thumbs")) thumbs->setVisible(message.tag() == kVSKConversationEnter);
      break;
    case kVSKConversationRateUp:
    case kVSKConversationRateDown: {
      QELBWidget* wrap =
          sender->parent() && sender->parent()->parent() ? sender->parent()->parent()->parent() : nullptr;
      auto* parent = dynamic_cast<QELBParent*>(wrap);
      QELBWidget* bubble = parent ? parent->locate("bubble") : nullptr;
      if (VSKCConversationEntry* entry = VSKFConversationFeedFind(bubble, nullptr))
        VSKFConversationOnRate(*entry, message.tag() == kVSKConversationRateUp ? 1.0 : -1.0);
      break;
    }
    case kVSKConversationChoice: {
      QELBWidget* options = sender->parent();
      QELBBubble* bubble = options ? options->findAncestorOfClass<QELCBubble>() : nullptr;
      VSKCConversationEntry* entry = VSKFConversationFeedFind(bubble, nullptr);
      auto* option = dynamic_cast<MRKBTerm*>(message.payload().get());
      if (entry && option)
        VSKFConversationOnChoice(*entry, options, option,
                                 static_cast<int32_t>(message.details().sintForKey("selected", -1)));
      break;
    }
    default:
      break;
  }
}
