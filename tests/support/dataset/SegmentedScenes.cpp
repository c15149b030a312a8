#include "tests/support/dataset/SegmentedScenes.h"

#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageLoad.h"
#include "modules/vision/segmenter/QAVCGRIDSegmenterWorker.h"

namespace dataset {

Ref<MRKCStatement> segmented(const Scene& scene, const std::string& folder, uint32_t step) {
  if (!write({scene}, folder, nullptr)) return nullptr;
  Ref<LLKCData> pixels;
  uint32_t width = 0, height = 0;
  const std::string path = folder + "/" + scene.name + ".jpg";
  if (IMKFImageLoadFromFile(path.c_str(), IMKPixelFormatBGR, &pixels, &width, &height) != 0) return nullptr;

  Ref<MRKCFrame> meta = MRKCFrame::frame();
  (void)meta->store(MRKCSymbol::symbolWithValue("bgr").get(), "format");
  MRKFFrameStoreUint(meta.get(), "width", width);
  MRKFFrameStoreUint(meta.get(), "height", height);
  MRKFFrameStoreUint(meta.get(), "frameid", 1);
  (void)meta->store(MRKCString::stringWithValue(scene.name + ".jpg").get(), "sample");
  Ref<MRKCFrame> ancillary = MRKCFrame::frame();
  Ref<MRKCFrame> coco = MRKFJSONDecodeFrame(scene.annotations, 0);
  if (!coco || ancillary->store(coco.get(), "coco") != 0) return nullptr;
  Ref<MRKCBinary> binary = MRKCBinary::binaryWithBytes(pixels->bytes(), pixels->length());
  Ref<MRKCStatement> image = MRKFMakeStatementWith4Terms("qav.stream.raw", MRKCSymbol::symbolWithValue("image").get(),
                                                         meta.get(), binary.get(), ancillary.get(), 1.0);

  Ref<QAVCGRIDSegmenterWorker> worker =
      QAVCGRIDSegmenterWorker::workerWithLabel("qav.stream.fovl.seg", "dataset", nullptr, 0);
  QAVTGRIDSegmenterConfig config = worker->config();
  config.spixsize = step;
  worker->setConfig(config);
  QAVTImageStatement parts;
  if (QAVFImageStatementRead(image.get(), &parts) != kQAVImageValid) return nullptr;
  return worker->process(parts);
}

}  // namespace dataset
