#include "app/ctm/VSKFGistChunks.h"

#include <cstdio>
#include <cstdint>
#include <new>

#include "app/ctm/VSKFTimelineChunks.h"
#include "framework/substrate/MRKCFunc.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCSymbol.h"

namespace {

// True when the tick lies more than the kept ticks from the last one, either way; the distance
// modulo 2^64 read as signed is right across a wrap of the counter.
bool outsideWindow(uint64_t made, uint64_t last) {
  const int64_t age = static_cast<int64_t>(last - made);
  return age > static_cast<int64_t>(kVSKGistChunkTicks) || age < -static_cast<int64_t>(kVSKGistChunkTicks);
}

// The kind's name: the symbol, or the func's label (a well-formed chunk has one or the other).
const std::string& kindOf(MRKCList* chunk) {
  static const std::string none;
  MRKBTerm* kind = chunk->fetchAtIndex(kVSKChunkKind);
  if (MRKCSymbol* symbol = asSymbol(kind)) return symbol->value();
  MRKCFunc* func = asFunc(kind);
  return func ? func->label()->value() : none;
}

const std::string& uidOf(MRKCList* chunk) { return asSymbol(chunk->fetchAtIndex(kVSKChunkUid))->value(); }

// Lists the uid under the tick for expiry.
void listUnder(VSKTGistChunkTable* record, uint64_t tick, MRKCSymbol* uid) { record->byTick[tick].emplace_back(uid); }

// A new entry under the uid, made at the last tick and listed for expiry under the tick given.
VSKCGistChunkEntry* enter(VSKTGistChunkTable* record, MRKCSymbol* uid, uint64_t listedAt) {
  Ref<VSKCGistChunkEntry> entry = VSKCGistChunkEntry::entryAt(record->lastTick);
  listUnder(record, listedAt, uid);
  (void)record->chunkTable->store(entry, uid->value());
  return entry.get();
}

}  // namespace

Ref<VSKCGistChunkEntry> VSKCGistChunkEntry::entryAt(uint64_t tick) {
  Ref<VSKCGistChunkEntry> entry = makeRef<VSKCGistChunkEntry>();
  entry->reserved = tick;
  return entry;
}

Ref<VSKCGistChunkMap> VSKCGistChunkMap::map() { return makeRef<VSKCGistChunkMap>(); }

VSKCGistChunkEntry* VSKCGistChunkMap::fetchForKey(std::string_view uid) const {
  auto found = entries_.find(uid);
  return found == entries_.end() ? nullptr : found->second.get();
}

bool VSKCGistChunkMap::store(Ref<VSKCGistChunkEntry> entry, std::string_view uid) {
  if (!entry) return false;
  auto found = entries_.find(uid);
  if (found != entries_.end()) found->second = std::move(entry);
  else entries_.emplace(std::string(uid), std::move(entry));
  return true;
}

void VSKCGistChunkMap::removeIfDue(std::string_view uid, const VSKTGistChunkTable* record) {
  auto found = entries_.find(uid);
  if (found != entries_.end() && VSKFGistViewChunkDiscard(found->second.get(), record)) entries_.erase(found);
}

VSKTGistChunkTable VSKFGistChunkTableMake() {
  VSKTGistChunkTable table;
  table.chunkTable = VSKCGistChunkMap::map();
  return table;
}

bool VSKFGistViewChunkDiscard(const VSKCGistChunkEntry* entry, const VSKTGistChunkTable* record) {
  if (!entry || !record) return false;
  MRKCNumber* tick = entry->chunk ? asNumber(entry->chunk->fetchAtIndex(kVSKChunkTick)) : nullptr;
  return outsideWindow(tick ? tick->uint() : entry->reserved, record->lastTick);
}

