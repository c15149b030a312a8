#include "app/ctm/VSKFTimelineCards.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "app/ctm/VSKFTextDrawing.h"
#include "app/ctm/VSKFTimelineChunks.h"
#include "framework/substrate/MRKCFunc.h"
#include "framework/substrate/MRKCNumber.h"
#include "ui/widgets/QELBControl.h"
#include "ui/widgets/QELFGeometry.h"

namespace {

struct CardLook {
  char letter;
  OGLTColor color;
  float frameWidth;
};

const CardLook kLooks[] = {
    {'S', {0.796f, 0.294f, 0.086f, 1}, 1},
    {'B', {0.521f, 0.6f, 0.0f, 1}, 2},
    {'D', {0.149f, 0.545f, 0.823f, 1}, 1},
};

// Room below the last row for its sender line, centred 10 below the card.
constexpr float kSenderRoom = 10;
// How far below the card the sender line's text may reach (its centre 10 below, text of a few
// pixels either side).
constexpr float kSenderReach = kSenderRoom + 20;

char headerLetter(const std::string& kind) {
  if (kind == "tweet") return 'T';
  if (kind == "query") return 'Q';
  if (kind == "reply") return 'R';
  return 'K';
}

OGLTRect measure(OGLC2DContext* ctx, const char* text, float x, float y) {
  float b[4] = {};
  OGLF2DTextBounds(ctx, text, b, x, y);
  return VSKFEvenSnap({b[0], b[1], b[2], b[3]});
}

}  // namespace

OGLTSize VSKFTimelineContentSize(size_t cards, OGLTSize surface) {
  if (cards == 0) return surface;
  size_t cols = std::min(cards, kVSKCardColumns);
  size_t rows = (cards + kVSKCardColumns - 1) / kVSKCardColumns;
  float width = cols * kVSKCardWidth + (cols - 1) * (kVSKCardPitchX - kVSKCardWidth);
  float height = rows * kVSKCardPitchY + kSenderRoom;
  return {std::max(width, surface.w), std::max(height, surface.h)};
}

void VSKFTimelineCardCentres(size_t cards, float contentWidth, std::vector<OGLTPoint>& out) {
  out.clear();
  if (cards == 0) return;
  out.reserve(cards);
  const size_t cols = std::min(cards, kVSKCardColumns);
  const float x0 =
      contentWidth * 0.5f + kVSKCardWidth / 2 - (cols * kVSKCardPitchX - (kVSKCardPitchX - kVSKCardWidth)) * 0.5f;
  float x = std::round(x0), y = kVSKCardFirstRowY;
  for (size_t i = 0; i < cards; ++i) {
    out.push_back({x, y});
    if ((i + 1) % cols == 0) {
      x = std::round(x0);
      y = std::round(y + kVSKCardPitchY);
    } else {
      x = std::round(x + kVSKCardPitchX);
    }
  }
}

bool VSKFTimelineCardInSight(OGLTPoint centre, const OGLTRect& rect) {
  // Even-snapping moves an edge by at most a pixel; the sender line hangs below the card.
  const float halfW = kVSKCardWidth / 2 + 1, halfH = kVSKCardHeight / 2 + 1;
  return centre.x + halfW >= rect.left && centre.x - halfW <= rect.right && centre.y - halfH <= rect.bottom &&
         centre.y + halfH + kSenderReach >= rect.top;
}

