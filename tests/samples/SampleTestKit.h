#pragma once
// Segmented image statements made by hand and the bytes of sample files written field by field.
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/VSKCImageSample.h"

// One superpixel as the segmenter publishes it.
struct HandSuperpixel {
  int16_t id, cx, cy, blue, green, red, left, top, right, bottom;
  std::vector<int16_t> polygon;  // x, y pairs
  std::vector<float> pattern;
};

inline Ref<MRKCFrame> superpixelFrame(const HandSuperpixel& s) {
  const int16_t record[12] = {s.id, s.cx, s.cy, 1, 0, s.blue, s.green, s.red, s.left, s.top, s.right, s.bottom};
  Ref<MRKCFrame> frame = MRKCFrame::frame();
  (void)frame->store(MRKCData::dataWithFormat(kMRKDataSint16, record, 12).get(), "supixel");
  (void)frame->store(MRKCData::dataWithFormat(kMRKDataSint16, s.polygon.data(), s.polygon.size()).get(), "polygon");
  (void)frame->store(MRKCData::dataWithFormat(kMRKDataReal32, s.pattern.data(), s.pattern.size()).get(), "pattern");
  return frame;
}

// A square superpixel of side pixels from (left, top), centred in it, outlined by its corners.
inline Ref<MRKCFrame> squareSuperpixelFrame(int16_t id, int16_t left, int16_t top, int16_t side, int16_t blue,
                                            int16_t green, int16_t red, std::vector<float> pattern) {
  const auto right = static_cast<int16_t>(left + side - 1), bottom = static_cast<int16_t>(top + side - 1);
  return superpixelFrame({id,
                          static_cast<int16_t>(left + side / 2),
                          static_cast<int16_t>(top + side / 2),
                          blue,
                          green,
                          red,
                          left,
                          top,
                          right,
                          bottom,
                          {left, top, right, top, right, bottom, left, bottom},
                          std::move(pattern)});
}

// A segmented image statement: grid, entries (null members for entries without data), the
// meta frame's offset and the COCO frame (none when null).
inline Ref<MRKCStatement> segmentedStatement(uint64_t rows, uint64_t cols, uint64_t size,
                                             std::vector<Ref<MRKBTerm>> entries, int64_t offsetX = 0,
                                             int64_t offsetY = 0, MRKCFrame* coco = nullptr) {
  Ref<MRKCFrame> meta = MRKCFrame::frame();
  (void)meta->store(MRKCSymbol::symbolWithValue("bgr").get(), "format");
  MRKFFrameStoreSint(meta.get(), "offset.x", offsetX);
  MRKFFrameStoreSint(meta.get(), "offset.y", offsetY);
  Ref<MRKCFrame> ancillary = MRKCFrame::frame();
  for (Ref<MRKBTerm>& entry : entries)
    if (!entry) entry = MRKCFrame::frame();
  (void)ancillary->store(MRKCList::listWithVector(std::move(entries)).get(), "superpixels");
  MRKFFrameStoreUint(ancillary.get(), "rows", rows);
  MRKFFrameStoreUint(ancillary.get(), "cols", cols);
  MRKFFrameStoreUint(ancillary.get(), "size", size);
  if (coco) (void)ancillary->store(coco, "coco");
  return MRKFMakeStatementWith4Terms("seg", MRKCSymbol::symbolWithValue("image").get(), meta.get(),
                                     MRKCBinary::binaryWithBytes(nullptr, 0).get(), ancillary.get(), 1.0);
}

// Bytes written field by field, little-endian.
struct Bytes {
  std::vector<uint8_t> bytes;
  Bytes& raw(std::string_view text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    return *this;
  }
  Bytes& u8(uint8_t value) {
    bytes.push_back(value);
    return *this;
  }
  Bytes& u16(uint16_t value) { return u8(uint8_t(value)).u8(uint8_t(value >> 8)); }
  Bytes& u32(uint32_t value) { return u16(uint16_t(value)).u16(uint16_t(value >> 16)); }
  Bytes& f32(float value) { return u32(std::bit_cast<uint32_t>(value)); }
  Bytes& floats(std::initializer_list<float> values) {
    for (float value : values) f32(value);
    return *this;
  }
};

// A closed outline of n points on a circle of the radius about centre, visited in the order
// (i * k) mod n with k = n / 2 - 1: a star whose edges cross one another nearly everywhere.
inline std::vector<NRKTPoint> starOutline(uint32_t n, float centre, float radius) {
  std::vector<NRKTPoint> points;
  const uint64_t k = n / 2 - 1;
  for (uint32_t i = 0; i <= n; ++i) {
    const double angle = 2.0 * 3.14159265358979323846 * double((uint64_t(i) * k) % n) / double(n);
    points.push_back({float(centre + radius * std::cos(angle)), float(centre + radius * std::sin(angle))});
  }
  return points;
}

// The bytes of a sample file named name: a 1 x 1 grid of step size whose one superpixel, labelled
// 1 in object slot 0, has the outline.
inline std::vector<uint8_t> oneOutlineSampleFile(const std::string& name, float size,
                                                 const std::vector<NRKTPoint>& outline) {
  Bytes file;
  file.raw("B ").u8(1);
  for (int slot = 1; slot < 32; ++slot) file.u8(0);
  file.u32(uint32_t(name.size())).raw(name).u16(1).u16(1).u16(1).u16(uint16_t(size)).floats({0, 0}).u32(1);
  file.u32(0).u32(1).floats({size / 2, size / 2, 0, 0, size, size, 0.5f, 0.5f, 0.5f, 1, 50, 0, 0});
  file.u32(uint32_t(outline.size()));
  for (const NRKTPoint& point : outline) file.floats({point.x, point.y});
  return file.u32(1).f32(0.5f).bytes;
}
