#pragma once
// Puts the images it follows on a canvas of a fixed size, centred: a larger image is cropped
// around its centre, a smaller one padded with a colour.
//
// Properties: "inputs"; "size" [width, height] of the canvas (required); "color" [r, g, b] of the
// padding (required); "output" the label it publishes on (default its own). It takes "bgr" and
// "rgb" images. The meta frame of what it publishes gets the canvas's "width" and "height" and
// "offset.x", "offset.y": where the received image's top-left pixel lies on the canvas (negative
// when cropped), so that a point (x, y) of the received image is (x + offset.x, y + offset.y) on
// the canvas.
#include "framework/substrate/MRKCClassRegistry.h"
#include "imagekit/IMKCBitmap.h"
#include "modules/vision/processors/QAVBProcessor.h"

// Fills an RGB or BGR canvas with the colour (red, green, blue) outside the covered rect, which
// lies inside it; false when out of memory.
bool QAVFCanvasPadAround(IMKCBitmap& canvas, const IMKTRect& covered, const uint8_t color[3]);

class QAVCResizer : public QAVBProcessor {
public:
  [[nodiscard]] static Ref<QAVCResizer> resizerWithGuid(const std::string& guid, const std::string& label,
                                                        const std::string& alias, Ref<MRKCFrame> properties);
  [[nodiscard]] static Ref<QAVCResizer> resizerWithManifesto(const MRKCManifesto& manifesto);

  void onAttached() override;
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override;

  // The statement to publish for one image, or null when it is skipped.
  Ref<MRKCStatement> process(const QAVTImageStatement& image) const;

private:
  friend class MRKTClassRegistrar<QAVCResizer>;
  using QAVBProcessor::QAVBProcessor;
  Ref<MRKCStatement> resize(const QAVTImageStatement& image) const;

  // Read at attach; 0 (nothing published) when "size" is missing or malformed.
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  uint8_t color_[3] = {0, 0, 0};
};
