#include "app/shell/VSKFTickCounts.h"

#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCStatement.h"

namespace {

std::optional<float> countOf(MRKBTerm* term) {
  MRKCList* list = term ? term->asList() : nullptr;
  if (!list) return std::nullopt;
  return static_cast<float>(list->count());
}

}  // namespace

VSKTTickCounts VSKFTickCounts(const LLKBObject* payload) {
  VSKTTickCounts counts;
  const MRKCSquib* squib = dynamic_cast<const MRKCSquib*>(payload);
  MRKCList* statements = squib ? squib->statements() : nullptr;
  MRKBTerm* head = statements ? statements->head() : nullptr;
  MRKCStatement* statement = dynamic_cast<MRKCStatement*>(head);
  MRKCList* terms = statement ? statement->terms() : nullptr;
  if (!terms) return counts;
  counts.winners = countOf(terms->fetchAtIndex(1));
  MRKBTerm* third = terms->fetchAtIndex(2);
  MRKCFrame* frame = third ? third->asFrame() : nullptr;
  if (!frame) return counts;
  counts.chunks = countOf(frame->fetchForString("chunks"));
  counts.links = countOf(frame->fetchForString("links"));
  return counts;
}
