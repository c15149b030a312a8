#include "modules/vision/statement/QAVFImageStatement.h"

#include <limits>

#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKFImageFormat.h"

namespace {

// A meta number that must be a positive 32-bit count; 0 when it is not.
uint32_t dimensionOf(const MRKCFrame* meta, std::string_view label) {
  uint64_t value = MRKFFrameFetchUint(meta, label, 0);
  return value <= std::numeric_limits<uint32_t>::max() ? static_cast<uint32_t>(value) : 0;
}

}  // namespace

int32_t QAVFImagePixelFormatNamed(const MRKCSymbol* name) {
  static const MRKTFlagName kNames[] = {
      {"mjpeg", IMKPixelFormatJPEG}, {"rgb", IMKPixelFormatRGB},   {"rgba", IMKPixelFormatRGBA},
      {"bgr", IMKPixelFormatBGR},    {"bgra", IMKPixelFormatBGRA},
  };
  constexpr uint64_t kUnknown = std::numeric_limits<uint64_t>::max();
  uint64_t number = MRKFDecodeTermAsFlagWithDefault(name, kNames, std::size(kNames), kUnknown);
  return number == kUnknown ? -1 : static_cast<int32_t>(number);
}

bool QAVFImageBytesSuffice(uint32_t width, uint32_t height, int32_t pixelFormat, uint64_t length) {
  if (pixelFormat < 0 || pixelFormat > static_cast<int32_t>(IMKPixelFormatARGB)) return false;
  const uint64_t decoded = IMKFImageLength(width, height, static_cast<uint32_t>(pixelFormat));
  if (pixelFormat != static_cast<int32_t>(IMKPixelFormatJPEG)) return length >= decoded;
  return length > 0 && IMKFImageSizeIsPlausible(decoded, length);
}

QAVTImageCheck QAVFImageStatementRead(MRKBTerm* term, QAVTImageStatement* image) {
  MRKCStatement* statement = asStatement(term);
  if (!statement || !image || statement->terms()->count() != 4) return kQAVImageMalformed;
  MRKCList* terms = statement->terms();
  QAVTImageStatement read;
  read.statement = statement;
  read.head = terms->fetchAtIndex(0);
  read.meta = asFrame(terms->fetchAtIndex(1));
  read.pixels = asBinary(terms->fetchAtIndex(2));
  read.ancillary = asFrame(terms->fetchAtIndex(3));
  if (!read.head || !read.meta || !read.pixels || !read.ancillary) return kQAVImageMalformed;
  read.format = MRKFFrameFetchSymbol(read.meta, "format");
  read.width = dimensionOf(read.meta, "width");
  read.height = dimensionOf(read.meta, "height");
  if (!read.format || read.width == 0 || read.height == 0) return kQAVImageMalformed;
  read.pixelFormat = QAVFImagePixelFormatNamed(read.format);
  if (read.pixelFormat >= 0 && !QAVFImageBytesSuffice(read.width, read.height, read.pixelFormat, read.pixels->length()))
    return kQAVImageShortPixels;
  *image = read;
  return kQAVImageValid;
}

Ref<MRKCFrame> QAVFImageMetaCopy(const QAVTImageStatement& image, MRKCSymbol* format, uint32_t width, uint32_t height,
                                 uint64_t length) {
  if (!image.meta || !format) return nullptr;
  try {
    Ref<MRKCFrame> meta = image.meta->copy();
    if (!meta || meta->store(format, "format") != 0 || !MRKFFrameStoreUint(meta.get(), "width", width) ||
        !MRKFFrameStoreUint(meta.get(), "height", height) || !MRKFFrameStoreUint(meta.get(), "length", length))
      return nullptr;
    return meta;
  } catch (...) {
    return nullptr;
  }
}

Ref<MRKCStatement> QAVFImageStatementMake(std::string_view label, const QAVTImageStatement& image, MRKCFrame* meta,
                                          MRKCBinary* pixels) {
  if (!image.statement) return nullptr;
  try {
    return MRKFMakeStatementWith4Terms(label, image.head, meta, pixels, image.ancillary, image.statement->value());
  } catch (...) {
    return nullptr;
  }
}

bool QAVFPixelBufferMake(uint64_t length, std::vector<uint8_t>* buffer) {
  if (!buffer || length > std::numeric_limits<size_t>::max()) return false;
  try {
    std::vector<uint8_t> made(static_cast<size_t>(length));
    buffer->swap(made);
    return true;
  } catch (...) {
    return false;
  }
}