bool VSKFTimelineViewDrawChunk(OGLC2DContext* ctx, const QELTWindowTweaks* theme, OGLTPoint centre, MRKCList* chunk,
                               const OGLTCursorEvent* cursor, int role, float fade) {
  if (!ctx || !theme || !VSKFTimelineChunkIfWellFormed(chunk) || role < kVSKCardSubmitted || role > kVSKCardDirect)
    return false;
  MRKCSymbol* sender = asSymbol(chunk->fetchAtIndex(kVSKChunkSender));
  MRKCSymbol* uid = asSymbol(chunk->fetchAtIndex(kVSKChunkUid));
  MRKBTerm* kindTerm = chunk->fetchAtIndex(kVSKChunkKind);
  std::string kind;
  if (MRKCFunc* func = asFunc(kindTerm)) {
    // A reply or kudos names the query or reply it answers.
    kind = func->label()->value();
    uid = asSymbol(func->terms()->head());
  } else {
    kind = asSymbol(kindTerm)->value();
  }
  const double weight = asNumber(chunk->fetchAtIndex(kVSKChunkWeight))->real();
  const double intensity = asNumber(chunk->fetchAtIndex(kVSKChunkIntensity))->real();
  const double mood = asNumber(chunk->fetchAtIndex(kVSKChunkMood))->real();
  const CardLook& look = kLooks[role];

  OGLF2DStatePush(ctx);
  const OGLTRect card = VSKFEvenSnap({centre.x - kVSKCardWidth / 2, centre.y - kVSKCardHeight / 2,
                                      centre.x + kVSKCardWidth / 2, centre.y + kVSKCardHeight / 2});
  const float l = card.left, t = card.top, r = card.right, b = card.bottom;
  const bool hovered = cursor && QELFRectContains(card, cursor->point);
  OGLTColor frameColor = look.color;
  frameColor.a = hovered ? 1.0f : 0.7f;

  OGLF2DPathBegin(ctx);
  OGLF2DPathRect(ctx, l, t, r - l, b - t);
  OGLF2DPathStrokeColor(ctx, &frameColor);
  OGLF2DPathStrokeWidth(ctx, look.frameWidth);
  OGLF2DPathStroke(ctx);

  // The uid is cut so that the header always fits its buffer; values of extreme size are cut
  // at the buffer's end.
  char text[128];
  std::snprintf(text, sizeof text, "%c (%.120s)", headerLetter(kind), uid->value().c_str());
  OGLF2DTextFontFace(ctx, theme->textFontFace);
  OGLF2DTextFontSize(ctx, theme->textFontSize);
  OGLF2DTextAlignment(ctx, kOGLAlignLeft | kOGLAlignTop);
  OGLTRect header = measure(ctx, text, l + 5, t + 5);
  OGLF2DPathFillColorWithTint(ctx, &theme->textColor, fade);
  OGLF2DTextDraw(ctx, text, header.left, header.top);

  std::snprintf(text, sizeof text, "%c %0.2f,%0.2f,%0.2f", look.letter, weight, intensity, mood);
  OGLF2DTextAlignment(ctx, kOGLAlignRight | kOGLAlignTop);
  OGLTRect values = measure(ctx, text, r - 5, t + 5);
  OGLF2DTextDraw(ctx, text, values.right, values.top);
  const float hv = values.bottom - values.top;

  OGLF2DPathBegin(ctx);
  OGLF2DPathMoveTo(ctx, l, t + 10 + hv);
  OGLF2DPathLineTo(ctx, r, t + 10 + hv);
  OGLF2DPathStrokeColor(ctx, &frameColor);
  OGLF2DPathStrokeWidth(ctx, look.frameWidth);
  OGLF2DPathStroke(ctx);

  const std::string gist = VSKFTimelineViewStringify(chunk->fetchAtIndex(kVSKChunkGist));
  if (!gist.empty()) {
    const OGLTRect box = VSKFEvenSnap({l + 4, t + 10 + hv + 4, r - 4, b - 4});
    const float W = box.right - box.left, H = box.bottom - box.top;
    OGLF2DTextAlignment(ctx, kOGLAlignLeft | kOGLAlignTop);
    OGLF2DTextFontSize(ctx, theme->textFontSize * 0.9f);
    OGLF2DTextFontSpacing(ctx, theme->fontSpacing * 0.9f);
    OGLF2DTextLineHeight(ctx, theme->lineHeight * 0.9f);
    OGLF2DPathStrokeWidth(ctx, 1);
    float block[4] = {};
    OGLF2DTextBoundsWithWidth(ctx, gist.c_str(), block, box.left, box.top, W);
    const float bw = block[2] - block[0], bh = block[3] - block[1];
    OGLF2DTextDrawWithWidth(ctx, gist.c_str(), box.left + W / 2 - bw / 2, box.top + H / 2 - bh / 2, W);
  }

  OGLF2DTextFontSize(ctx, theme->textFontSize * 0.8f);
  OGLF2DTextAlignment(ctx, kOGLAlignCenter | kOGLAlignMiddle);
  OGLF2DTextDraw(ctx, sender->value().c_str(), centre.x, b + 10);
  OGLF2DStatePull(ctx);

  return hovered && QELFControlIsClick(*cursor);
}
