#include "imagekit/VSKCImageSample.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFUniqueString.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFColor.h"

namespace {

// The fields of the segmenter's 24-byte superpixel record that a sample reads.
enum : size_t { kId = 0, kCx = 1, kCy = 2, kBlue = 5, kGreen = 6, kRed = 7, kLeft = 8, kTop, kRight, kBottom, kFields };

// The data of one list entry, when it has all three parts in their formats.
bool readEntry(MRKBTerm* entry, VSKTSuperpixel* record) {
  MRKCFrame* frame = asFrame(entry);
  const MRKCData* supixel = asData(MRKFFrameFetchTerm(frame, "supixel"));
  const MRKCData* polygon = asData(MRKFFrameFetchTerm(frame, "polygon"));
  const MRKCData* pattern = asData(MRKFFrameFetchTerm(frame, "pattern"));
  if (!supixel || !polygon || !pattern || supixel->format() != kMRKDataSint16 || supixel->count() < kFields ||
      polygon->format() != kMRKDataSint16 || pattern->format() != kMRKDataReal32)
    return false;

  int16_t f[kFields];
  std::memcpy(f, supixel->buffer(), sizeof f);
  record->id = static_cast<uint32_t>(f[kId]);
  record->centroid[0] = f[kCx];
  record->centroid[1] = f[kCy];
  record->bbox[0] = f[kLeft];
  record->bbox[1] = f[kTop];
  record->bbox[2] = f[kRight];
  record->bbox[3] = f[kBottom];
  const uint8_t red = static_cast<uint8_t>(f[kRed]), green = static_cast<uint8_t>(f[kGreen]),
                blue = static_cast<uint8_t>(f[kBlue]);
  IMKFColorRgb2Lab(red, green, blue, record->lab);
  record->colour[0] = float(f[kRed]) / 255.0f;
  record->colour[1] = float(f[kGreen]) / 255.0f;
  record->colour[2] = float(f[kBlue]) / 255.0f;
  record->colour[3] = 1.0f;

  const size_t points = polygon->count() / 2;
  record->points.resize(points);
  const auto* pairs = static_cast<const uint8_t*>(polygon->buffer());
  for (size_t k = 0; k < points; ++k) {
    int16_t xy[2];
    std::memcpy(xy, pairs + k * sizeof xy, sizeof xy);
    record->points[k] = {float(xy[0]), float(xy[1])};
  }
  record->pattern.resize(pattern->count());
  if (!record->pattern.empty())
    std::memcpy(record->pattern.data(), pattern->buffer(), pattern->count() * sizeof(float));
  return true;
}

}  // namespace

std::pmr::memory_resource* VSKCImageSample::recordMemory(size_t bytes) {
  if (!arena_) arena_.emplace(std::max<size_t>(bytes, 1024));
  return &*arena_;
}

// Floats compared bit for bit, as a file keeps them.
bool VSKTSuperpixel::operator==(const VSKTSuperpixel& other) const {
  auto same = [](const void* a, const void* b, size_t length) { return length == 0 || std::memcmp(a, b, length) == 0; };
  return id == other.id && mask == other.mask && same(lab, other.lab, sizeof lab) &&
         same(colour, other.colour, sizeof colour) && same(bbox, other.bbox, sizeof bbox) &&
         same(centroid, other.centroid, sizeof centroid) && points.size() == other.points.size() &&
         same(points.data(), other.points.data(), points.size() * sizeof(NRKTPoint)) &&
         pattern.size() == other.pattern.size() &&
         same(pattern.data(), other.pattern.data(), pattern.size() * sizeof(float));
}

