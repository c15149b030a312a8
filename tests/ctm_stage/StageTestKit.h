#pragma once
// Chunks and records for the stage's tests.
#include <mutex>
#include <string>
#include <vector>

#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCSymbol.h"
#include "modules/ctm/stage/CTMCStageChunk.h"
#include "modules/ctm/stage/CTMTStage.h"
#include "tests/support/OutputCapture.h"

struct ChunkSpec {
  std::string sender;
  double weight = 0;
  double intensity = 0;
  double mood = 0;
  uint64_t tick = 0;
};

// A CTM chunk as an actor posts it.
inline Ref<MRKCList> makeChunk(const ChunkSpec& spec) {
  Ref<MRKCList> chunk = MRKCList::list();
  chunk->append(MRKCSymbol::symbolWithValue(spec.sender).get());
  chunk->append(MRKCNumber::numberWithUint(spec.tick).get());
  chunk->append(MRKCSymbol::symbolWithValue("uid." + spec.sender).get());
  chunk->append(MRKCSymbol::symbolWithValue("tweet").get());
  chunk->append(MRKCSymbol::symbolWithValue("gist").get());
  chunk->append(MRKCNumber::numberWithReal(spec.weight).get());
  chunk->append(MRKCNumber::numberWithReal(spec.intensity).get());
  chunk->append(MRKCNumber::numberWithReal(spec.mood).get());
  return chunk;
}

// The carrier of a chunk on the pass label.
inline Ref<MRKCStatement> carrierOf(MRKBTerm* chunk, const std::string& label = "ctm.pass") {
  Ref<MRKCList> terms = MRKCList::listWithTerms({chunk});
  return MRKCStatement::statementWithLabel(label, terms.get(), 1.0);
}

inline double realAt(MRKBTerm* list, size_t index) {
  MRKCList* terms = asList(list);
  MRKCNumber* number = asNumber(terms ? terms->fetchAtIndex(index) : nullptr);
  return number ? number->real() : -1e300;
}

inline std::string senderOf(MRKBTerm* list) {
  MRKCList* terms = asList(list);
  MRKCSymbol* symbol = asSymbol(terms ? terms->fetchAtIndex(kCTMChunkSender) : nullptr);
  return symbol ? symbol->value() : std::string("?");
}

inline std::vector<std::string> sendersOf(MRKCList* list) {
  std::vector<std::string> senders;
  if (list)
    for (const auto& term : list->terms()) senders.push_back(senderOf(term.get()));
  return senders;
}

// The chunk objects of a record's chunk list.
inline std::vector<CTMCStageChunk*> competitorsOf(const CTMTStage& record) {
  std::vector<CTMCStageChunk*> chunks;
  for (const auto& entry : *record.chunks) chunks.push_back(static_cast<CTMCStageChunk*>(entry.get()));
  return chunks;
}

