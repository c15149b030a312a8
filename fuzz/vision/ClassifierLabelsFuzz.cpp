// The fake classifier's labels file of any bytes (as JSON): never a crash; every channel of the
// table is an array of the file holding at least one name, each class the symbol of the string
// at its place (null for anything else); reading again gives the same table.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCReader.h"
#include "framework/core/JSKCString.h"
#include "modules/vision/classifier/QAVFFakeClassifier.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Ref<JSKCFrame> file = JSKCReader::reader()->readFromString(text);
  if (!file) return 0;
  const QAVTFakeClassifierClasses classes = QAVFFakeClassifierClassTable(*file);
  if (classes.size() > file->count()) std::abort();
  bool named = false;
  for (const auto& [channel, symbols] : classes) {
    Ref<JSKCArray> names = file->arrayForLabel(channel);
    if (!names || names->count() != symbols.size()) std::abort();
    for (size_t i = 0; i < symbols.size(); ++i) {
      Ref<JSKBValue> name = names->atIndex(i);
      const JSKCString* string = name ? name->asString() : nullptr;
      if (static_cast<bool>(string) != static_cast<bool>(symbols[i])) std::abort();
      if (string && symbols[i]->value() != string->string()) std::abort();
      named = named || string;
    }
    if (!named) std::abort();
    named = false;
  }
  if (QAVFFakeClassifierClassTable(*file).size() != classes.size()) std::abort();
  return 0;
}
