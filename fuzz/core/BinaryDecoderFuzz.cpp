// Any bytes as a coder archive and as a plain stream: every read stays inside the input.
#include "framework/core/LLKBDecoder.h"

#include <cstddef>
#include <cstdint>

namespace {

void drain(LLKBDecoder& decoder) {
  uint8_t tag = 0;
  uint8_t record[16];
  uint16_t half = 0;
  uint32_t word = 0;
  while (decoder.remaining() > 0) {
    if (!decoder.decodeByte(tag)) __builtin_trap();
    switch (tag % 4) {
      case 0:
        decoder.decodeBuffer(record, tag % 17);
        break;
      case 1:
        decoder.decodeUint16(half);
        break;
      case 2:
        decoder.decodeUint32(word);
        break;
      default:
        break;
    }
  }
  decoder.decodeByte(tag, "_point.type");
  decoder.decodeBuffer(record, 8, "point");
  decoder.decodeBuffer(record, 16, "rect");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (Ref<LLKBDecoder> archive = LLKBDecoder::decoderWithArchive(data, size)) drain(*archive);
  if (Ref<LLKBDecoder> stream = LLKBDecoder::decoderWithStream(data, size)) drain(*stream);
  return 0;
}
