// The statistics counts of a tick squib whose terms come from any bytes (read as a term list):
// never a crash, and every count present is the size of the list it was read from.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/shell/VSKFTickCounts.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCStatement.h"

namespace {

void expectCount(const std::optional<float>& count, MRKBTerm* term) {
  MRKCList* list = term ? term->asList() : nullptr;
  if (count.has_value() != (list != nullptr)) std::abort();
  if (list && *count != static_cast<float>(list->count())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text);
  Ref<MRKCList> terms = term ? refCast<MRKCList>(term) : nullptr;
  if (!terms) return 0;
  Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel("ctm.tick", terms.get(), 1.0);
  Ref<MRKCSquib> squib = statement ? MRKCSquib::squibWithLabel("ctm.tick", statement.get(), 5.0f) : nullptr;
  if (!squib) return 0;
  VSKTTickCounts counts = VSKFTickCounts(squib.get());
  expectCount(counts.winners, terms->fetchAtIndex(1));
  MRKBTerm* third = terms->fetchAtIndex(2);
  MRKCFrame* frame = third ? third->asFrame() : nullptr;
  expectCount(counts.chunks, frame ? frame->fetchForString("chunks") : nullptr);
  expectCount(counts.links, frame ? frame->fetchForString("links") : nullptr);
  return 0;
}
