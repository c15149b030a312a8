#include "app/ctm/VSKFConversationFeed.h"

#include <algorithm>
#include <cstddef>

#include "app/ctm/VSKFConversationBubbles.h"
#include "ui/widgets/QELBView.h"

namespace {

void dropWrap(VSKTConversationRecord* record, VSKCConversationEntry& entry) {
  if (!entry.iBWrap) return;
  (void)record->canvas->detach(Ref<QELBWidget>(entry.iBWrap));
  entry.iBWrap = nullptr;
}

// Keeps a user bubble's right edge at the content's right margin.
void anchorRight(VSKCConversationEntry& entry, float contentWidth) {
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
void letOldestGo(VSKTConversationRecord* record) {
  if (record->entries.size() <= kVSKFeedCapacity) return;
  const size_t going = record->entries.size() - kVSKFeedCapacity;
  float room = 0;
  for (size_t i = 0; i < going; ++i) room += record->entries[i]->height() + kVSKFeedGap;
  const OGLTPoint offset = record->canvas->offset();
  record->canvas->setOffset({offset.x, offset.y - room});
  for (size_t i = 0; i < going; ++i) {
    VSKFConversationFeedRemove(record, record->entries.front().get());
    ++record->letGo;
  }
}

// Slides the entries after the target by the delta, and the content with them; false when the
// target is not in the feed.
bool slideAfter(VSKTConversationRecord* record, const VSKCConversationEntry* target, float delta) {
  VSKTFeedSlide slide{target, delta};
  for (const Ref<VSKCConversationEntry>& entry : record->entries) VSKFConversationFeedSlideAfter(*entry, slide);
  if (slide.target) return false;
  const OGLTSize content = record->canvas->content();
  record->canvas->setContent({content.w, content.h + delta});
  record->dirty = true;
  return true;
}

}  // namespace

bool VSKFConversationFeedAppend(VSKTConversationRecord* record, const Ref<VSKCConversationEntry>& entry) {
  if (!record || !record->canvas || !entry) return false;
  record->entries.push_back(entry);
  OGLTSize content = record->canvas->content();
  float width = entry->width(), height = entry->height();
  float left = entry->speaker() == kVSKSpeakerCTM ? kVSKFeedMargin : content.w - kVSKFeedMargin - width;
  entry->iFrame = {left, content.h, left + width, content.h + height};
  record->canvas->setContent({content.w, content.h + height + kVSKFeedGap});
  letOldestGo(record);
  record->dirty = true;
  return true;
}

void VSKFConversationFeedSlideAfter(VSKCConversationEntry& entry, VSKTFeedSlide& slide) {
  if (slide.target) {
    if (slide.target == &entry) slide.target = nullptr;
    return;
  }
  entry.iFrame.top += slide.delta;
  entry.iFrame.bottom += slide.delta;
  // Moved, not resized: a wrap with the rating symbols is wider than its entry.
  if (entry.iBWrap) entry.iBWrap->setPosition({entry.iFrame.left, entry.iFrame.top});
}

void VSKFConversationFeedRemove(VSKTConversationRecord* record, VSKCConversationEntry* entry) {
  if (!record || !record->canvas || !entry) return;
  if (!slideAfter(record, entry, -(entry->height() + kVSKFeedGap))) return;
  dropWrap(record, *entry);
  auto at = std::find_if(record->entries.begin(), record->entries.end(),
                         [entry](const Ref<VSKCConversationEntry>& e) { return e.get() == entry; });
  record->entries.erase(at);
}

void VSKFConversationFeedResize(VSKTConversationRecord* record, VSKCConversationEntry* entry, float height) {
  if (!record || !record->canvas || !entry) return;
  const float delta = height - entry->height();
  if (delta != 0) (void)slideAfter(record, entry, delta);
}

uint64_t VSKFConversationFeedAppended(const VSKTConversationRecord* record) {
  return record ? record->letGo + record->entries.size() : 0;
}

bool VSKFConversationFeedIsVisible(const VSKTConversationRecord* record, const VSKCConversationEntry& entry) {
  OGLTPoint o = record->canvas->offset();
  OGLTSize s = record->canvas->size();
  const OGLTRect& f = entry.iFrame;
  return std::max(f.left, o.x) < std::min(f.right, o.x + s.w) && std::max(f.top, o.y) < std::min(f.bottom, o.y + s.h);
}

void VSKFConversationFeedSyncUp(VSKTConversationRecord* record, QELBView* view) {
  if (!record || !record->canvas) return;
  float contentWidth = record->canvas->content().w;
  for (const Ref<VSKCConversationEntry>& entry : record->entries) {
    if (entry->speaker() == kVSKSpeakerUser) anchorRight(*entry, contentWidth);
    if (!VSKFConversationFeedIsVisible(record, *entry)) {
      dropWrap(record, *entry);
    } else if (!entry->iBWrap) {
      (void)VSKFConversationEntryShow(record, view, *entry);
    }
  }
  // Wraps built here take part in this frame's drawing, not only in the next one's: while
  // messages pour in, every frame may bring a screenful of new ones (VSKFConversationEntryShow).
  (void)record->canvas->_childs()->sync();
}

void VSKFConversationFeedClear(VSKTConversationRecord* record, QELBView* view) {
  if (!record || !record->canvas) return;
  record->canvas->detachAll();
  for (const Ref<VSKCConversationEntry>& entry : record->entries) entry->iBWrap = nullptr;
  record->entries.clear();
  record->letGo = 0;
  if (record->vbar) record->vbar->setVisible(false);
  if (record->hbar) record->hbar->setVisible(false);
  record->canvas->setContent({0, kVSKFeedTop});
  record->dirty = true;
  if (view) view->onResized();
}

VSKCConversationEntry* VSKFConversationFeedFind(const VSKTConversationRecord* record, const QELBWidget* widget,
                                                int32_t* index) {
  if (!record || !widget || !widget->parent()) return nullptr;
  for (size_t i = 0; i < record->entries.size(); ++i) {
    const Ref<VSKCConversationEntry>& entry = record->entries[i];
    if (entry->iBWrap && static_cast<const QELBWidget*>(entry->iBWrap.get()) == widget->parent()) {
      if (index) *index = static_cast<int32_t>(i);
      return entry.get();
    }
  }
  return nullptr;
}

VSKCConversationEntry* VSKFConversationFeedFindLast(const VSKTConversationRecord* record, LLKTMessageCode code,
                                                    uint32_t ctx, int32_t* index) {
  if (!record) return nullptr;
  for (size_t i = record->entries.size(); i-- > 0;) {
    const VSKCConversationEntry& entry = *record->entries[i];
    if (entry.iCode.uid != code.uid || entry.iCode.tag != code.tag) continue;
    if (ctx != 0 && entry.iCode.ctx != ctx) continue;
    if (index) *index = static_cast<int32_t>(i);
    return record->entries[i].get();
  }
  return nullptr;
}

Ref<VSKCConversationEntry> VSKFConversationAppendBubble(VSKTConversationRecord* record, OGLTSize size,
                                                        Ref<MRKBTerm> term, LLKTMessageCode code, uint32_t ctx,
                                                        bool* visible) {
  Ref<VSKCConversationEntry> entry = VSKCConversationEntry::entryWithTerm(std::move(term), size);
  if (!entry) return nullptr;
  entry->iCode = {code.uid, code.tag, ctx};
  if (!VSKFConversationFeedAppend(record, entry)) return nullptr;
  if (visible) *visible = VSKFConversationFeedIsVisible(record, *entry);
  return entry;
}
