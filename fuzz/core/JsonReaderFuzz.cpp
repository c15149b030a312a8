// Any bytes as a JSON document: the reader answers a frame or null, and a frame it answers
// can be written out again.
#include "framework/core/JSKCReader.h"
#include "framework/core/JSKCWriter.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Ref<JSKCFrame> frame =
      JSKCReader::reader()->readFromString(std::string_view(reinterpret_cast<const char*>(data), size));
  if (frame) {
    std::string text;
    if (!JSKCWriter::writer()->writeToString(frame.get(), text)) __builtin_trap();
    if (!JSKCReader::reader()->readFromString(text)) __builtin_trap();
  }
  return 0;
}