Ref<VSKCImageSample> VSKCImageSample::sampleFromStatement(const MRKCStatement* statement, const std::string& name,
                                                          uint32_t feed) {
  MRKCList* terms = statement ? statement->terms() : nullptr;
  MRKCFrame* meta = terms ? asFrame(terms->fetchAtIndex(1)) : nullptr;
  MRKCFrame* ancillary = terms ? asFrame(terms->tail()) : nullptr;
  if (!meta || !ancillary) return nullptr;
  MRKCList* list = asList(MRKFFrameFetchTerm(ancillary, "superpixels"));
  const size_t count = list ? list->count() : 0;
  const uint64_t rows = MRKFFrameFetchUint(ancillary, "rows", 0);
  const uint64_t cols = MRKFFrameFetchUint(ancillary, "cols", 0);
  const uint64_t size = MRKFFrameFetchUint(ancillary, "size", 0);
  if (count != rows * cols) LLKFLog("missing %u SP for %s", static_cast<unsigned>(count), name.c_str());
  if (!rows || !cols || !size || rows > UINT32_MAX || cols > UINT32_MAX || size > UINT32_MAX || name.empty())
    return nullptr;

  Ref<VSKCImageSample> sample = makeRef<VSKCImageSample>();
  sample->offset_ = {float(MRKFFrameFetchSint(meta, "offset.x", 0)), float(MRKFFrameFetchSint(meta, "offset.y", 0))};
  sample->coco_ = Ref<MRKCFrame>(asFrame(MRKFFrameFetchTerm(ancillary, "coco")));
  sample->feed_ = feed;
  sample->name_ = name;
  sample->rows_ = uint32_t(rows);
  sample->cols_ = uint32_t(cols);
  sample->size_ = uint32_t(size);
  // About what the segmenter's outlines and patterns take at its usual sizes.
  std::pmr::memory_resource* memory = sample->recordMemory(count * 512);
  sample->superpixels_.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    VSKTSuperpixel& record = sample->superpixels_.emplace_back(memory);
    if (!readEntry(list->fetchAtIndex(i), &record)) {
      record = VSKTSuperpixel{};
      LLKFLog("sp %u is empty", static_cast<unsigned>(i));
    }
  }
  return sample;
}

Ref<VSKCImageSample> VSKCImageSample::clone() const {
  Ref<LLKCString> name = LLKFUniqueStringWithLength(16);
  Ref<VSKCImageSample> copy = makeRef<VSKCImageSample>();
  copy->coco_ = coco_;
  copy->feed_ = feed_;
  copy->name_ = name->string();
  copy->rows_ = rows_;
  copy->cols_ = cols_;
  copy->size_ = size_;
  copy->offset_ = offset_;
  copy->superpixels_ = superpixels_;
  copy->markUnchanged();
  return copy;
}

void VSKCImageSample::reset() {
  objects_.fill(0);
  for (VSKTSuperpixel& record : superpixels_) record.mask = 0;
}

void VSKCImageSample::markUnchanged() {
  unchangedObjects_ = objects_;
  try {
    unchangedMasks_.resize(superpixels_.size());
    for (size_t i = 0; i < superpixels_.size(); ++i) unchangedMasks_[i] = superpixels_[i].mask;
  } catch (const std::bad_alloc&) {
    // Out of memory: revert then frees every mask rather than give back a part of them.
    unchangedMasks_.clear();
  }
  touched_ = false;
}

void VSKCImageSample::revert() {
  objects_ = unchangedObjects_;
  for (size_t i = 0; i < superpixels_.size(); ++i)
    superpixels_[i].mask = i < unchangedMasks_.size() ? unchangedMasks_[i] : 0;
  touched_ = false;
}

uint32_t VSKCImageSample::labeled() const {
  return static_cast<uint32_t>(
      std::count_if(objects_.begin(), objects_.end(), [](uint8_t label) { return label != 0; }));
}

VSKTImageExtent VSKCImageSample::imageExtent() const {
  float right = -1, bottom = -1;
  for (const VSKTSuperpixel& record : superpixels_) {
    if (record.id == kVSKEmptySuperpixel) continue;
    right = std::max(right, record.bbox[2]);
    bottom = std::max(bottom, record.bbox[3]);
  }
  // Boxes are whole pixels of a 16-bit grid: their edges fit the extent's type.
  if (right < 0 || bottom < 0 || right >= float(UINT16_MAX) || bottom >= float(UINT16_MAX)) return {};
  return {static_cast<uint32_t>(right) + 1, static_cast<uint32_t>(bottom) + 1};
}

bool VSKFImageSampleNameIsSafe(std::string_view name) {
  return !name.empty() && name.size() <= 127 && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}
