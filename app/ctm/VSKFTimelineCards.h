#pragma once
// The grid of chunk cards on the timeline's surface (content coordinates): cards of 242 x 60, at
// most 3 a row, 252 apart across and 80 down, the first row centred at y 40, the grid centred in
// the content width; and the drawing of one card. Window's thread only for the drawing.
#include <cstddef>
#include <vector>

#include "framework/substrate/MRKCList.h"
#include "ui/gl/OGLF2D.h"
#include "ui/gl/OGLTInput.h"
#include "ui/widgets/QELTWindowTweaks.h"

constexpr float kVSKCardWidth = 242, kVSKCardHeight = 60;
constexpr float kVSKCardPitchX = 252, kVSKCardPitchY = 80;
constexpr size_t kVSKCardColumns = 3;
constexpr float kVSKCardFirstRowY = 40;

// The content size for n cards on a surface of that size: the grid's size (with room for the
// last row's sender line, so that row scrolls fully into view), at least the surface's size.
OGLTSize VSKFTimelineContentSize(size_t cards, OGLTSize surface);
// The centres of n cards in a content of that width, in drawing order.
void VSKFTimelineCardCentres(size_t cards, float contentWidth, std::vector<OGLTPoint>& out);
// True when the card centred at the point, with its sender line, reaches into the rect.
bool VSKFTimelineCardInSight(OGLTPoint centre, const OGLTRect& rect);

enum : int {
  kVSKCardSubmitted = 0,  // submitted, did not win: "S"
  kVSKCardBroadcast = 1,  // submitted and won: "B"
  kVSKCardDirect = 2,     // passed by link: "D"
};

// Draws the chunk's card centred at the point: its kind and uid (the uid it answers for a reply
// or kudos), weight, intensity and mood, the text of its gist and its sender underneath, framed
// in the colour of its role. The cursor (content coordinates, or null) hovers the card; true when
// it releases the left button over it. The chunk must be well formed (VSKFTimelineChunkIfWellFormed).
bool VSKFTimelineViewDrawChunk(OGLC2DContext* ctx, const QELTWindowTweaks* theme, OGLTPoint centre, MRKCList* chunk,
                               const OGLTCursorEvent* cursor, int role, float fade);
