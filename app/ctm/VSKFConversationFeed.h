#pragma once
// The conversation feed: a column of bubbles on a canvas, the CTM's at the left edge, the
// user's at the right. It keeps the last kVSKFeedCapacity entries: past that the oldest go, and
// the others move up by the room they took. Every entry keeps its rectangle; a bubble widget
// exists only while its entry overlaps the visible part of the canvas, so a long conversation
// costs one small record per entry and the widgets of one screenful. Scrolling or resizing
// marks the feed dirty; the view's next frame runs the sync-up. Window's thread only.
#include <cstddef>
#include <cstdint>

#include "app/ctm/VSKTConversationRecord.h"

class QELBView;

constexpr float kVSKFeedTop = 10;     // content height of an empty feed
constexpr float kVSKFeedMargin = 10;  // from the content's left and right edges
constexpr float kVSKFeedGap = 6;      // under each entry
// The most entries the feed keeps; past it the oldest go first.
constexpr size_t kVSKFeedCapacity = 500;

// Appends and places an entry (its top is the content height), letting the oldest go past the
// capacity; false when it cannot be kept.
bool VSKFConversationFeedAppend(VSKTConversationRecord* record, const Ref<VSKCConversationEntry>& entry);
// The entries appended since the feed was last cleared, those let go included: the positions
// the solution reads the feed by.
uint64_t VSKFConversationFeedAppended(const VSKTConversationRecord* record);
// Whether the entry overlaps the canvas's visible part (strictly).
bool VSKFConversationFeedIsVisible(const VSKTConversationRecord* record, const VSKCConversationEntry& entry);
// Builds the wraps of the entries that came into view, drops those of the entries that left it,
// and keeps the user's bubbles at the content's right edge.
void VSKFConversationFeedSyncUp(VSKTConversationRecord* record, QELBView* view);
// Empties the feed, hides the scroll bars and lays the view out again.
void VSKFConversationFeedClear(VSKTConversationRecord* record, QELBView* view);
// The entry whose wrap is the widget's parent, and its index when asked; null when none.
VSKCConversationEntry* VSKFConversationFeedFind(const VSKTConversationRecord* record, const QELBWidget* widget,
                                                int32_t* index);
// A new entry of the term and size with the code, appended; *visible tells whether it is in
// view. Null when it cannot be made or kept.
Ref<VSKCConversationEntry> VSKFConversationAppendBubble(VSKTConversationRecord* record, OGLTSize size,
                                                        Ref<MRKBTerm> term, LLKTMessageCode code, uint32_t ctx,
                                                        bool* visible);
