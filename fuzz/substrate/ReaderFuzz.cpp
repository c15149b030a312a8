// The term reader on any bytes: it answers a term or an error, never crashes; a term it reads
// prints a text that reads back to an equal term.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/substrate/MRKCReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Ref<MRKCReader> reader = MRKCReader::reader();
  std::string error;
  Ref<MRKBTerm> term = reader->readTermFromString(text, &error);
  if (!term) return 0;
  Ref<MRKBTerm> again = reader->readTermFromString(term->text(), &error);
  if (!again || again->compareTo(term.get()) != 0 || again->hashCode() != term->hashCode() || again->text() != term->text())
    std::abort();
  return 0;
}