void VSKFGistViewChunkExpire(VSKTGistChunkTable* record) {
  if (!record || !record->chunkTable) return;
  // The kept ticks run from lastTick - 512 to lastTick + 512 around the counter's circle; the
  // ticks outside are one range of the index, or two when the kept ones do not wrap.
  const uint64_t low = record->lastTick - kVSKGistChunkTicks, high = record->lastTick + kVSKGistChunkTicks;
  auto& index = record->byTick;
  auto removeRange = [&](auto from, auto to) {
    for (auto at = from; at != to; ++at)
      for (const Ref<MRKCSymbol>& uid : at->second) record->chunkTable->removeIfDue(uid->value(), record);
    index.erase(from, to);
  };
  auto firstAfter = [&](uint64_t tick) { return tick == UINT64_MAX ? index.end() : index.lower_bound(tick + 1); };
  if (low <= high) {
    removeRange(firstAfter(high), index.end());
    removeRange(index.begin(), index.lower_bound(low));
  } else {
    removeRange(firstAfter(high), index.lower_bound(low));
  }
}

std::string VSKFGistViewMakeChunkString(MRKCList* chunk) {
  if (!VSKFTimelineChunkIfWellFormed(chunk)) return std::string();
  const std::string& kind = kindOf(chunk);
  const char mark = kind == "tweet" ? 'T' : kind == "query" ? 'Q' : kind == "reply" ? 'R' : 'K';
  auto real = [chunk](size_t index) { return asNumber(chunk->fetchAtIndex(index))->real(); };
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, "(%0.2f,%0.2f,%0.2f)", real(kVSKChunkWeight), real(kVSKChunkIntensity),
                real(kVSKChunkMood));
  return std::string(1, mark) + " (" + uidOf(chunk) + ") - " + asSymbol(chunk->fetchAtIndex(kVSKChunkSender))->value() +
         " - " + numbers;
}

VSKCGistChunkEntry* VSKFGistViewChunkFetchAndReserve(VSKTGistChunkTable* record, MRKCSymbol* uid) {
  if (!record || !record->chunkTable || !uid) return nullptr;
  if (VSKCGistChunkEntry* found = record->chunkTable->fetchForKey(uid->value())) return found;
  return enter(record, uid, record->lastTick);
}

MRKCList* VSKFGistViewChunkReplies(const VSKTGistChunkTable* record, MRKCList* chunk) {
  if (!record || !record->chunkTable || !VSKFTimelineChunkIfWellFormed(chunk)) return nullptr;
  VSKCGistChunkEntry* entry = record->chunkTable->fetchForKey(uidOf(chunk));
  return entry ? entry->replies.get() : nullptr;
}

int VSKFGistViewChunkInsert(VSKTGistChunkTable* record, MRKBTerm* term) {
  MRKCList* chunk = VSKFTimelineChunkIfWellFormed(term);
  if (!chunk || !asNumber(chunk->fetchAtIndex(kVSKChunkTick))) return kVSKGistMalformed;
  if (!record || !record->chunkTable) return kVSKGistNoMemory;
  // Taken in, it would go at the next expiry while its reply's gist stayed with the query: the
  // same reply coming again would then add its gist once more.
  if (outsideWindow(asNumber(chunk->fetchAtIndex(kVSKChunkTick))->uint(), record->lastTick)) return kVSKGistOutOfWindow;
  MRKCSymbol* uid = asSymbol(chunk->fetchAtIndex(kVSKChunkUid));
  const uint64_t tick = asNumber(chunk->fetchAtIndex(kVSKChunkTick))->uint();
  // The entry expires by its chunk's tick: a new one is listed under it, a reservation that the
  // chunk fills is listed under it as well.
  VSKCGistChunkEntry* entry = record->chunkTable->fetchForKey(uid->value());
  if (entry && entry->chunk) return kVSKGistInserted;
  if (!entry) entry = enter(record, uid, tick);
  else if (tick != entry->reserved) listUnder(record, tick, uid);
  entry->chunk = Ref<MRKCList>(chunk);
  MRKCFunc* kind = asFunc(chunk->fetchAtIndex(kVSKChunkKind));
  if (!kind || kind->label()->value() != "reply") return kVSKGistInserted;
  VSKCGistChunkEntry* query = VSKFGistViewChunkFetchAndReserve(record, asSymbol(kind->terms()->head()));
  if (!query) return kVSKGistNoMemory;
  if (!query->replies) query->replies = MRKCList::listWithCapacity(1);
  if (!query->replies) return kVSKGistNoMemory;
  query->replies->append(chunk->fetchAtIndex(kVSKChunkGist));
  return kVSKGistInserted;
}
