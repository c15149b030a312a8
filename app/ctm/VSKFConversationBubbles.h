#pragma once
// The widgets of a conversation bubble, built from the sizes measured when its entry was
// appended: the bubble (text or pick-one with its radio boxes), the wrap that holds it and the
// rating "thumbs" beside it. They work on what they are given; the conversation view decides
// when an entry is shown. Window's thread only.
#include <cstdint>
#include <string>

#include "framework/substrate/MRKCList.h"
#include "ui/widgets/QELBBubble.h"
#include "ui/widgets/QELBGroup.h"

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
// The size of a bubble around the measured content: the content raised to at least 128 x 48,
// with the tail on the speaker's side (the user's at the right).
OGLTSize VSKFConversationBubbleSize(QELBWindow* window, OGLTSize content, bool user);
// A bubble holding the text read-only.
[[nodiscard]] Ref<QELCBubble> VSKFConversationMakeBubbleText(const std::string& text, OGLTSize bubble, OGLTSize content,
                                                             bool user);
// A bubble holding the text and one radio box per option; once chosen, the choice is checked
// and the options disabled.
[[nodiscard]] Ref<QELCBubble> VSKFConversationMakeBubblePick(QELBView* view, const std::string& text,
                                                             const MRKCList* options, int32_t chosen, OGLTSize bubble,
                                                             OGLTSize content, bool user);
// The group that holds a bubble (aliased "bubble"), with the rating "thumbs" beside it when
// actions are wanted; null for a null bubble.
[[nodiscard]] Ref<QELCGroup> VSKFConversationMakeBubbleWrap(QELBView* view, const Ref<QELCBubble>& bubble,
                                                            bool actions);
// The hidden "thumbs" group with the two rating symbols.
[[nodiscard]] Ref<QELCGroup> VSYFActionMake(QELBView* view);
// Puts the actions group beside the anchor: its left edge at the anchor's right edge, its middle
// at the anchor's middle, in the view's space.
void VSYFActionPlace(QELBView* view, QELBWidget* anchor, QELBWidget* actions);
