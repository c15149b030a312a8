#include "imagekit/VSKImageSampleFile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "framework/core/LLKBEncoder.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"

namespace {

constexpr uint8_t kMagic[2] = {'B', ' '};
constexpr uint32_t kLargestName = 127;
constexpr uint32_t kLargestGrid = 0xFFFF;

// Floats travel as their little-endian IEEE 754 bits.
void swapToOrFromLittleEndian(float* values, size_t count) {
  if constexpr (std::endian::native == std::endian::big)
    for (size_t i = 0; i < count; ++i)
      values[i] = std::bit_cast<float>(__builtin_bswap32(std::bit_cast<uint32_t>(values[i])));
}

// A float is not finite when its exponent bits are all ones. Blocks of a fixed length let the
// compiler check many values at a time: outlines and patterns are most of a sample's bytes, in
// runs of a few dozen values each.
bool allFinite(const float* values, size_t count) {
  constexpr uint32_t kExponent = 0x7F800000;
  constexpr size_t kBlock = 16;
  auto notFinite = [&](size_t at) {
    uint32_t bits;
    std::memcpy(&bits, values + at, sizeof bits);
    return static_cast<uint32_t>((bits & kExponent) == kExponent);
  };
  uint32_t found = 0;
  size_t i = 0;
  for (; i + kBlock <= count; i += kBlock)
    for (size_t j = 0; j < kBlock; ++j) found |= notFinite(i + j);
  for (; i < count; ++i) found |= notFinite(i);
  return !found;
}

bool encodeFloats(LLKBEncoder& encoder, const float* values, size_t count) {
  if constexpr (std::endian::native == std::endian::little) {
    return encoder.encodeBuffer(values, count * sizeof(float));
  } else {
    for (size_t i = 0; i < count; ++i)
      if (!encoder.encodeUint32(std::bit_cast<uint32_t>(values[i]))) return false;
    return true;
  }
}

// The file's bytes read in order straight from the caller's buffer: a sample is thousands of
// small fields, and reading each through a copied stream cost more than the file's bytes.
// Every read checks what remains; a short one reads nothing.
class SampleBytes {
public:
  SampleBytes(const uint8_t* bytes, size_t length) : at_(bytes), end_(bytes + length) {}
  size_t remaining() const { return static_cast<size_t>(end_ - at_); }
  bool take(void* out, size_t length) {
    if (length > remaining()) return false;
    if (length) std::memcpy(out, at_, length);
    at_ += length;
    return true;
  }
  template <typename Unsigned>
  bool take(Unsigned& value) {
    uint8_t bytes[sizeof(Unsigned)];
    if (!take(bytes, sizeof bytes)) return false;
    value = 0;
    for (size_t i = 0; i < sizeof bytes; ++i)
      value |= static_cast<Unsigned>(static_cast<Unsigned>(bytes[i]) << (8 * i));
    return true;
  }
  // Reads count finite floats; false for a short block or a value that is not finite.
  bool takeFloats(float* values, size_t count) {
    if (!take(values, count * sizeof(float))) return false;
    swapToOrFromLittleEndian(values, count);
    return allFinite(values, count);
  }

private:
  const uint8_t* at_;
  const uint8_t* end_;
};

bool fail(std::string* why, const char* reason) {
  if (why) *why = reason;
  return false;
}

Ref<VSKCImageSample> refuse(std::string* why, const char* reason) {
  fail(why, reason);
  return nullptr;
}

// A record's points as their x, y floats.
float* coordinates(std::pmr::vector<NRKTPoint>& points) { return reinterpret_cast<float*>(points.data()); }
const float* coordinates(const std::pmr::vector<NRKTPoint>& points) {
  return reinterpret_cast<const float*>(points.data());
}

// Why a sample cannot make a file the reader takes; null when it can.
const char* refusal(const VSKCImageSample& sample) {
  if (!VSKFImageSampleNameIsSafe(sample.name())) return "its name is empty, too long or not a plain file name";
  if (!sample.rows() || !sample.cols() || !sample.size() || sample.rows() > kLargestGrid ||
      sample.cols() > kLargestGrid || sample.size() > kLargestGrid)
    return "rows, cols and size must be 1 to 65535";
  if (sample.superpixelCount() > uint64_t(sample.rows()) * sample.cols()) return "more superpixels than grid cells";
  const NRKTPoint offset = sample.offset();
  if (!std::isfinite(offset.x) || !std::isfinite(offset.y)) return "its offset is not finite";
  for (const VSKTSuperpixel& record : sample.superpixels()) {
    if (!allFinite(record.centroid, 2) || !allFinite(record.bbox, 4) || !allFinite(record.colour, 4) ||
        !allFinite(record.lab, 3) || !allFinite(coordinates(record.points), record.points.size() * 2) ||
        !allFinite(record.pattern.data(), record.pattern.size()))
      return "a superpixel holds a number that is not finite";
  }
  return nullptr;
}

bool readRecord(SampleBytes& in, VSKTSuperpixel* record, std::string* why) {
  if (in.remaining() < VSKImageSampleFile::kEntryBytes) return fail(why, "an entry is cut short");
  uint32_t pointCount = 0, patternCount = 0;
  in.take(record->id);
  in.take(record->mask);
  if (!in.takeFloats(record->centroid, 2) || !in.takeFloats(record->bbox, 4) || !in.takeFloats(record->colour, 4) ||
      !in.takeFloats(record->lab, 3))
    return fail(why, "an entry holds a number that is not finite");
  in.take(pointCount);
  // The pattern count still follows the points.
  if (in.remaining() < 4 || uint64_t(pointCount) * sizeof(NRKTPoint) > in.remaining() - 4)
    return fail(why, "an entry announces more points than the file holds");
  record->points.resize(pointCount);
  if (!in.takeFloats(coordinates(record->points), size_t(pointCount) * 2))
    return fail(why, "an outline holds a number that is not finite");
  in.take(patternCount);
  if (uint64_t(patternCount) * sizeof(float) > in.remaining())
    return fail(why, "an entry announces more pattern values than the file holds");
  record->pattern.resize(patternCount);
  if (!in.takeFloats(record->pattern.data(), patternCount))
    return fail(why, "a pattern holds a number that is not finite");
  return true;
}

}  // namespace

