#include "modules/vision/processors/QAVCROIExtractor.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageConvert.h"

namespace {

constexpr uint64_t kPixelBytes = 3;

int32_t coordinateOf(const MRKCNumber& number) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(number.sint(), std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

uint32_t sideOf(MRKBTerm* term) {
  MRKCNumber* number = asNumber(term);
  uint64_t value = number ? number->uint() : 0;
  return value <= std::numeric_limits<uint32_t>::max() ? static_cast<uint32_t>(value) : 0;
}

}  // namespace

extern "C" bool QAVFROIExtractorExtract(const uint8_t* source, uint32_t sourceWidth, uint32_t reserved, uint32_t left,
                                        uint32_t top, uint32_t width, uint32_t height, uint8_t* target) {
  if (!source || !target) return false;
  const uint64_t sourceStride = uint64_t{sourceWidth} * kPixelBytes, rowBytes = uint64_t{width} * kPixelBytes;
  const uint8_t* from = source + uint64_t{top} * sourceStride + uint64_t{left} * kPixelBytes;
  for (uint64_t row = 0; row < height; ++row) std::memcpy(target + row * rowBytes, from + row * sourceStride, rowBytes);
  return true;
}

QAVTROIPlacement QAVFROIPlace(uint32_t imageWidth, uint32_t imageHeight, uint32_t width, uint32_t height,
                              QAVTROICenter center) {
  // Signed 64-bit arithmetic: a centre far outside, in either direction, cannot wrap around.
  // Clamping the region's corner (not its centre) keeps odd sizes inside the image as well.
  auto place = [](uint32_t side, uint32_t region, int32_t offset) {
    const int64_t corner = int64_t{side / 2} + offset - int64_t{region / 2};
    return static_cast<uint32_t>(std::clamp<int64_t>(corner, 0, int64_t{side} - region));
  };
  return {place(imageWidth, width, center.x), place(imageHeight, height, center.y)};
}

Ref<QAVCROIExtractor> QAVCROIExtractor::extractorWithGuid(const std::string& guid, const std::string& label,
                                                          const std::string& alias, Ref<MRKCFrame> properties) {
  return adoptRef(new QAVCROIExtractor(guid, label, alias, std::move(properties)));
}

Ref<QAVCROIExtractor> QAVCROIExtractor::extractorWithManifesto(const MRKCManifesto& manifesto) {
  return adoptRef(new QAVCROIExtractor(manifesto));
}

void QAVCROIExtractor::onAttached() {
  QAVBProcessor::onAttached();
  width_ = height_ = 0;
  MRKBTerm* size = MRKFFrameFetchTerm(properties(), "roi.size");
  if (!size) {
    LLKFLog("%s - property 'roi.size' missing", label().c_str());
  } else if (MRKCList* list = asList(size); list && list->count() == 2) {
    width_ = sideOf(list->head());
    height_ = sideOf(list->tail());
  }
  if (size && (width_ == 0 || height_ == 0)) {
    LLKFLog("%s - property 'roi.size' must contains two numbers", label().c_str());
    width_ = height_ = 0;
  }
  QAVTROICenter center;
  if (MRKBTerm* value = MRKFFrameFetchTerm(properties(), "roi.center")) readCenter(value, &center);
  else LLKFLog("%s - property 'roi.center' missing", label().c_str());
  center_.store(center);
}

bool QAVCROIExtractor::readCenter(MRKBTerm* value, QAVTROICenter* center) const {
  MRKCList* list = asList(value);
  if (!list) {
    if (verbose()) LLKFLog("%s - property 'roi.center' only accepts a list as value", label().c_str());
    return false;
  }
  MRKCNumber* x = asNumber(list->head());
  MRKCNumber* y = asNumber(list->tail());
  if (list->count() != 2 || !x || !y) {
    if (verbose()) LLKFLog("%s - property 'roi.center' must contains two numbers", label().c_str());
    return false;
  }
  *center = {coordinateOf(*x), coordinateOf(*y)};
  return true;
}

bool QAVCROIExtractor::onPropertyPoked(const std::string& name, MRKBTerm* value) {
  if (name != "roi.center") return true;
  QAVTROICenter center;
  if (!readCenter(value, &center)) return false;
  center_.store(center);
  return true;
}

void QAVCROIExtractor::onReceivedSquib(MRKCSquib* squib, const std::string& source) {
  forEachImage(squib, source, [this](const QAVTImageStatement& image) { publishImage(process(image).get()); });
}

Ref<MRKCStatement> QAVCROIExtractor::process(const QAVTImageStatement& image) const {
  return guarded([&] { return extract(image); });
}

Ref<MRKCStatement> QAVCROIExtractor::extract(const QAVTImageStatement& image) const {
  if (width_ == 0 || height_ == 0) return nullptr;
  if (image.width < width_ || image.height < height_) {
    if (verbose()) LLKFLog("%s : received image is too small", label().c_str());
    return nullptr;
  }
  const int32_t format = image.pixelFormat;
  if (format != IMKPixelFormatBGR && format != IMKPixelFormatRGB) {
    if (verbose()) LLKFLog("%s : received image of un-supported pixel format", label().c_str());
    return nullptr;
  }
  const QAVTROIPlacement placement = QAVFROIPlace(image.width, image.height, width_, height_, center_.load());
  std::vector<uint8_t> buffer;
  if (!QAVFPixelBufferMake(IMKFImageLength(width_, height_, static_cast<uint32_t>(format)), &buffer)) {
    LLKFLog("%s : out of memory", label().c_str());
    return nullptr;
  }
  QAVFROIExtractorExtract(image.pixels->bytes(), image.width, 0, placement.left, placement.top, width_, height_,
                          buffer.data());
  Ref<MRKCFrame> meta = QAVFImageMetaCopy(image, image.format, width_, height_, buffer.size());
  // "offset.x"/"offset.y" place the original picture in the pixels carried: the region moves it
  // up and left by its corner, so annotations in the picture's own coordinates still land on it.
  const int64_t offsetX = MRKFFrameFetchSint(image.meta, "offset.x", 0) - int64_t{placement.left};
  const int64_t offsetY = MRKFFrameFetchSint(image.meta, "offset.y", 0) - int64_t{placement.top};
  if (!meta || !MRKFFrameStoreUint(meta.get(), "left", placement.left) ||
      !MRKFFrameStoreUint(meta.get(), "top", placement.top) || !MRKFFrameStoreSint(meta.get(), "offset.x", offsetX) ||
      !MRKFFrameStoreSint(meta.get(), "offset.y", offsetY)) {
    LLKFLog("%s : out of memory", label().c_str());
    return nullptr;
  }
  Ref<MRKCBinary> pixels = MRKCBinary::binaryWithValue(std::move(buffer));
  Ref<MRKCStatement> region = QAVFImageStatementMake(outputLabel(), image, meta.get(), pixels.get());
  if (!region) LLKFLog("%s : out of memory", label().c_str());
  return region;
}
