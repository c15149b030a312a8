// A processor archive from any bytes: parts and a processor made from them, or nothing, never a
// crash; what it makes encodes again into parts that read back the same.
#include <cstdint>
#include <cstdlib>

#include "framework/core/LLKBDecoder.h"
#include "framework/core/LLKBEncoder.h"
#include "framework/substrate/MRKCClassRegistry.h"

namespace {

class Plain : public MRKBProcessor {
public:
  Plain(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties)
      : MRKBProcessor(std::move(guid), std::move(label), std::move(alias), std::move(properties)) {}
};
MRKTClassRegistrar<Plain> registrar("ZRNFuzzPlain");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Ref<LLKBDecoder> decoder = LLKBDecoder::decoderWithStream(data, size);
  Ref<MRKBProcessor> made = MRKCClassRegistry::shared().makeWithCoder("ZRNFuzzPlain", decoder.get());
  if (!made) return 0;
  Ref<LLKBEncoder> encoder = LLKBEncoder::encoder();
  if (!made->encodeWithCoder(encoder.get())) std::abort();
  Ref<LLKBDecoder> again = LLKBDecoder::decoderWithStream(encoder->stream().data(), encoder->stream().size());
  MRKTProcessorParts parts;
  if (!MRKBProcessor::decodeWithCoder(again.get(), &parts) || parts.guid != made->guid() ||
      parts.label != made->label() || parts.alias != made->alias() ||
      parts.properties->text() != made->properties()->text())
    std::abort();
  return 0;
}
