#include "modules/demo/DEMCDecoder.h"

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKFTerms.h"

namespace {

// Where a chunk keeps its sender, kind and gist.
constexpr size_t kSender = 0, kKind = 3, kGist = 4;

std::string textOf(const MRKBTerm* term) {
  std::string text;
  if (term) term->print(text);
  return text;
}

}  // namespace

void DEMCDecoder::onReceivedTick(MRKCList* winners, uint64_t tick, MRKCFrame*) {
  const uint64_t every = std::max<uint64_t>(1, MRKFFrameFetchUint(properties(), "every", 4));
  if (tick % every != 0 || !winners) return;
  std::vector<Ref<MRKBTerm>> gists;
  MRKCList* first = nullptr;
  for (size_t i = 0; i < winners->count(); ++i) {
    MRKCList* chunk = asList(winners->fetchAtIndex(i));
    MRKBTerm* gist = chunk ? chunk->fetchAtIndex(kGist) : nullptr;
    if (!gist) continue;
    if (!first) first = chunk;
    gists.emplace_back(gist);
  }
  if (!first) return;
  const std::string caption = textOf(first->fetchAtIndex(kSender)) + " : " + textOf(first->fetchAtIndex(kKind));
  Ref<MRKCList> all = MRKCList::listWithVector(std::move(gists));
  if (!publishDecoded("nlp.decode", caption, first->fetchAtIndex(kGist), tick) || !all ||
      !publishDecoded("nlp.decode.all", "tick " + std::to_string(tick), all.get(), tick))
    LLKFLog("%s : cannot publish what tick %llu decoded to", label().c_str(), static_cast<unsigned long long>(tick));
}

bool DEMCDecoder::publishDecoded(const char* label, const std::string& caption, MRKBTerm* decoded, uint64_t tick) {
  MRKCSubstrate* substrate = this->substrate();
  Ref<MRKCSymbol> head = MRKCSymbol::symbolWithValue("decoded");
  Ref<MRKCString> text = MRKCString::stringWithValue(caption);
  Ref<MRKCNumber> number = MRKCNumber::numberWithUint(tick);
  if (!substrate || !head || !text || !number || !decoded) return false;
  Ref<MRKCList> terms = MRKCList::listWithTerms({head.get(), text.get(), decoded, number.get()});
  Ref<MRKCStatement> statement = terms ? MRKCStatement::statementWithLabel(label, terms.get(), 1.0) : nullptr;
  Ref<MRKCSquib> squib = statement ? MRKCSquib::squibWithLabel(label, statement.get(), substrate->configs().ttl) : nullptr;
  return squib && substrate->publish(squib.get(), guid());
}
