#pragma once
// Cuts a region of a fixed size out of the images it follows, around a centre that can be moved
// at run time ("poke" of "roi.center"). The region always lies inside the image.
//
// Properties: "inputs"; "roi.size" [width, height] of the region (required); "roi.center" [x, y]
// the offset of the region's centre from the image's centre (required; signed); "output" the
// label it publishes on (default its own). It takes "bgr" and "rgb" images at least as large as
// the region. The meta frame of what it publishes gets the region's "width" and "height" and
// "left", "top": where the region lies in the received image.
#include <atomic>
#include <cstdint>

#include "framework/substrate/MRKCClassRegistry.h"
#include "modules/vision/processors/QAVBProcessor.h"

extern "C" {
// Copies height rows of width three-byte pixels starting at (left, top) of source, whose rows
// are sourceWidth pixels, into target, packed. The caller makes sure the region lies inside the
// source and target holds width x height pixels; reserved is not used. False for no source or
// target, else true.
bool QAVFROIExtractorExtract(const uint8_t* source, uint32_t sourceWidth, uint32_t reserved, uint32_t left,
                             uint32_t top, uint32_t width, uint32_t height, uint8_t* target);
}

// The offset of a region's centre from the image's centre. Aligned as one 8-byte word, so that
// an atomic of it is lock-free under every compiler (clang otherwise calls libatomic for it).
struct alignas(8) QAVTROICenter {
  int32_t x = 0;
  int32_t y = 0;
};

// Where a region of width x height lies in an image of imageWidth x imageHeight whose centre is
// moved by center: the centred position clamped so that the region lies inside the image.
// Needs width <= imageWidth and height <= imageHeight.
struct QAVTROIPlacement {
  uint32_t left = 0;
  uint32_t top = 0;
};
QAVTROIPlacement QAVFROIPlace(uint32_t imageWidth, uint32_t imageHeight, uint32_t width, uint32_t height,
                              QAVTROICenter center);

class QAVCROIExtractor : public QAVBProcessor {
public:
  [[nodiscard]] static Ref<QAVCROIExtractor> extractorWithGuid(const std::string& guid, const std::string& label,
                                                               const std::string& alias, Ref<MRKCFrame> properties);
  [[nodiscard]] static Ref<QAVCROIExtractor> extractorWithManifesto(const MRKCManifesto& manifesto);

  void onAttached() override;
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override;
  // "roi.center" takes a list of two numbers (the new centre); anything else is refused.
  bool onPropertyPoked(const std::string& name, MRKBTerm* value) override;

  // The statement to publish for one image, or null when it is skipped.
  Ref<MRKCStatement> process(const QAVTImageStatement& image) const;
  // The centre offset in use; read and written as one value.
  QAVTROICenter center() const { return center_.load(); }

private:
  friend class MRKTClassRegistrar<QAVCROIExtractor>;
  using QAVBProcessor::QAVBProcessor;
  Ref<MRKCStatement> extract(const QAVTImageStatement& image) const;
  // The centre named by a "roi.center" value; false when it is no list of two numbers.
  bool readCenter(MRKBTerm* value, QAVTROICenter* center) const;

  // Read at attach; 0 (nothing published) when "roi.size" is missing or malformed.
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  std::atomic<QAVTROICenter> center_{};
  static_assert(std::atomic<QAVTROICenter>::is_always_lock_free);
};
