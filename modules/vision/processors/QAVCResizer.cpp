#include "modules/vision/processors/QAVCResizer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKCBitmap.h"
#include "imagekit/IMKFImageConvert.h"

namespace {

// Canvas sides stay within the image kit's signed coordinates.
constexpr uint64_t kLargestSide = std::numeric_limits<int32_t>::max();

uint32_t sideOf(MRKBTerm* term) {
  MRKCNumber* number = asNumber(term);
  uint64_t value = number ? number->uint() : 0;
  return value <= kLargestSide ? static_cast<uint32_t>(value) : 0;
}

uint8_t byteOf(MRKBTerm* term) {
  MRKCNumber* number = asNumber(term);
  return number ? static_cast<uint8_t>(std::clamp<int64_t>(number->sint(), 0, 255)) : 0;
}

}  // namespace

bool QAVFCanvasPadAround(IMKCBitmap& canvas, const IMKTRect& covered, const uint8_t color[3]) {
  // The colour goes only where the received image does not: one row is filled as the kit fills
  // (pixel by pixel, in the canvas's format) and its bytes are copied into the margins.
  const uint32_t width = canvas.width(), height = canvas.height();
  if (covered.size.w == width && covered.size.h == height) return true;
  Ref<IMKCBitmap> row = IMKCBitmap::bitmapWithWidth(width, 1, canvas.format());
  if (!row) return false;
  row->fillWithColor(color);
  const uint64_t rowBytes = uint64_t{width} * 3;
  const uint64_t left = uint64_t(covered.origin.x) * 3, right = left + uint64_t{covered.size.w} * 3;
  for (uint64_t y = 0; y < height; ++y) {
    uint8_t* target = canvas.bytes() + y * rowBytes;
    const bool beside = y >= uint64_t(covered.origin.y) && y < uint64_t(covered.origin.y) + covered.size.h;
    if (!beside) {
      std::memcpy(target, row->bytes(), rowBytes);
      continue;
    }
    std::memcpy(target, row->bytes(), left);
    std::memcpy(target + right, row->bytes() + right, rowBytes - right);
  }
  return true;
}

Ref<QAVCResizer> QAVCResizer::resizerWithGuid(const std::string& guid, const std::string& label,
                                              const std::string& alias, Ref<MRKCFrame> properties) {
  return adoptRef(new QAVCResizer(guid, label, alias, std::move(properties)));
}

Ref<QAVCResizer> QAVCResizer::resizerWithManifesto(const MRKCManifesto& manifesto) {
  return adoptRef(new QAVCResizer(manifesto));
}

void QAVCResizer::onAttached() {
  QAVBProcessor::onAttached();
  width_ = height_ = 0;
  MRKBTerm* size = MRKFFrameFetchTerm(properties(), "size");
  if (!size) {
    LLKFLog("%s - property 'size' missing", label().c_str());
  } else if (MRKCList* list = asList(size); list && list->count() == 2) {
    width_ = sideOf(list->head());
    height_ = sideOf(list->tail());
  }
  if (size && (width_ == 0 || height_ == 0)) {
    LLKFLog("%s - property 'size' must contains two numbers", label().c_str());
    width_ = height_ = 0;
  }
  std::fill(std::begin(color_), std::end(color_), 0);
  MRKBTerm* given = MRKFFrameFetchTerm(properties(), "color");
  MRKCList* color = asList(given);
  if (!color) {
    if (given)
      LLKFLog("%s - property 'color' must be a list of three numbers, not %s", label().c_str(), given->text().c_str());
    else LLKFLog("%s - property 'color' missing", label().c_str());
    return;
  }
  for (size_t i = 0; i < 3; ++i) color_[i] = byteOf(color->fetchAtIndex(i));
}

void QAVCResizer::onReceivedSquib(MRKCSquib* squib, const std::string& source) {
  forEachImage(squib, source, [this](const QAVTImageStatement& image) { publishImage(process(image).get()); });
}

Ref<MRKCStatement> QAVCResizer::process(const QAVTImageStatement& image) const {
  return guarded([&] { return resize(image); });
}

Ref<MRKCStatement> QAVCResizer::resize(const QAVTImageStatement& image) const {
  const int32_t format = image.pixelFormat;
  if (format != IMKPixelFormatBGR && format != IMKPixelFormatRGB) return nullptr;
  if (width_ == 0 || height_ == 0 || image.width > kLargestSide || image.height > kLargestSide) return nullptr;
  const std::string output = outputLabel();
  if (image.width == width_ && image.height == height_)
    return MRKCStatement::statementWithLabel(output, image.statement->terms(), image.statement->value());

  // The canvas's pixels are the buffer that the published binary takes over, so they are
  // written once and never copied again.
  std::vector<uint8_t> buffer;
  if (!QAVFPixelBufferMake(IMKFImageLength(width_, height_, static_cast<uint32_t>(format)), &buffer)) {
    LLKFLog("%s : out of memory", label().c_str());
    return nullptr;
  }
  Ref<IMKCBitmap> canvas = IMKCBitmap::bitmapWithWidth(
      width_, height_, format, LLKCData::dataWithBytesNoCopy(buffer.data(), buffer.size(), false));
  // The received pixels are only read.
  Ref<IMKCBitmap> received = IMKCBitmap::bitmapWithWidth(
      image.width, image.height, format,
      LLKCData::dataWithBytesNoCopy(const_cast<uint8_t*>(image.pixels->bytes()), image.pixels->length(), false));
  if (!canvas || !received) {
    LLKFLog("%s : out of memory", label().c_str());
    return nullptr;
  }
  const uint32_t copiedWidth = std::min(image.width, width_), copiedHeight = std::min(image.height, height_);
  const IMKTPoint from{static_cast<int32_t>(image.width / 2 - copiedWidth / 2),
                       static_cast<int32_t>(image.height / 2 - copiedHeight / 2)};
  const IMKTPoint to{static_cast<int32_t>(width_ / 2 - copiedWidth / 2),
                     static_cast<int32_t>(height_ / 2 - copiedHeight / 2)};
  if (!QAVFCanvasPadAround(*canvas, IMKTRect{to, IMKTSize{copiedWidth, copiedHeight}}, color_) ||
      canvas->copy(IMKTRect{from, IMKTSize{copiedWidth, copiedHeight}}, *received, to) != 0)
    return nullptr;
  canvas.reset();
  received.reset();

  Ref<MRKCFrame> meta = QAVFImageMetaCopy(image, image.format, width_, height_, buffer.size());
  if (!meta || !MRKFFrameStoreSint(meta.get(), "offset.x", int64_t{to.x} - from.x) ||
      !MRKFFrameStoreSint(meta.get(), "offset.y", int64_t{to.y} - from.y)) {
    LLKFLog("%s : out of memory", label().c_str());
    return nullptr;
  }
  Ref<MRKCBinary> pixels = MRKCBinary::binaryWithValue(std::move(buffer));
  Ref<MRKCStatement> resized = QAVFImageStatementMake(output, image, meta.get(), pixels.get());
  if (!resized) LLKFLog("%s : out of memory", label().c_str());
  return resized;
}
