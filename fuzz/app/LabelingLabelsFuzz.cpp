// The labelling view's label list and COCO labels table from any bytes read as a JSON object
// (the same text as both resource files): never a crash; the list is empty or starts with
// "null"; the table is bounded and every entry is a label number of the list.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "app/vision/VSKFLabelingLabels.h"
#include "framework/core/JSKCReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Ref<JSKCReader> reader = JSKCReader::reader();
  Ref<JSKCFrame> file =
      reader ? reader->readFromString(std::string_view(reinterpret_cast<const char*>(data), size)) : nullptr;
  if (!file) return 0;
  const std::vector<std::string> names = VSKFLabelingLabelNames(*file, "qav.stream.fovl.seg");
  if (!names.empty() && names[0] != "null") std::abort();
  for (bool peripheral : {false, true}) {
    Ref<LLKCData> table = VSKFLabelingLabelsTable(*file, peripheral, names);
    if (!table) continue;
    const size_t entries = table->length() / sizeof(uint32_t);
    if (table->length() % sizeof(uint32_t) != 0 || entries == 0 || entries > kVSKLabelingLargestCategory + 1)
      std::abort();
    for (size_t i = 0; i < entries; ++i) {
      uint32_t entry = 0;
      std::memcpy(&entry, table->bytes() + i * sizeof(uint32_t), sizeof entry);
      if (entry != 0 && entry >= names.size()) std::abort();
    }
  }
  return 0;
}
