#pragma once
// The grid-seam segmenter: cuts every "bgr" image it follows into superpixels with grid seams,
// measures each (box, centroid, mean colour, pixel count), computes its texture pattern and
// outline, and publishes the image again on its output label with that superpixel data. The
// work runs on its worker (a handler thread and two computing threads) from attach to detach.
//
// Properties: "inputs"; "output" (default: its own label); "spix.size" grid step, 2 to 512
// (16); "spix.stay" seam penalty weight, finite and at least 0 (0.06); "poly.accy" outline
// simplification tolerance as a fraction of its length, finite and at least 0, 1 or more keeps
// the outline (0.0001); "poly.size" points per polygon, 0 (the outline's own) or 2 to 1024 (32);
// "lbpd.size" pattern bins, 1 to 255 (48); "poly.show" a boolean for the viewers (false).
//
// Queries "peek"(name, X) and "poke"(name, value) read and set them; a changed value applies
// from the next image. A poke the segmenter refuses is answered with
// error(poke(name, value), "why") and the value 0.0.
#include <mutex>

#include "framework/substrate/MRKCClassRegistry.h"
#include "modules/vision/processors/QAVBProcessor.h"
#include "modules/vision/segmenter/QAVCGRIDSegmenterWorker.h"

class QAVCGRIDSegmenter : public QAVBProcessor {
public:
  [[nodiscard]] static Ref<QAVCGRIDSegmenter> segmenterWithGuid(const std::string& guid, const std::string& label,
                                                                const std::string& alias, Ref<MRKCFrame> properties);
  [[nodiscard]] static Ref<QAVCGRIDSegmenter> segmenterWithManifesto(const MRKCManifesto& manifesto);

  void onAttached() override;
  void onDetached() override;
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override;
  void onReceivedQuery(MRKCQuery* query, const std::string& source) override;
  Ref<MRKBTerm> onPropertyPeeked(const std::string& name, MRKBTerm* stored) override;
  bool onPropertyPoked(const std::string& name, MRKBTerm* value) override;

  // The configuration the next image is segmented with.
  QAVTGRIDSegmenterConfig config() const;

private:
  friend class MRKTClassRegistrar<QAVCGRIDSegmenter>;
  using QAVBProcessor::QAVBProcessor;

  void answerRefusal(MRKCQuery* query, MRKBTerm* request, const char* reason);

  mutable std::mutex mutex_;  // the worker and the configuration
  Ref<QAVCGRIDSegmenterWorker> worker_;
  QAVTGRIDSegmenterConfig config_;
};
