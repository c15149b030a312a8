// A timeline tick made from a statement whose terms come from any bytes (read as a term list):
// never a crash; a tick holds only chunks the cards can draw, and what it left out plus what it
// kept is what the statement carried; a gist's text is an atom's whole text or bounded.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/ctm/VSKCTimelineTick.h"
#include "app/ctm/VSKFTimelineChunks.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCReader.h"

namespace {

// The gist with its lists of one element unwrapped, as its text is made.
MRKBTerm* unwrapped(MRKBTerm* gist) {
  while (MRKCList* list = asList(gist)) {
    if (list->count() != 1) return gist;
    gist = list->head();
  }
  return gist;
}

size_t checkChunks(MRKCList* kept) {
  for (const auto& member : kept->terms()) {
    if (!VSKFTimelineChunkIfWellFormed(member.get())) std::abort();
    MRKBTerm* gist = asList(member.get())->fetchAtIndex(4);
    const std::string text = VSKFTimelineViewStringify(gist);
    MRKBTerm* shown = unwrapped(gist);
    if (shown && shown->asAtom()) {
      if (text != shown->text()) std::abort();
    } else if (text.size() > 4 * kVSKTimelineTextLimit) {
      // The limit counts characters; a character takes at most 4 bytes.
      std::abort();
    }
  }
  return kept->count();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text);
  Ref<MRKCList> terms = term ? refCast<MRKCList>(term) : nullptr;
  Ref<MRKCStatement> statement = terms ? MRKCStatement::statementWithLabel("ctm.tick", terms.get(), 1.0) : nullptr;
  if (!statement) return 0;
  std::string problem;
  Ref<VSKCTimelineTick> tick = VSKCTimelineTick::tickWithStatement(statement.get(), &problem);
  if (!tick) {
    if (problem.empty()) std::abort();
    return 0;
  }
  MRKCFrame* frame = asFrame(terms->tail());
  const size_t carried = asList(terms->fetchAtIndex(1))->count() + asList(frame->fetchForLabel("chunks"))->count() +
                         asList(frame->fetchForLabel("links"))->count();
  const size_t kept = checkChunks(tick->broadcast()) + checkChunks(tick->submitted()) + checkChunks(tick->direct());
  if (kept + tick->dropped() != carried) std::abort();
  return 0;
}
