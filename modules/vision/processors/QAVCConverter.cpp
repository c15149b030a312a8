#include "modules/vision/processors/QAVCConverter.h"

#include <iterator>
#include <limits>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageConvert.h"

namespace {

// The converter's target names, with the image kit's numbers.
constexpr MRKTFlagName kFormats[] = {
    {"mjpeg", IMKPixelFormatJPEG}, {"rgb", IMKPixelFormatRGB},   {"rgba", IMKPixelFormatRGBA},
    {"bgr", IMKPixelFormatBGR},    {"bgra", IMKPixelFormatBGRA},
};
constexpr uint64_t kUnknown = std::numeric_limits<uint64_t>::max();

bool isConvertibleSource(int32_t format) {
  return format == IMKPixelFormatBGR || format == IMKPixelFormatJPEG || format == IMKPixelFormatRGB;
}

}  // namespace

Ref<QAVCConverter> QAVCConverter::converterWithGuid(const std::string& guid, const std::string& label,
                                                    const std::string& alias, Ref<MRKCFrame> properties) {
  return adoptRef(new QAVCConverter(guid, label, alias, std::move(properties)));
}

Ref<QAVCConverter> QAVCConverter::converterWithManifesto(const MRKCManifesto& manifesto) {
  return adoptRef(new QAVCConverter(manifesto));
}

void QAVCConverter::onAttached() {
  QAVBProcessor::onAttached();
  MRKCSymbol* format = MRKFFrameFetchSymbol(properties(), "format");
  Ref<MRKCSymbol> target = format ? Ref<MRKCSymbol>(format) : MRKCSymbol::symbolWithValue("bgr");
  uint64_t number = MRKFDecodeTermAsFlagWithDefault(target.get(), kFormats, std::size(kFormats), kUnknown);
  if (number == kUnknown) {
    LLKFLog("%s - property 'format' names an unknown pixel format: %s", label().c_str(), target->value().c_str());
    target_.reset();
    targetFormat_ = -1;
    return;
  }
  target_ = substrate() ? substrate()->symbols()->store(target.get()) : target;
  targetFormat_ = static_cast<int32_t>(number);
}

void QAVCConverter::onReceivedSquib(MRKCSquib* squib, const std::string& source) {
  forEachImage(squib, source, [this](const QAVTImageStatement& image) { publishImage(process(image).get()); });
}

Ref<MRKCStatement> QAVCConverter::process(const QAVTImageStatement& image) const {
  return guarded([&] { return convert(image); });
}

Ref<MRKCStatement> QAVCConverter::convert(const QAVTImageStatement& image) const {
  if (!target_) return nullptr;
  if (!isConvertibleSource(image.pixelFormat)) {
    if (verbose()) LLKFLog("%s : received image of un-supported pixel format", label().c_str());
    return nullptr;
  }
  const std::string output = outputLabel();
  if (image.pixelFormat == targetFormat_)
    return MRKCStatement::statementWithLabel(output, image.statement->terms(), image.statement->value());

  const uint32_t target = static_cast<uint32_t>(targetFormat_);
  std::vector<uint8_t> buffer;
  if (!QAVFPixelBufferMake(IMKFImageLength(image.width, image.height, target), &buffer)) {
    LLKFLog("%s : out of memory", label().c_str());
    return nullptr;
  }
  if (IMKFImageConvert(image.width, image.height, image.pixels->bytes(), image.pixels->length(),
                       static_cast<uint32_t>(image.pixelFormat), buffer.data(), buffer.size(), target) != 0)
    return nullptr;
  Ref<MRKCFrame> meta = QAVFImageMetaCopy(image, target_.get(), image.width, image.height, buffer.size());
  Ref<MRKCBinary> pixels = MRKCBinary::binaryWithValue(std::move(buffer));
  Ref<MRKCStatement> converted = QAVFImageStatementMake(output, image, meta.get(), pixels.get());
  if (!converted) LLKFLog("%s : out of memory", label().c_str());
  return converted;
}
