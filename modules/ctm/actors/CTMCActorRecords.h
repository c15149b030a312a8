#pragma once
// The small records an actor keeps in its tables: remembered stages, the chunks it sent, the
// chunks it noticed, its links and its standing waits. The runtime reads and writes their
// fields directly.
#include <cstdint>

#include "framework/core/LLKBObject.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCFunc.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKCVariables.h"

// Kinds of chunk, as kept in records and notices.
enum : uint32_t { kCTMChunkTweet = 1, kCTMChunkQuery = 2, kCTMChunkReply = 3, kCTMChunkKudos = 4 };

// The winners of one past tick, remembered for recall.
class CTMCActorRecall : public LLKBObject {
public:
  explicit CTMCActorRecall(MRKCList* stage);

  double iTick = 0;  // when it was remembered (seconds)
  Ref<MRKCList> iStage;
};

// A chunk the actor posted, with what it still has to do about it.
class CTMCActorRecord : public LLKBObject {
public:
  CTMCActorRecord(MRKCList* chunk, uint32_t type);
  // A query chunk that serves a substrate query: winning replies answer it.
  CTMCActorRecord(MRKCList* chunk, MRKCQuery* query);

  uint32_t iCType = 0;
  Ref<MRKCList> iChunk;   // as last posted
  Ref<MRKCQuery> iQuery;  // the substrate query it serves, or null
  double iWeight = 0;     // as given, before the modifiers; grows with boosted resends
  double iWBoost = 0;
  int64_t iRepeats = 0;
  int64_t iRetries = 0;
  double iPosted = 0;   // when made
  double iStaged = 0;   // when last seen winning or sent direct; 0 = never
  double iTimeout = 0;  // seconds; 0 = none
  double iKudos = 0;    // kudos received
  bool iCollect = false;
  bool iDiverse = false;
  bool iAnswered = false;   // the substrate query has had at least one answer
  Ref<MRKCList> iReplies;   // newest first
  Ref<MRKCList> iDKudos;    // kudos to hand on: [reply uid, factor] entries
  Ref<MRKCFrame> iOptions;  // the options of a reply
};

// A tweet, query or reply the actor saw on the stage or by link flash.
class CTMCActorNotice : public LLKBObject {
public:
  CTMCActorNotice(MRKCList* chunk, uint32_t type);

  uint32_t iCType = 0;
  Ref<MRKCList> iChunk;
  bool iFlashed = false;  // came by direct link, not by the stage
};

// A learned or configured link: chunks whose gist matches go straight to the processor.
class CTMCActorLink : public LLKBObject {
public:
  CTMCActorLink(MRKCSymbol* processor, MRKCFunc* gist, double pull);

  Ref<MRKCSymbol> iProc;
  Ref<MRKCFunc> iGist;
  double iPull = 0;
};

// A standing "await": answered each time a broadcast chunk matches the filter.
class CTMCActorWait : public LLKBObject {
public:
  // Null when the bindings cannot be made.
  [[nodiscard]] static Ref<CTMCActorWait> waitWithQuery(MRKCQuery* query, MRKBTerm* filter, MRKBTerm* result);

  Ref<MRKCQuery> iQuery;
  Ref<MRKBTerm> iFilter;
  Ref<MRKBTerm> iResult;
  Ref<MRKCList> iCList;  // collected chunks, newest first
  Ref<MRKCVariables> iVariables;
  uint64_t iSTick = 0;
  double iTTick = 0;
  double iTimeout = 0;
  uint32_t iCount = 0;
  uint32_t iLimit = 0;
  bool iCollect = false;

private:
  CTMCActorWait() = default;
};
