// The chunk viewer's table fed with ticks whose terms come from any bytes (read as a list of
// [tick, winners, {"chunks": [...], "links": [...]}]): never a crash; after each expiry no entry
// due to go is left; every chunk kept is well formed and has a caption; a reply's gist is kept
// once however often the reply comes.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "app/ctm/VSKFGistChunks.h"
#include "app/ctm/VSKFTimelineChunks.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCFunc.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCReader.h"

namespace {

// The uid of a chunk the table takes in as a reply, else empty.
std::string replyUid(MRKBTerm* term) {
  MRKCList* chunk = VSKFTimelineChunkIfWellFormed(term);
  MRKCFunc* kind = chunk && asNumber(chunk->fetchAtIndex(1)) ? asFunc(chunk->fetchAtIndex(3)) : nullptr;
  return kind && kind->label()->value() == "reply" ? chunk->fetchAtIndex(2)->text() : std::string();
}

void check(const VSKTGistChunkTable& table, size_t replies) {
  size_t gists = 0;
  table.chunkTable->forEach([&](const std::string&, VSKCGistChunkEntry* entry) {
    if (VSKFGistViewChunkDiscard(entry, &table)) std::abort();
    if (entry->chunk &&
        (!VSKFTimelineChunkIfWellFormed(entry->chunk.get()) || VSKFGistViewMakeChunkString(entry->chunk.get()).empty()))
      std::abort();
    gists += entry->replies ? entry->replies->count() : 0;
  });
  // One gist per distinct reply taken in.
  if (gists > replies) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text);
  MRKCList* ticks = term ? term->asList() : nullptr;
  if (!ticks) return 0;
  VSKTGistChunkTable table = VSKFGistChunkTableMake();
  if (!table.chunkTable) return 0;
  std::set<std::string> replies;
  for (const Ref<MRKBTerm>& member : ticks->terms()) {
    MRKCList* tick = asList(member.get());
    MRKCNumber* number = tick ? asNumber(tick->fetchAtIndex(0)) : nullptr;
    if (!number) continue;
    table.lastTick = number->uint();
    VSKFGistViewChunkExpire(&table);
    check(table, replies.size());
    MRKCFrame* frame = asFrame(tick->fetchAtIndex(2));
    for (const char* label : {"chunks", "links"}) {
      MRKCList* chunks = frame ? asList(frame->fetchForLabel(label)) : nullptr;
      for (size_t i = 0; chunks && i < chunks->count(); ++i) {
        MRKBTerm* chunk = chunks->fetchAtIndex(i);
        if (VSKFGistViewChunkInsert(&table, chunk) == kVSKGistInserted) {
          std::string uid = replyUid(chunk);
          if (!uid.empty()) replies.insert(uid);
        }
      }
    }
    MRKCList* winners = asList(tick->fetchAtIndex(1));
    if (MRKCList* first = winners ? VSKFTimelineChunkIfWellFormed(winners->head()) : nullptr)
      if (VSKFGistViewMakeChunkString(first).empty()) std::abort();
  }
  return 0;
}
