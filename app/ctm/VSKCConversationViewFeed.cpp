#include <algorithm>
#include <cstddef>

#include "app/ctm/VSKCConversationView.h"

bool VSKCConversationView::VSKFConversationFeedAppend(const Ref<VSKCConversationEntry>& entry) {
  VSKTConversationRecord& r = record_;
  if (!entry) return false;
  r.entries.push_back(entry);
  OGLTSize content = r.canvas->content();
  float width = entry->width(), height = entry->height();
  float left = entry->speaker() == kVSKSpeakerCTM ? kVSKFeedMargin : content.w - kVSKFeedMargin - width;
  entry->iFrame = {left, content.h, left + width, content.h + height};
  r.canvas->setContent({content.w, content.h + height + kVSKFeedGap});
  letOldestGo();
  r.dirty = true;
  return true;
}

void VSKCConversationView::VSKFConversationFeedSlideAfter(VSKCConversationEntry& entry, FeedSlide& slide) {
  if (slide.target) {
    if (slide.target == &entry) slide.target = nullptr;
    return;
  }
  entry.iFrame.top += slide.delta;
  entry.iFrame.bottom += slide.delta;
  // Moved, not resized: a wrap with the rating symbols is wider than its entry.
  if (entry.iBWrap) entry.iBWrap->setPosition({entry.iFrame.left, entry.iFrame.top});
}

void VSKCConversationView::VSKFConversationFeedRemove(VSKCConversationEntry* entry) {
  if (!entry) return;
  if (!slideAfter(entry, -(entry->height() + kVSKFeedGap))) return;
  dropWrap(*entry);
  auto at = std::find_if(record_.entries.begin(), record_.entries.end(),
                         [entry](const Ref<VSKCConversationEntry>& e) { return e.get() == entry; });
  record_.entries.erase(at);
}

void VSKCConversationView::VSKFConversationFeedResize(VSKCConversationEntry* entry, float height) {
  if (!entry) return;
  const float delta = height - entry->height();
  if (delta != 0) (void)slideAfter(entry, delta);
}

uint64_t VSKCConversationView::VSKFConversationFeedAppended() const { return record_.letGo + record_.entries.size(); }

bool VSKCConversationView::VSKFConversationFeedIsVisible(const VSKCConversationEntry& entry) const {
  OGLTPoint o = record_.canvas->offset();
  OGLTSize s = record_.canvas->size();
  const OGLTRect& f = entry.iFrame;
  return std::max(f.left, o.x) < std::min(f.right, o.x + s.w) && std::max(f.top, o.y) < std::min(f.bottom, o.y + s.h);
}

void VSKCConversationView::VSKFConversationFeedSyncUp() {
  float contentWidth = record_.canvas->content().w;
  for (const Ref<VSKCConversationEntry>& entry : record_.entries) {
    if (entry->speaker() == kVSKSpeakerUser) anchorRight(*entry, contentWidth);
    if (!VSKFConversationFeedIsVisible(*entry)) {
      dropWrap(*entry);
    } else if (!entry->iBWrap) {
      (void)VSKFConversationEntryShow(*entry);
    }
  }
  // Wraps built here take part in this frame's drawing, not only in the next one's: while
  // messages pour in, every frame may bring a screenful of new ones (VSKFConversationEntryShow).
  (void)record_.canvas->_childs()->sync();
}

void VSKCConversationView::VSKFConversationFeedClear() {
  VSKTConversationRecord& r = record_;
  r.canvas->detachAll();
  for (const Ref<VSKCConversationEntry>& entry : r.entries) entry->iBWrap = nullptr;
  r.entries.clear();
  r.letGo = 0;
  r.vbar->setVisible(false);
  r.hbar->setVisible(false);
  r.canvas->setContent({0, kVSKFeedTop});
  r.dirty = true;
  onResized();
}

VSKCConversationEntry* VSKCConversationView::VSKFConversationFeedFind(const QELBWidget* widget, int32_t* index) const {
  if (!widget || !widget->parent()) return nullptr;
  for (size_t i = 0; i < record_.entries.size(); ++i) {
    const Ref<VSKCConversationEntry>& entry = record_.entries[i];
    if (entry->iBWrap && static_cast<const QELBWidget*>(entry->iBWrap.get()) == widget->parent()) {
      if (index) *index = static_cast<int32_t>(i);
      return entry.get();
    }
  }
  return nullptr;
}

VSKCConversationEntry* VSKCConversationView::VSKFConversationFeedFindLast(LLKTMessageCode code, uint32_t ctx,
                                                                          int32_t* index) const {
  for (size_t i = record_.entries.size(); i-- > 0;) {
    const VSKCConversationEntry& entry = *record_.entries[i];
    if (entry.iCode.uid != code.uid || entry.iCode.tag != code.tag) continue;
    if (ctx != 0 && entry.iCode.ctx != ctx) continue;
    if (index) *index = static_cast<int32_t>(i);
    return record_.entries[i].get();
  }
  return nullptr;
}

Ref<VSKCConversationEntry> VSKCConversationView::VSKFConversationAppendBubble(OGLTSize size, Ref<MRKBTerm> term,
                                                                              LLKTMessageCode code, uint32_t ctx,
                                                                              bool* visible) {
  Ref<VSKCConversationEntry> entry = VSKCConversationEntry::entryWithTerm(std::move(term), size);
  if (!entry) return nullptr;
  entry->iCode = {code.uid, code.tag, ctx};
  if (!VSKFConversationFeedAppend(entry)) return nullptr;
  if (visible) *visible = VSKFConversationFeedIsVisible(*entry);
  return entry;
}

void VSKCConversationView::dropWrap(VSKCConversationEntry& entry) {
  if (!entry.iBWrap) return;
  (void)record_.canvas->detach(Ref<QELBWidget>(entry.iBWrap));
  entry.iBWrap = nullptr;
}

void VSKCConversationView::anchorRight(VSKCConversationEntry& entry, float contentWidth) {
  float right = contentWidth - kVSKFeedMargin;
  if (entry.iFrame.right == right) return;
  float width = entry.width();
  entry.iFrame.left = right - width;
  entry.iFrame.right = right;
  if (entry.iBWrap) entry.iBWrap->setPosition({entry.iFrame.left, entry.iFrame.top});
}

// Lets the oldest entries go until the feed holds its capacity: the others move up by the room
// they took, and so does the viewport, which keeps showing what it showed. The viewport moves
// first: the shorter content would otherwise hold it within its end, and it would then move up
// by the room on top of that.
void VSKCConversationView::letOldestGo() {
  VSKTConversationRecord& r = record_;
  if (r.entries.size() <= kVSKFeedCapacity) return;
  const size_t going = r.entries.size() - kVSKFeedCapacity;
  float room = 0;
  for (size_t i = 0; i < going; ++i) room += r.entries[i]->height() + kVSKFeedGap;
  const OGLTPoint offset = r.canvas->offset();
  r.canvas->setOffset({offset.x, offset.y - room});
  for (size_t i = 0; i < going; ++i) {
    VSKFConversationFeedRemove(r.entries.front().get());
    ++r.letGo;
  }
}

bool VSKCConversationView::slideAfter(const VSKCConversationEntry* target, float delta) {
  FeedSlide slide{target, delta};
  for (const Ref<VSKCConversationEntry>& entry : record_.entries) VSKFConversationFeedSlideAfter(*entry, slide);
  if (slide.target) return false;
  const OGLTSize content = record_.canvas->content();
  record_.canvas->setContent({content.w, content.h + delta});
  record_.dirty = true;
  return true;
}
