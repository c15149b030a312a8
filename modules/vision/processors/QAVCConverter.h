#pragma once
// Changes the pixel format of the images it follows.
//
// Properties: "inputs"; "format" the target pixel format ("mjpeg", "rgb", "rgba", "bgr" or "bgra";
// default "bgr"); "output" the label it publishes on (default its own). It takes "bgr", "rgb"
// and "mjpeg" images; one already in the target format goes out as it came.
#include "framework/substrate/MRKCClassRegistry.h"
#include "modules/vision/processors/QAVBProcessor.h"

class QAVCConverter : public QAVBProcessor {
public:
  [[nodiscard]] static Ref<QAVCConverter> converterWithGuid(const std::string& guid, const std::string& label,
                                                            const std::string& alias, Ref<MRKCFrame> properties);
  [[nodiscard]] static Ref<QAVCConverter> converterWithManifesto(const MRKCManifesto& manifesto);

  void onAttached() override;
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override;

  // The statement to publish for one image, or null when it is skipped.
  Ref<MRKCStatement> process(const QAVTImageStatement& image) const;

private:
  friend class MRKTClassRegistrar<QAVCConverter>;
  using QAVBProcessor::QAVBProcessor;
  Ref<MRKCStatement> convert(const QAVTImageStatement& image) const;

  // Read at attach; a target name the converter does not know leaves it without a target.
  Ref<MRKCSymbol> target_;
  int32_t targetFormat_ = -1;
};
