#include "app/vision/VSKFLabelingInteraction.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "imagekit/VSKFPolygon.h"

namespace {
constexpr uint32_t kContourPoints = 64;

bool inBox(const VSKTSuperpixel& record, NRKTPoint p) {
  return p.x >= record.bbox[0] && p.x <= record.bbox[2] && p.y >= record.bbox[1] && p.y <= record.bbox[3];
}

bool similar(const VSKTSuperpixel& hit, const VSKTSuperpixel& other, double threshold) {
  // Patterns of unequal length are compared over the shorter one, so no read runs past either.
  const uint32_t n = std::min(hit.patternCount(), other.patternCount());
  if (!(static_cast<double>(VSKFLabelingPatternDistance(hit.pattern.data(), other.pattern.data(), n)) <
        kVSKLabelingPatternLimit))
    return false;
  return static_cast<double>(VSKFLabelingColorDistance(hit.lab, other.lab)) <= threshold;
}

void flood(VSKCImageSample& sample, uint32_t index, uint32_t bit, bool clear, const VSKTLabelingState& state) {
  std::vector<VSKTSuperpixel>& records = sample.superpixels();
  const auto count = static_cast<int64_t>(records.size());
  const auto rows = static_cast<int64_t>(sample.rows()), cols = static_cast<int64_t>(sample.cols());
  const auto r = static_cast<int64_t>(index) / cols, c = static_cast<int64_t>(index) % cols;
  const auto reach = static_cast<int64_t>(state.proximity);
  const VSKTSuperpixel& hit = records[index];
  for (int64_t dr = -reach; dr <= reach; ++dr) {
    for (int64_t dc = -reach; dc <= reach; ++dc) {
      if (dr == 0 && dc == 0) continue;
      if (r + dr < 0 || r + dr >= rows || c + dc < 0 || c + dc >= cols) continue;
      const int64_t n = (r + dr) * cols + (c + dc);
      if (n >= count) continue;
      VSKTSuperpixel& other = records[static_cast<size_t>(n)];
      if (!similar(hit, other, state.threshold)) continue;
      other.mask = clear ? other.mask & ~bit : other.mask | bit;
    }
  }
}
}  // namespace

float VSKFLabelingColorDistance(const float a[3], const float b[3]) {
  const float c1 = std::sqrt(a[1] * a[1] + a[2] * a[2]);
  const float c2 = std::sqrt(b[1] * b[1] + b[2] * b[2]);
  const float dl = a[0] - b[0];
  const float dc = c1 - c2;
  const float dh2 = (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]) - dc * dc;
  const float dh = dh2 < 0 ? 0.0f : std::sqrt(dh2);
  const auto sc = static_cast<float>(1.0 + 0.045 * static_cast<double>(c1));
  const auto sh = static_cast<float>(1.0 + 0.015 * static_cast<double>(c1));
  return std::sqrt(dl * dl + (dc / sc) * (dc / sc) + (dh / sh) * (dh / sh));
}

float VSKFLabelingPatternDistance(const float* p, const float* q, uint32_t n) {
  float sum = 0;
  for (uint32_t i = 0; i < n; ++i) sum += (p[i] - q[i]) * (p[i] - q[i]);
  return std::sqrt(sum);
}

uint32_t VSKFLabelingClampProximity(double value) {
  if (!(value >= kVSKLabelingProximityMin)) return kVSKLabelingProximityMin;
  if (value >= kVSKLabelingProximityMax) return kVSKLabelingProximityMax;
  return static_cast<uint32_t>(std::lround(value));
}

double VSKFLabelingClampThreshold(double value) {
  if (!(value >= kVSKLabelingThresholdMin)) return kVSKLabelingThresholdMin;
  return std::min(value, kVSKLabelingThresholdMax);
}

int32_t VSKFLabelingPick(const VSKCImageSample& sample, NRKTPoint point) {
  const std::vector<VSKTSuperpixel>& records = sample.superpixels();
  const uint64_t cells = std::min<uint64_t>(uint64_t{sample.rows()} * sample.cols(), records.size());
  for (uint64_t i = 0; i < cells; ++i) {
    const VSKTSuperpixel& record = records[i];
    if (record.id == kVSKEmptySuperpixel || !inBox(record, point)) continue;
    if (VSKFPolygonTestPoint(record.points.data(), record.pointCount(), point)) return static_cast<int32_t>(i);
  }
  return -1;
}

VSKLabelingClick VSKFLabelingClick(VSKCImageSample& sample, VSKTLabelingState& state, NRKTPoint point,
                                   int32_t modifiers, std::string* status) {
  const int32_t index = VSKFLabelingPick(sample, point);
  if (index < 0) return VSKLabelingClick::missed;
  std::vector<VSKTSuperpixel>& records = sample.superpixels();
  VSKTSuperpixel& hit = records[static_cast<size_t>(index)];
  if (modifiers & kOGLModControl) {
    if (state.firstPick < 0 || static_cast<size_t>(state.firstPick) >= records.size()) {
      state.firstPick = index;
      return VSKLabelingClick::picked;
    }
    const VSKTSuperpixel& first = records[static_cast<size_t>(state.firstPick)];
    const uint32_t n = std::min(first.patternCount(), hit.patternCount());
    const float pd = VSKFLabelingPatternDistance(first.pattern.data(), hit.pattern.data(), n);
    const float cd = VSKFLabelingColorDistance(first.lab, hit.lab);
    char text[64];
    std::snprintf(text, sizeof text, "p:%.4f c:%.4f", static_cast<double>(pd), static_cast<double>(cd));
    if (status) *status = text;
    state.firstPick = -1;
    return VSKLabelingClick::compared;
  }
  const bool valid = state.selectedObject >= 1 && state.selectedObject <= kVSKObjectSlots;
  const uint32_t bit = valid ? 1u << (state.selectedObject - 1) : 0u;
  const bool clear = (hit.mask & bit) != 0;
  hit.mask = clear ? hit.mask & ~bit : hit.mask | bit;
  if (modifiers & kOGLModShift) flood(sample, static_cast<uint32_t>(index), bit, clear, state);
  if (valid) sample.objects()[state.selectedObject - 1] = static_cast<uint8_t>(state.currentLabel);
  sample.setTouched(true);
  return VSKLabelingClick::toggled;
}

Ref<LLKCObjectDeque> VSKFLabelingContours(const VSKCImageSample& sample, uint32_t object, uint32_t label,
                                          std::string* note) {
  if (label == 0 || object == 0) return nullptr;
  Ref<LLKCObjectDeque> polygons = sample.polygonsForObject(object);
  return polygons ? VSKFLabelingOutline(*polygons, note) : nullptr;
}

Ref<LLKCObjectDeque> VSKFLabelingOutline(const LLKCObjectDeque& polygons, std::string* note) {
  if (polygons.isEmpty()) return nullptr;
  Ref<LLKCObjectDeque> united = LLKCObjectDeque::deque();
  Ref<LLKCObjectDeque> contours = LLKCObjectDeque::deque();
  if (!united || !contours || !VSKFPolygonsUnion(&polygons, united.get(), note)) return nullptr;
  for (const Ref<LLKBObject>& entry : *united) {
    Ref<NRKCPolygon> polygon = refCast<NRKCPolygon>(entry);
    Ref<NRKCPolygon> resampled = polygon ? VSKFPolygonResample(polygon, kContourPoints) : nullptr;
    if (contours->append(resampled ? resampled : entry) != 0) return nullptr;
  }
  return contours;
}