bool VSKImageSampleFile::write(const VSKCImageSample& sample, std::vector<uint8_t>* bytes, std::string* why) {
  if (const char* reason = refusal(sample)) return fail(why, reason);
  Ref<LLKBEncoder> encoder = LLKBEncoder::encoder();
  LLKBEncoder& out = *encoder;
  const NRKTPoint offset = sample.offset();
  const float offsetXY[2] = {offset.x, offset.y};
  bool written = out.encodeBuffer(kMagic, sizeof kMagic) &&
                 out.encodeBuffer(sample.objects().data(), kVSKObjectSlots) &&
                 out.encodeUint32(uint32_t(sample.name().size())) &&
                 out.encodeBuffer(sample.name().data(), sample.name().size()) &&
                 out.encodeUint16(uint16_t(sample.feed())) && out.encodeUint16(uint16_t(sample.rows())) &&
                 out.encodeUint16(uint16_t(sample.cols())) && out.encodeUint16(uint16_t(sample.size())) &&
                 encodeFloats(out, offsetXY, 2) && out.encodeUint32(sample.superpixelCount());
  for (auto record = sample.superpixels().begin(); written && record != sample.superpixels().end(); ++record) {
    written =
        out.encodeUint32(record->id) && out.encodeUint32(record->mask) && encodeFloats(out, record->centroid, 2) &&
        encodeFloats(out, record->bbox, 4) && encodeFloats(out, record->colour, 4) &&
        encodeFloats(out, record->lab, 3) && out.encodeUint32(record->pointCount()) &&
        encodeFloats(out, coordinates(record->points), record->points.size() * 2) &&
        out.encodeUint32(record->patternCount()) && encodeFloats(out, record->pattern.data(), record->pattern.size());
  }
  if (!written) return fail(why, "out of memory");
  *bytes = out.stream();
  return true;
}

