#pragma once
// The chunk viewer's table of the chunks seen in the last 512 ticks, by uid, each with the gists
// of the replies to it. A reply may name its query before the query itself arrives: the query's
// entry is then a reservation (no chunk yet) that keeps the replies' gists until the query
// fills it.
//
// Every entry expires: a chunk 512 ticks after its own tick, a reservation 512 ticks after the
// tick it was made at. Ticks are compared by their signed distance, so the table keeps working
// when the tick counter wraps around, and a chunk that claims a tick more than 512 away from
// the last tick (either way) goes at the next expiry. A chunk is taken in once: a repeat (in
// both the submitted and the direct chunks, or in several ticks) changes nothing, so a reply
// that arrives several times adds its gist once. Chunks that are not well formed
// (VSKFTimelineChunkIfWellFormed, and a number for the tick) are refused.
//
// Not locked: the chunk viewer uses its table on the window's thread only.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCSymbol.h"

constexpr uint64_t kVSKGistChunkTicks = 512;

// Results of VSKFGistViewChunkInsert.
enum : int {
  kVSKGistInserted = 0,
  kVSKGistOutOfWindow = 1,  // its tick lies more than 512 ticks from lastTick: let go at once
  kVSKGistNoMemory = 2,
  kVSKGistMalformed = 22,
};

// One uid's entry.
class VSKCGistChunkEntry : public LLKBObject {
public:
  [[nodiscard]] static Ref<VSKCGistChunkEntry> entryAt(uint64_t tick);

  Ref<MRKCList> chunk;    // null while this is a reservation
  Ref<MRKCList> replies;  // the gists of the replies, in order of arrival; null for none
  uint64_t reserved = 0;  // the tick the entry was made at

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCGistChunkEntry() = default;
};

struct VSKTGistChunkTable;

// The entries by uid, hashed: a busy stage keeps hundreds of thousands of them, and finding one
// by comparing texts down an ordered tree cost the window most of its frame.
class VSKCGistChunkMap : public LLKBObject {
public:
  [[nodiscard]] static Ref<VSKCGistChunkMap> map();

  // Null when nothing is stored under the uid.
  VSKCGistChunkEntry* fetchForKey(std::string_view uid) const;
  // Stores the entry under the uid (replacing what was there); false without an entry.
  bool store(Ref<VSKCGistChunkEntry> entry, std::string_view uid);
  // Removes the entry under the uid when it is due to go (VSKFGistViewChunkDiscard).
  void removeIfDue(std::string_view uid, const VSKTGistChunkTable* record);
  size_t count() const { return entries_.size(); }
  // Visits every entry, in no particular order: visit(uid, entry) must not change the map.
  template <typename Visit>
  void forEach(Visit&& visit) const {
    for (const auto& [uid, entry] : entries_) visit(uid, entry.get());
  }

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCGistChunkMap() = default;

  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, Ref<VSKCGistChunkEntry>, Hash, std::equal_to<>> entries_;
};

struct VSKTGistChunkTable {
  Ref<VSKCGistChunkMap> chunkTable;
  uint64_t lastTick = 0;
  // The uid of every entry of the map under the tick it expires by (its chunk's, else the one
  // it was made at), so that expiry visits only the ticks that go. A busy stage brings thousands
  // of chunks a tick: one list a tick holding the uid symbols the chunks already carry costs a
  // pointer an entry. A reservation that its query fills is listed under both ticks; expiry
  // removes only what is due.
  std::map<uint64_t, std::vector<Ref<MRKCSymbol>>> byTick;
};

// A table with an empty map; the map is null when it cannot be made.
VSKTGistChunkTable VSKFGistChunkTableMake();
// True when the entry is due to go: its chunk's tick (a reservation's tick of making) lies more
// than 512 ticks from lastTick.
bool VSKFGistViewChunkDiscard(const VSKCGistChunkEntry* entry, const VSKTGistChunkTable* record);
// Removes every entry due to go; the work is that of the entries removed.
void VSKFGistViewChunkExpire(VSKTGistChunkTable* record);
// The caption of a well-formed chunk: "T (uid)", "Q (uid)", "R (uid)" or "K (uid)" by its kind,
// then " - sender - (weight,intensity,mood)" with two decimals each.
std::string VSKFGistViewMakeChunkString(MRKCList* chunk);
// The entry under the uid, else a new reservation stored under it; null without a table or a uid.
VSKCGistChunkEntry* VSKFGistViewChunkFetchAndReserve(VSKTGistChunkTable* record, MRKCSymbol* uid);
// The gists of the replies to the chunk (by its uid), or null.
MRKCList* VSKFGistViewChunkReplies(const VSKTGistChunkTable* record, MRKCList* chunk);
// Takes the chunk in (and a reply's gist into its query's entry); kVSKGistInserted also for a
// chunk already known.
int VSKFGistViewChunkInsert(VSKTGistChunkTable* record, MRKBTerm* chunk);
