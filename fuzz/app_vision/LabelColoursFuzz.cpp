// The labelled view's colours file of any bytes (as JSON): never a crash; no more colours than
// entries, each under a label the file names, with components read as given (an alpha of 1 when
// the colour had three numbers); reading again gives the same colours.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/vision/VSKFLabelColours.h"
#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Ref<JSKCFrame> file = JSKCReader::reader()->readFromString(text);
  if (!file) return 0;
  VSKTLabelColours colours;
  const size_t stored = VSKFLabelColoursRead(*file, &colours);
  Ref<JSKCArray> labels = file->arrayForLabel("labels");
  const size_t entries = labels ? labels->count() : 0;
  if (stored > entries || colours.size() > stored) std::abort();
  VSKTLabelColours again;
  if (VSKFLabelColoursRead(*file, &again) != stored || again.size() != colours.size()) std::abort();
  for (const auto& [name, colour] : colours) {
    const auto other = again.find(name);
    if (other == again.end() || other->second.r != colour.r || other->second.g != colour.g ||
        other->second.b != colour.b || other->second.a != colour.a)
      std::abort();
  }
  return 0;
}
