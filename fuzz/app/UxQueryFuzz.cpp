// A ux query whose predicate comes from any bytes (read as a term), carried out by a
// conversation view in a headless window: never a crash, and the feed keeps its invariants:
// entries stacked in order from the top at 10, each 6 below the last, the content as high as
// the last entry's bottom plus 6.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCReader.h"
#include "tests/app/ConversationWindow.h"

namespace {

void expectStacked(const VSKTConversationRecord& record) {
  float top = kVSKFeedTop;
  for (const Ref<VSKCConversationEntry>& entry : record.entries) {
    if (entry->frame().top != top || entry->height() < 0) std::abort();
    top = entry->frame().bottom + kVSKFeedGap;
  }
  if (record.canvas->content().h != top) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ConversationWindow* shown = [] {
    auto* made = new ConversationWindow();
    if (!made->open()) std::abort();
    return made;
  }();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text);
  MRKCPredicate* predicate = term ? term->asPredicate() : nullptr;
  Ref<MRKCQuery> query = predicate ? MRKCQuery::queryWithPredicate(predicate, nullptr, 5.0f) : nullptr;
  if (!query) return 0;
  shown->feed().VSKFConversationOnQuery(query.get());
  shown->window->frame();
  expectStacked(shown->record());
  shown->feed().VSKFConversationFeedClear();
  return 0;
}
