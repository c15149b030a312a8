// Image statements in the term text form, checked and, when whole, run through the converter,
// resizer and extractor: no crash, no read past the pixels, and what they make is itself a whole
// image statement.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "imagekit/IMKFImageConvert.h"
#include "modules/vision/processors/QAVCConverter.h"
#include "modules/vision/processors/QAVCROIExtractor.h"
#include "modules/vision/processors/QAVCResizer.h"

namespace {

Ref<MRKCFrame> frameOf(std::string_view text) {
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text);
  return term && term->asFrame() ? Ref<MRKCFrame>(term->asFrame()) : MRKCFrame::frame();
}

struct Processors {
  Processors() {
    converter = QAVCConverter::converterWithGuid({}, "conv", {}, frameOf(R"({"format": rgb})"));
    resizer = QAVCResizer::resizerWithGuid({}, "size", {}, frameOf(R"({"size": [7, 5], "color": [1, 2, 3]})"));
    extractor =
        QAVCROIExtractor::extractorWithGuid({}, "extr", {}, frameOf(R"({"roi.size": [3, 2], "roi.center": [+1, -1]})"));
    for (MRKBProcessor* processor :
         {static_cast<MRKBProcessor*>(converter.get()), static_cast<MRKBProcessor*>(resizer.get()),
          static_cast<MRKBProcessor*>(extractor.get())})
      (void)substrate->attach(processor, false);
  }
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Ref<QAVCConverter> converter;
  Ref<QAVCResizer> resizer;
  Ref<QAVCROIExtractor> extractor;
};

void expectWhole(MRKCStatement* made) {
  QAVTImageStatement image;
  if (made && QAVFImageStatementRead(made, &image) != kQAVImageValid) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Processors* processors = new Processors();
  Ref<MRKBTerm> term =
      MRKCReader::reader()->readTermFromString(std::string_view(reinterpret_cast<const char*>(data), size));
  QAVTImageStatement image;
  if (QAVFImageStatementRead(term.get(), &image) != kQAVImageValid) return 0;
  const bool raw = image.pixelFormat > 0;
  if (raw &&
      image.pixels->length() < IMKFImageLength(image.width, image.height, static_cast<uint32_t>(image.pixelFormat)))
    std::abort();
  // A few bytes of JPEG may announce up to 256 MiB of pixels; the fuzzer stays with small ones.
  if (IMKFImageLength(image.width, image.height, IMKPixelFormatRGBA) > (16u << 20)) return 0;
  expectWhole(processors->converter->process(image).get());
  expectWhole(processors->resizer->process(image).get());
  expectWhole(processors->extractor->process(image).get());
  return 0;
}
