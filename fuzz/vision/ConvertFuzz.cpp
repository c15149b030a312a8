// "qav.convert" called with any terms (read from the term text form; a list is the call's
// terms): it answers one of its statuses with at most one answer, and never crashes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCReader.h"
#include "modules/vision/module/QAVFPrimitiveConvert.h"

namespace {

// A few bytes may announce a huge image; the fuzzer stays with small ones.
bool announcesSmallImage(MRKCList* terms) {
  MRKCList* dimensions = asList(terms->head());
  if (!dimensions) return true;
  MRKCNumber* width = asNumber(dimensions->head());
  MRKCNumber* height = asNumber(dimensions->tail());
  return !width || !height || (width->uint() < 4096 && height->uint() < 4096);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Ref<MRKBTerm> term =
      MRKCReader::reader()->readTermFromString(std::string_view(reinterpret_cast<const char*>(data), size));
  MRKCList* terms = asList(term.get());
  if (!terms || !announcesSmallImage(terms)) return 0;
  Ref<MRKCStatement> call = MRKCStatement::statementWithLabel("qav.convert", terms, 1.0);
  Ref<MRKCList> answers = MRKCList::list();
  Ref<MRKCVariables> bindings = MRKCVariables::variables();
  int status = QAVFPrimitiveConvert(nullptr, nullptr, call.get(), answers.get(), bindings.get());
  if ((status != 0 && status != 2 && status != 12 && status != 20) || answers->count() > 1) std::abort();
  return 0;
}
