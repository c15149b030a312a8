// The term reader on any bytes: it answers a term or an error, never crashes; a term it reads
// prints a text that reads back to an equal term. The members of a list it reads are ordered
// consistently: antisymmetric, transitive, and equal ones hash alike.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKFTerms.h"

namespace {

int sign(int order) { return (order > 0) - (order < 0); }

void checkOrder(const MRKCList& list) {
  const auto& members = list.terms();
  size_t count = std::min<size_t>(members.size(), 12);
  auto order = [&](size_t i, size_t j) { return sign(MRKFCompareTerms(members[i].get(), members[j].get())); };
  for (size_t i = 0; i < count; ++i)
    for (size_t j = 0; j < count; ++j) {
      if (order(i, j) != -order(j, i)) std::abort();
      if (order(i, j) == 0 && members[i] && members[j] && members[i]->hashCode() != members[j]->hashCode())
        std::abort();
      for (size_t k = 0; k < count; ++k)
        if (order(i, j) == order(j, k) && order(i, k) != order(i, j)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Ref<MRKCReader> reader = MRKCReader::reader();
  std::string error;
  Ref<MRKBTerm> term = reader->readTermFromString(text, &error);
  if (!term) return 0;
  Ref<MRKBTerm> again = reader->readTermFromString(term->text(), &error);
  if (!again || again->compareTo(term.get()) != 0 || again->hashCode() != term->hashCode() ||
      again->text() != term->text())
    std::abort();
  if (MRKCList* list = term->asList()) checkOrder(*list);
  return 0;
}
