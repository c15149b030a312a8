#include "app/ctm/VSKCConversationView.h"
#include "app/ctm/VSKFConversationBubbles.h"
#include "framework/substrate/MRKCString.h"
#include "ui/widgets/QELBLabel.h"

namespace {

bool isUser(const VSKCConversationEntry& entry) { return entry.speaker() != kVSKSpeakerCTM; }

// Actions are wanted exactly for a CTM entry that can be rated.
bool ratable(const VSKCConversationEntry& entry) { return entry.speaker() == kVSKSpeakerCTM && entry.refUid(); }

}  // namespace

bool VSKCConversationView::VSKFConversationEntryShow(VSKCConversationEntry& entry) {
  OGLTSize size = {entry.width(), entry.height()};
  Ref<QELCBubble> bubble;
  if (entry.kind() == kVSKEntryPickOne) {
    MRKCList* parts = entry.iTerm->asList();
    MRKCList* options = parts ? asList(parts->fetchAtIndex(1)) : nullptr;
    std::string text = parts ? VSKFConversationGetString(parts->head()) : std::string();
    bubble = VSKFConversationMakeBubblePick(this, text, options, entry.iCPick, size, entry.iCSize, isUser(entry));
  } else {
    bubble =
        VSKFConversationMakeBubbleText(VSKFConversationGetString(entry.iTerm.get()), size, entry.iCSize, isUser(entry));
  }
  Ref<QELCGroup> wrap = VSKFConversationMakeBubbleWrap(this, bubble, ratable(entry));
  if (!wrap) return false;
  wrap->setPosition({entry.iFrame.left, entry.iFrame.top});
  if (!record_.canvas->attach(Ref<QELBWidget>(wrap))) return false;
  // Laid out now rather than at the next frame's start, so that a wrap built in the middle of a
  // frame (the sync-up runs in the view's update) is drawn in that frame.
  wrap->onAwaken();
  entry.iBWrap = wrap;
  return true;
}

Ref<VSKCConversationEntry> VSKCConversationView::appendEntry(OGLTSize content, Ref<MRKBTerm> term, LLKTMessageCode code,
                                                             uint32_t ctx, Ref<MRKCSymbol> refUid) {
  OGLTSize bubble = VSKFConversationBubbleSize(window(), content, code.uid != kVSKSpeakerCTM);
  bool visible = false;
  Ref<VSKCConversationEntry> entry = VSKFConversationAppendBubble(bubble, std::move(term), code, ctx, &visible);
  if (!entry) return nullptr;
  entry->iCSize = content;
  entry->iRefUid = std::move(refUid);
  if (visible) (void)VSKFConversationEntryShow(*entry);
  return entry;
}

bool VSKCConversationView::VSKFConversationAppendMessage(LLKTMessageCode code, uint32_t ctx, const std::string& text,
                                                         Ref<MRKCSymbol> refUid) {
  OGLTSize content = QELBLabel::preferredSizeWithWindow(window(), text, kVSKMeasureWidth);
  return static_cast<bool>(
      appendEntry(content, MRKCString::stringWithValue(text), {code.uid, kVSKEntryMessage, 0}, ctx, std::move(refUid)));
}

bool VSKCConversationView::VSKFConversationAppendPickOne(LLKTMessageCode code, uint32_t ctx, const std::string& text,
                                                         Ref<MRKCList> options, Ref<MRKCSymbol> refUid) {
  OGLTSize content =
      VSKFConversationComputePickOneSize(window(), text, static_cast<uint32_t>(kVSKMeasureWidth), options.get());
  Ref<MRKCList> term = MRKCList::listWithTerms({MRKCString::stringWithValue(text).get(), options.get()});
  if (!term || term->count() != 2) return false;
  return static_cast<bool>(appendEntry(content, term, {code.uid, kVSKEntryPickOne, 0}, ctx, std::move(refUid)));
}
