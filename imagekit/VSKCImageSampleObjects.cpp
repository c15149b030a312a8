// The sample's objects: COCO annotations mapped onto superpixels, the superpixels painted into
// pixels, and the outlines of one object.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/VSKCImageSample.h"
#include "imagekit/VSKFPolygon.h"

namespace {

// The mapping builds each outline in a buffer of 2047 points: 2046 and the closing one.
constexpr size_t kLargestPolygonValues = 4093;

struct Bounds {
  float left, top, right, bottom;
  bool mayHold(const float point[2]) const {
    constexpr float kTolerance = 0.1f;  // the point test's boundary
    return point[0] >= left - kTolerance && point[0] <= right + kTolerance && point[1] >= top - kTolerance &&
           point[1] <= bottom + kTolerance;
  }
};

// An annotation polygon's numbers as a closed outline moved by the offset; a trailing odd value is
// ignored, as annotation tools write one now and then. False, with the reason, for numbers that are
// not an outline: a value that is not a number, or a point that is not finite as a float. A point
// anywhere else is taken, however far outside the image.
bool outlineOf(const MRKCList& values, NRKTPoint offset, std::vector<NRKTPoint>* outline, Bounds* bounds,
               const char** why) {
  const size_t count = values.count();
  outline->clear();
  *bounds = {INFINITY, INFINITY, -INFINITY, -INFINITY};
  for (size_t k = 0; k + 1 < count; k += 2) {
    const MRKCNumber* x = asNumber(values.fetchAtIndex(k));
    const MRKCNumber* y = asNumber(values.fetchAtIndex(k + 1));
    if (!x || !y) return *why = "a coordinate that is not a number", false;
    const NRKTPoint point{float(double(offset.x) + x->real()), float(double(offset.y) + y->real())};
    if (!std::isfinite(point.x) || !std::isfinite(point.y)) return *why = "a coordinate that is not finite", false;
    outline->push_back(point);
    *bounds = {std::min(bounds->left, point.x), std::min(bounds->top, point.y), std::max(bounds->right, point.x),
               std::max(bounds->bottom, point.y)};
  }
  outline->push_back(outline->front());
  return true;
}

// The annotations skipped for their "area", named "group"[index] and said in one line per
// sample, at most kNamed of each reason: a COCO file may hold thousands of small ones.
class AreaSkips {
public:
  void note(const MRKCFrame& annotation, const std::string& group, size_t index, float threshold) {
    MRKBTerm* area = MRKFFrameFetchTerm(&annotation, "area");
    std::vector<std::string>& names = !area ? missing_ : !asNumber(area) ? notNumbers_ : tooSmall_;
    names.push_back("\"" + group + "\"[" + std::to_string(index) + "]");
    threshold_ = threshold;
  }
  void say(const std::string& sample) const {
    const size_t count = missing_.size() + notNumbers_.size() + tooSmall_.size();
    if (count == 0) return;
    char limit[48];
    std::snprintf(limit, sizeof limit, "%g", double(threshold_));
    std::string line;
    append(line, "without \"area\"", missing_);
    append(line, "with an \"area\" that is not a number", notNumbers_);
    append(line, std::string("with an \"area\" not above ") + limit + " (the superpixel size squared)", tooSmall_);
    LLKFLog("VSKCImageSample - %s: %zu annotation%s skipped, %s", sample.c_str(), count, count == 1 ? "" : "s",
            line.c_str());
  }

private:
  static constexpr size_t kNamed = 10;
  static void append(std::string& line, const std::string& why, const std::vector<std::string>& names) {
    if (names.empty()) return;
    line += (line.empty() ? "" : "; ") + why + ":";
    for (size_t i = 0; i < names.size() && i < kNamed; ++i) line += (i ? ", " : " ") + names[i];
    if (names.size() > kNamed) line += " and " + std::to_string(names.size() - kNamed) + " more";
  }
  std::vector<std::string> missing_, notNumbers_, tooSmall_;
  float threshold_ = 0;
};

// A colour component in 0..1 as its byte: times 255, truncated, the low 8 bits.
uint8_t colourByte(float component) {
  return static_cast<uint8_t>(static_cast<int64_t>(std::clamp(double(component) * 255.0, -2147483648.0, 2147483647.0)));
}

}  // namespace

