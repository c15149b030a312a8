// The ".bin" reader on any bytes: it answers a sample or refuses, never crashes. A sample it
// reads encodes back to exactly the bytes it read (the file's own prefix: bytes after the last
// entry are not read) and reads back equal; rendering it and uniting each object's outlines stay
// within their buffers, and the image its superpixels cover is at most the 16-bit grid's.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imagekit/VSKCImageSample.h"
#include "imagekit/VSKFPolygon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromBytes(data, size);
  if (!sample) return 0;

  std::vector<uint8_t> encoded;
  if (!sample->encodeToBytes(&encoded)) std::abort();  // the writer takes what the reader took
  if (encoded.size() > size || std::memcmp(encoded.data(), data, encoded.size()) != 0) std::abort();
  Ref<VSKCImageSample> again = VSKCImageSample::sampleFromBytes(encoded.data(), encoded.size());
  if (!again || again->superpixels() != sample->superpixels() || again->objects() != sample->objects()) std::abort();

  const VSKTImageExtent extent = sample->imageExtent();
  if (extent.width > UINT16_MAX || extent.height > UINT16_MAX) std::abort();

  std::vector<uint8_t> rgba(size_t(40) * 30 * 4);
  sample->render(rgba.data(), 40, 30);
  for (uint32_t n = 1; n <= kVSKObjectSlots; ++n) {
    Ref<LLKCObjectDeque> outlines = sample->polygonsForObject(n);
    Ref<LLKCObjectDeque> united = LLKCObjectDeque::deque();
    if (outlines && outlines->count()) VSKFPolygonsUnion(outlines.get(), united.get());
  }
  return 0;
}
