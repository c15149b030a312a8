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
// What a slide carries along the entries: the entry after which they move (null once passed)
// and how far down (negative: up).
struct VSKTFeedSlide {
  const VSKCConversationEntry* target;
  float delta;
};
// Called for each entry in order: the entries after the target move down by the delta, wraps
// too; reaching the target clears it, so a null target afterwards tells it was found.
void VSKFConversationFeedSlideAfter(VSKCConversationEntry& entry, VSKTFeedSlide& slide);
// Takes the entry out of the feed: the later ones move up by its height and gap, and the content
// shrinks by as much. Nothing when it is not in the feed.
void VSKFConversationFeedRemove(VSKTConversationRecord* record, VSKCConversationEntry* entry);
// Makes room for the entry at a new height: the later ones move by the difference, and the
// content grows by it. The entry's own rectangle is left to the caller.
void VSKFConversationFeedResize(VSKTConversationRecord* record, VSKCConversationEntry* entry, float height);
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
// The last entry of the speaker and kind (code's uid and tag) and, unless ctx is 0, of that ctx;
// its index when asked. Null when none.
VSKCConversationEntry* VSKFConversationFeedFindLast(const VSKTConversationRecord* record, LLKTMessageCode code,
                                                    uint32_t ctx, int32_t* index);
// A new entry of the term and size with the code, appended; *visible tells whether it is in
// view. Null when it cannot be made or kept.
Ref<VSKCConversationEntry> VSKFConversationAppendBubble(VSKTConversationRecord* record, OGLTSize size,
                                                        Ref<MRKBTerm> term, LLKTMessageCode code, uint32_t ctx,
                                                        bool* visible);
