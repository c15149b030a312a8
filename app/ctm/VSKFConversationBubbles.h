#pragma once
// The bubbles of the conversation feed: measuring a message or a pick-one once when it is
// appended, and building its widgets (bubble, text, radio boxes, the wrap and the rating
// "thumbs") from the stored sizes whenever the entry comes into view. Window's thread only.
#include <cstdint>
#include <string>

#include "app/ctm/VSKTConversationRecord.h"
#include "framework/substrate/MRKCList.h"
#include "ui/widgets/QELBBubble.h"

class QELBView;
class QELBWindow;

constexpr float kVSKMeasureWidth = 512;  // wrap width for measuring a text

// The text the feed shows of a term: a symbol's or string's value, else its printed form (the
// substrate's rule, shared with the plug-ins).
std::string VSKFConversationGetString(const MRKBTerm* term);

// The text's measure at the width, plus 10 and the radio box of each option with text (1 apart)
// under it.
OGLTSize VSKFConversationComputePickOneSize(QELBWindow* window, const std::string& text, uint32_t width,
                                            const MRKCList* options);
// Appends a message bubble (code: speaker and kind); false when the entry cannot be made or
// kept. A bubble that cannot be built now leaves the entry to the next sync-up.
bool VSKFConversationAppendMessage(VSKTConversationRecord* record, QELBView* view, LLKTMessageCode code, uint32_t ctx,
                                   const std::string& text, Ref<MRKCSymbol> refUid);
bool VSKFConversationAppendPickOne(VSKTConversationRecord* record, QELBView* view, LLKTMessageCode code, uint32_t ctx,
                                   const std::string& text, Ref<MRKCList> options, Ref<MRKCSymbol> refUid);
// A bubble holding the text read-only; null when a widget cannot be made.
[[nodiscard]] Ref<QELCBubble> VSKFConversationMakeBubbleText(const std::string& text, OGLTSize bubble, OGLTSize content,
                                                             bool user);
// A bubble holding the text and one radio box per option; once chosen, the choice is checked
// and the options disabled. Null when a widget cannot be made.
[[nodiscard]] Ref<QELCBubble> VSKFConversationMakeBubblePick(QELBView* view, const std::string& text,
                                                             const MRKCList* options, int32_t chosen, OGLTSize bubble,
                                                             OGLTSize content, bool user);
// The group that holds a bubble (aliased "bubble"), with the rating "thumbs" beside it when
// actions are wanted; null when it cannot be made.
[[nodiscard]] Ref<QELCGroup> VSKFConversationMakeBubbleWrap(QELBView* view, const Ref<QELCBubble>& bubble,
                                                            bool actions);
// The hidden "thumbs" group with the two rating symbols; null when it cannot be made.
[[nodiscard]] Ref<QELCGroup> VSYFActionMake(QELBView* view);
// Puts the actions group beside the anchor: its left edge at the anchor's right edge, its middle
// at the anchor's middle, in the view's space.
void VSYFActionPlace(QELBView* view, QELBWidget* anchor, QELBWidget* actions);
// Builds the entry's bubble and wrap from its stored sizes and puts it on the canvas at the
// entry's place; false (entry left without a wrap) when a widget cannot be made.
bool VSKFConversationEntryShow(VSKTConversationRecord* record, QELBView* view, VSKCConversationEntry& entry);
