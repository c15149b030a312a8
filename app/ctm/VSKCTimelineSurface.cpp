#include "app/ctm/VSKCTimelineSurface.h"

#include "ui/widgets/QELBControl.h"

#include <new>

#include "app/ctm/VSKCGistView.h"
#include "app/ctm/VSKFTimelineCards.h"
#include "app/ctm/VSKFTimelineChunks.h"
#include "ui/widgets/QELBWindow.h"

Ref<VSKCTimelineSurface> VSKCTimelineSurface::surface() { return makeRef<VSKCTimelineSurface>(); }

void VSKCTimelineSurface::setTick(Ref<VSKCTimelineTick> tick) {
  tick_ = std::move(tick);
  changed_ = true;
  redraw();
}

bool VSKCTimelineSurface::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (!hasCursorRecord()) return false;
  QELBCanvas::onInputWithKeypad(key);
  if (key.key != kOGLKeyEscape || key.action != kOGLActionRelease) return false;
  chunk_ = nullptr;
  return true;
}

void VSKCTimelineSurface::onUpdateWithStep(float) { updateContent(); }

void VSKCTimelineSurface::updateContent() {
  if (!tick_) {
    setContent(size());
    return;
  }
  // Every chunk counts, hidden or not, so that hiding some does not move the scroll bars.
  setContent(VSKFTimelineContentSize(tick_->submitted()->count() + tick_->direct()->count(), size()));
}

void VSKCTimelineSurface::onRenderWithStepAndRect(float, const OGLTRect& shown) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  const QELTWindowTweaks* theme = owner ? owner->tweaks() : nullptr;
  if (!ctx || !theme || !tick_) return;

  // The frame's click if it has one (a quick click presses and releases within one frame, and
  // its release is not the first record), else its latest position for the hover.
  OGLTCursorEvent cursor{};
  bool hasCursor = false;
  for (uint32_t i = 0; i < inputs().count; ++i) {
    if (inputs().records[i].type != kOGLInputCursor) continue;
    cursor = inputs().records[i].cursor;
    hasCursor = true;
    if (QELFControlIsClick(cursor)) break;
  }
  cursor.point = {cursor.point.x + offset().x, cursor.point.y + offset().y};

  VSKFTimelineViewFilterChunks(tick_->submitted(), hideKudos_, submitted_);
  if (hideLinks_) direct_.clear();
  else VSKFTimelineViewFilterChunks(tick_->direct(), hideKudos_, direct_);
  const size_t n = submitted_.size() + direct_.size();
  VSKFTimelineCardCentres(n, content().w, centres_);
  const float fade = opacity() < 1 ? 1 - opacity() : 0;
  MRKCList* picked = nullptr;
  for (size_t i = 0; i < n; ++i) {
    // A busy tick holds thousands of cards; those out of sight cost nothing (the cursor that
    // could pick one is over the surface, so over a card in sight).
    if (!VSKFTimelineCardInSight(centres_[i], shown)) continue;
    const bool isDirect = i >= submitted_.size();
    MRKCList* chunk = isDirect ? direct_[i - submitted_.size()] : submitted_[i];
    int role = isDirect                                                 ? kVSKCardDirect
               : VSKFTimelineViewChunkInList(chunk, tick_->broadcast()) ? kVSKCardBroadcast
                                                                        : kVSKCardSubmitted;
    if (VSKFTimelineViewDrawChunk(ctx, theme, centres_[i], chunk, hasCursor ? &cursor : nullptr, role, fade))
      picked = chunk;
  }
  if (picked) pick(picked);
}

void VSKCTimelineSurface::pick(MRKCList* chunk) {
  chunk_ = Ref<MRKCList>(chunk);
  QELBWindow* owner = window();
  QELBWidget* viewer = owner ? owner->locate("ui.gist") : nullptr;
  if (!viewer) return;
  Ref<LLKCMessage> message = LLKCMessage::messageWithCode({0, kVSKGistShowChunk, 0}, Ref<LLKBObject>(chunk));
  (void)viewer->poke(message);
}
