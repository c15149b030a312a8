#pragma once
// Segmented image statements made by hand and the bytes of sample files written field by field.
#include <bit>
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