Ref<VSKCImageSample> VSKImageSampleFile::read(const uint8_t* bytes, size_t length, std::string* why) {
  SampleBytes in(bytes, length);
  Ref<VSKCImageSample> sample = makeRef<VSKCImageSample>();
  uint8_t magic[2] = {};
  if (!in.take(magic, 2) || std::memcmp(magic, kMagic, 2) != 0)
    return refuse(why, "it does not start with the sample file's mark");
  uint32_t nameLength = 0;
  if (!in.take(sample->objects_.data(), kVSKObjectSlots) || !in.take(nameLength))
    return refuse(why, "it is cut short in its header");
  if (nameLength < 1 || nameLength > kLargestName) return refuse(why, "its name length is not 1 to 127");
  sample->name_.resize(nameLength);
  if (!in.take(sample->name_.data(), nameLength)) return refuse(why, "its name is cut short");
  if (!VSKFImageSampleNameIsSafe(sample->name_)) return refuse(why, "its name is not a plain file name");

  uint16_t feed = 0, rows = 0, cols = 0, size = 0;
  float offset[2] = {};
  uint32_t count = 0;
  if (!in.take(feed) || !in.take(rows) || !in.take(cols) || !in.take(size) || in.remaining() < sizeof offset + 4)
    return refuse(why, "it is cut short in its header");
  if (!in.takeFloats(offset, 2)) return refuse(why, "its offset is not finite");
  in.take(count);
  if (!rows || !cols || !size) return refuse(why, "its rows, cols or size is 0");
  if (count > uint32_t(rows) * cols) return refuse(why, "it announces more superpixels than grid cells");
  if (uint64_t(count) * kEntryBytes > in.remaining()) return refuse(why, "it announces more superpixels than it holds");

  sample->feed_ = feed;
  sample->rows_ = rows;
  sample->cols_ = cols;
  sample->size_ = size;
  sample->offset_ = {offset[0], offset[1]};
  // The bytes left bound what the outlines and patterns take.
  std::pmr::memory_resource* memory = sample->recordMemory(in.remaining());
  sample->superpixels_.reserve(count);
  for (uint32_t i = 0; i < count; ++i)
    if (!readRecord(in, &sample->superpixels_.emplace_back(memory), why)) return nullptr;
  sample->markUnchanged();
  return sample;
}

Ref<VSKCImageSample> VSKCImageSample::sampleFromBytes(const uint8_t* bytes, size_t length, std::string* why) {
  return VSKImageSampleFile::read(bytes, length, why);
}

Ref<VSKCImageSample> VSKCImageSample::sampleFromPath(const std::string& path) {
  std::string contents, why;
  if (!LLKFReadFile(path.c_str(), contents)) {
    LLKFLog("VSKCImageSample - cannot read %s", path.c_str());
    return nullptr;
  }
  Ref<VSKCImageSample> sample =
      VSKImageSampleFile::read(reinterpret_cast<const uint8_t*>(contents.data()), contents.size(), &why);
  if (!sample) LLKFLog("VSKCImageSample - %s is not a sample file: %s", path.c_str(), why.c_str());
  if (sample) sample->file_ = path;
  return sample;
}

bool VSKCImageSample::encodeToBytes(std::vector<uint8_t>* bytes, std::string* why) const {
  return bytes && VSKImageSampleFile::write(*this, bytes, why);
}

bool VSKCImageSample::encode(const std::string& path) const {
  std::vector<uint8_t> bytes;
  std::string why;
  if (!encodeToBytes(&bytes, &why)) {
    LLKFLog("VSKCImageSample - %s not written: %s", path.c_str(), why.c_str());
    return false;
  }
  if (!LLKFWriteFileAtomically(path.c_str(), bytes.data(), bytes.size())) {
    LLKFLog("VSKCImageSample - %s could not be written", path.c_str());
    return false;
  }
  return true;
}
