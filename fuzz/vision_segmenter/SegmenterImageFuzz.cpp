// Images and pokes reach the segmenter from other processors and are untrusted. The input is
// [image statement, {property: value, ...}] in the term text form: every property is applied as a
// poke would be, then the statement is checked and, when it is a "bgr" image, segmented.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "framework/substrate/MRKCReader.h"
#include "modules/vision/segmenter/QAVCGRIDSegmenterWorker.h"
#include "modules/vision/segmenter/QAVTGRIDSegmenterConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Ref<QAVCGRIDSegmenterWorker> worker = QAVCGRIDSegmenterWorker::workerWithLabel("fuzzed", "fuzzed", nullptr, 0);
  if (!worker) return 0;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Ref<MRKBTerm> input = MRKCReader::reader()->readTermFromString(text);
  MRKCList* parts = asList(input.get());
  if (!parts) return 0;

  QAVTGRIDSegmenterConfig config;
  if (MRKCFrame* pokes = asFrame(parts->fetchAtIndex(1)))
    for (const auto& [name, value] : pokes->members()) QAVFGRIDSegmenterConfigApply(&config, name, value.get());
  worker->setConfig(config);

  QAVTImageStatement image;
  if (QAVFImageStatementRead(parts->fetchAtIndex(0), &image) == kQAVImageValid && image.pixelFormat == 3 &&
      uint64_t{image.width} * image.height <= 1u << 16)
    worker->process(image);
  return 0;
}