void VSKCImageSample::processCocoDataWithLabels(const LLKCData* labels) {
  if (!coco_ || coco_->count() == 0) return;
  const size_t entries = labels ? labels->length() / sizeof(uint32_t) : 0;
  const float threshold = float(uint32_t(size_ * size_));
  const size_t groups = std::min<size_t>(coco_->count(), kVSKObjectSlots);
  std::vector<NRKTPoint> outline;
  AreaSkips skipped;
  uint32_t slot = 0;

  for (size_t g = 0; g < groups; ++g) {
    const auto& [key, value] = coco_->members()[g];
    const MRKCList* group = asList(value.get());
    if (!group) {
      LLKFLog("VSKCImageSample - %s: annotation group \"%s\" is not a list, skipped", name_.c_str(), key.c_str());
      continue;
    }
    if (group->count() == 0) continue;
    const uint64_t ctid = MRKFFrameFetchUint(asFrame(group->fetchAtIndex(0)), "ctid", 0);
    if (ctid >= entries) continue;
    const uint32_t bit = 1u << slot;
    bool hit = false;

    for (size_t index = 0; index < group->count(); ++index) {
      const MRKCFrame* annotation = asFrame(group->fetchAtIndex(index));
      if (!annotation) {
        LLKFLog("VSKCImageSample - %s: an annotation of \"%s\" is not an object, skipped", name_.c_str(), key.c_str());
        continue;
      }
      const double area = MRKFFrameFetchReal(annotation, "area", 0.0);
      // Too small to cover a superpixel, or no area given: skipped, and said once at the end.
      if (!(float(area) > threshold)) {
        skipped.note(*annotation, key, index, threshold);
        continue;
      }
      MRKBTerm* polyTerm = MRKFFrameFetchTerm(annotation, "poly");
      const MRKCList* polygons = asList(polyTerm);
      if (!polygons) {
        if (polyTerm)
          LLKFLog("VSKCImageSample - %s: \"poly\" of \"%s\" is not a list, skipped", name_.c_str(), key.c_str());
        continue;
      }
      for (const auto& polygonTerm : polygons->terms()) {
        const MRKCList* values = asList(polygonTerm.get());
        if (!values) {
          LLKFLog("VSKCImageSample - %s: a polygon of \"%s\" is not a list, skipped", name_.c_str(), key.c_str());
          continue;
        }
        if (values->count() > kLargestPolygonValues) {
          LLKFLog("polygon too large! %u (%s)", static_cast<unsigned>(values->count() / 2), name_.c_str());
          continue;
        }
        if (values->count() < 2) continue;
        Bounds bounds;
        const char* why = nullptr;
        if (!outlineOf(*values, offset_, &outline, &bounds, &why)) {
          LLKFLog("VSKCImageSample - %s: a polygon of \"%s\" has %s, skipped", name_.c_str(), key.c_str(), why);
          continue;
        }
        for (VSKTSuperpixel& record : superpixels_) {
          if (record.id == kVSKEmptySuperpixel || !bounds.mayHold(record.centroid)) continue;
          const NRKTPoint centroid{record.centroid[0], record.centroid[1]};
          if (VSKFPolygonLocatePoint(outline.data(), uint32_t(outline.size()), centroid) != 0) {
            record.mask |= bit;
            hit = true;
          }
        }
      }
    }
    if (hit) {
      uint32_t label = 0;
      std::memcpy(&label, labels->bytes() + ctid * sizeof label, sizeof label);
      objects_[slot++] = static_cast<uint8_t>(label);
    }
  }
  skipped.say(name_);
}

void VSKCImageSample::render(uint8_t* rgba, uint32_t width, uint32_t height) const {
  if (!rgba || !width || !height) return;
  std::memset(rgba, 0xFF, size_t(width) * height * 4);
  for (const VSKTSuperpixel& record : superpixels_) {
    if (record.points.empty()) continue;
    const uint8_t colour[4] = {colourByte(record.colour[0]), colourByte(record.colour[1]), colourByte(record.colour[2]),
                               255};
    if (colour[0] == 255 && colour[1] == 255 && colour[2] == 255) continue;
    // The box, clamped to the pixels (a box from a file may lie anywhere).
    const double left = std::max(std::trunc(double(record.bbox[0])), 0.0);
    const double top = std::max(std::trunc(double(record.bbox[1])), 0.0);
    const double right = std::min(double(record.bbox[2]), double(width - 1));
    const double bottom = std::min(double(record.bbox[3]), double(height - 1));
    if (!(left <= right && top <= bottom)) continue;
    VSKFPolygonFillRows(record.points.data(), record.points.size(), uint32_t(left), uint32_t(top), uint32_t(right),
                        uint32_t(bottom), [&](uint32_t y, uint32_t from, uint32_t to) {
                          uint8_t* pixel = rgba + (size_t(y) * width + from) * 4;
                          for (uint32_t x = from; x <= to; ++x, pixel += 4) std::memcpy(pixel, colour, 4);
                        });
  }
}

Ref<LLKCObjectDeque> VSKCImageSample::polygonsForObject(uint32_t n) const {
  if (n == 0 || n > kVSKObjectSlots || objects_[n - 1] == 0) return LLKCObjectDeque::deque();
  const uint32_t bit = 1u << (n - 1);
  const size_t members = size_t(std::count_if(superpixels_.begin(), superpixels_.end(),
                                              [bit](const VSKTSuperpixel& record) { return record.mask & bit; }));
  Ref<LLKCObjectDeque> deque = LLKCObjectDeque::dequeWithCapacity(members);
  if (!deque) return nullptr;
  for (const VSKTSuperpixel& record : superpixels_) {
    if (!(record.mask & bit)) continue;
    Ref<NRKCPolygon> polygon = NRKCPolygon::polygonWithLength(record.pointCount(), record.points.data());
    if (!polygon || deque->append(polygon) != 0) return nullptr;
  }
  return deque;
}
