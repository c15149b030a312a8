#include "app/ctm/VSKCGistView.h"

#include <new>

#include "app/ctm/VSKCGistSurface.h"
#include "app/ctm/VSKCTimelineSurface.h"
#include "app/ctm/VSKCTimelineView.h"
#include "app/ctm/VSKFLetGoAside.h"
#include "app/ctm/VSKFTimelineChunks.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCStatement.h"
#include "ui/widgets/QELBWindow.h"

namespace {

constexpr VSKTTermViewerSetup kSetup = {0, 0.5f, 1.5f, 1.5f, "gist"};

}  // namespace

VSKCGistView::VSKCGistView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config)
    : VSKBTermViewer(size, position, "gistviewer", std::move(config), kSetup) {}

Ref<VSKCGistView> VSKCGistView::viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                             std::vector<std::string> feed, Ref<JSKCFrame> config) {
  if (feed.empty()) return nullptr;
  Ref<VSKCGistView> view = makeRef<VSKCGistView>(size, position, std::move(config));
  view->table_ = VSKFGistChunkTableMake();
  return view->build(std::move(alias), std::move(feed), VSKCGistSurface::surface(), nullptr) ? view : nullptr;
}

VSKCGistView::~VSKCGistView() { VSKFLetGoAside(std::move(table_)); }

void VSKCGistView::onAttachedIntoWindow() {
  VSKBTermViewer::onAttachedIntoWindow();
  QELBWindow* owner = window();
  if (auto* timeline = dynamic_cast<VSKCTimelineView*>(owner ? owner->locate("ui.timeline") : nullptr))
    follow_ = timeline->ticks().live();
}

void VSKCGistView::onLeavingWindow() {
  log_.flush();
  VSKBTermViewer::onLeavingWindow();
}

void VSKCGistView::showChunk(MRKCList* chunk) {
  if (!VSKFTimelineChunkIfWellFormed(chunk)) {
    show(std::string(), nullptr);
    return;
  }
  show(VSKFGistViewMakeChunkString(chunk), Ref<MRKBTerm>(chunk->fetchAtIndex(kVSKChunkGist)));
}

void VSKCGistView::onSquib(const LLKCMessage& message) {
  if (!follow_) return;
  Ref<MRKCSquib> squib = message.payloadAs<MRKCSquib>();
  MRKCStatement* statement = squib && squib->statements() ? asStatement(squib->statements()->head()) : nullptr;
  MRKCList* terms = statement ? statement->terms() : nullptr;
  MRKCNumber* tick = terms && terms->count() == 3 ? asNumber(terms->fetchAtIndex(0)) : nullptr;
  if (!tick) return;
  table_.lastTick = tick->uint();
  VSKFGistViewChunkExpire(&table_);
  size_t malformed = 0;
  if (MRKCFrame* frame = asFrame(terms->fetchAtIndex(2))) {
    for (const char* label : {"chunks", "links"}) {
      MRKCList* chunks = asList(frame->fetchForLabel(label));
      if (!chunks) continue;
      for (const Ref<MRKBTerm>& chunk : chunks->terms())
        if (VSKFGistViewChunkInsert(&table_, chunk.get()) == kVSKGistMalformed) ++malformed;
    }
  }
  if (malformed)
    log_.report("ticks with malformed chunks left out",
                std::to_string(malformed) + " malformed chunks left out of tick " + std::to_string(table_.lastTick));
  MRKCList* winners = asList(terms->fetchAtIndex(1));
  if (!winners) return;
  // The first winner that can be shown; none clears the display.
  MRKCList* first = nullptr;
  for (const Ref<MRKBTerm>& winner : winners->terms())
    if ((first = VSKFTimelineChunkIfWellFormed(winner.get()))) break;
  showChunk(first);
}

void VSKCGistView::onOtherMessage(const LLKCMessage& message) {
  if (message.uid() != 0) return;
  switch (message.tag()) {
    case kVSKGistPaused:
      follow_ = false;
      break;
    case kVSKGistLive:
      follow_ = true;
      show(std::string(), nullptr);
      break;
    case kVSKGistShowChunk: {
      Ref<MRKCList> chunk = message.payloadAs<MRKCList>();
      if (chunk && VSKFTimelineChunkIfWellFormed(chunk.get())) showChunk(chunk.get());
      else log_.report("picked chunks not shown", "a picked chunk that is not a well-formed chunk was not shown");
      break;
    }
    default:
      break;
  }
}
