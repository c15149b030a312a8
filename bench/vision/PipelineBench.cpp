// Images per second through converter (rgb -> bgr) -> resizer (a 720 x 720 canvas: the 640 x 480
// image padded, the 1920 x 1080 one cropped) -> extractor (a 320 x 240 region), and how much of
// that time goes into moving pixels unchanged.
//
//   Chain/<w>x<h>         the three processors' work on one image, called directly
//   ChainCopying/<w>x<h>  only the unchanged byte moves of the chain: the three zero-filled
//                         output buffers, the canvas's margins, the overlap copied onto it and the
//                         region cut out, with the same calls the processors make
//   Substrate/<w>x<h>     the same chain as the substrate runs it: published into the converter,
//                         waited for at the extractor's channel
// The share of time spent copying is ChainCopying / Chain.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKCBitmap.h"
#include "imagekit/IMKFImageConvert.h"
#include "modules/vision/processors/QAVCConverter.h"
#include "modules/vision/processors/QAVCROIExtractor.h"
#include "modules/vision/processors/QAVCResizer.h"

namespace {

constexpr uint32_t kCanvas = 720, kRegionWidth = 320, kRegionHeight = 240;

Ref<MRKCFrame> frameOf(std::string_view text) {
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text);
  return Ref<MRKCFrame>(term->asFrame());
}

Ref<MRKCStatement> imageOf(uint32_t width, uint32_t height) {
  std::vector<uint8_t> pixels(size_t{width} * height * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 31 + 7);
  Ref<MRKCFrame> meta = MRKCFrame::frame();
  meta->store(MRKCSymbol::symbolWithValue("rgb").get(), "format");
  MRKFFrameStoreUint(meta.get(), "width", width);
  MRKFFrameStoreUint(meta.get(), "height", height);
  MRKFFrameStoreUint(meta.get(), "length", pixels.size());
  return MRKFMakeStatementWith4Terms("qav.stream.raw", MRKCSymbol::symbolWithValue("image").get(), meta.get(),
                                     MRKCBinary::binaryWithValue(std::move(pixels)).get(), MRKCFrame::frame().get(),
                                     1.0);
}

QAVTImageStatement checked(MRKCStatement* statement) {
  QAVTImageStatement image;
  QAVFImageStatementRead(statement, &image);
  return image;
}

// The three processors attached to a substrate of their own, wired by their channels.
struct Chain {
  Chain() {
    converter = QAVCConverter::converterWithGuid({}, "qav.conv", {},
                                                 frameOf(R"({"inputs": qav.stream.raw, "output": qav.stream})"));
    resizer = QAVCResizer::resizerWithGuid(
        {}, "qav.size", {},
        frameOf(R"({"inputs": qav.stream, "output": qav.stream.sized, "size": [720, 720], "color": [0, 0, 0]})"));
    extractor = QAVCROIExtractor::extractorWithGuid(
        {}, "qav.extr", {}, frameOf(R"({"inputs": qav.stream.sized, "roi.size": [320, 240], "roi.center": [0, 0]})"));
    (void)substrate->attach(converter.get(), false);
    (void)substrate->attach(resizer.get(), false);
    (void)substrate->attach(extractor.get(), false);
  }
  ~Chain() {
    for (const auto& processor : substrate->processors()) substrate->detach(processor.get(), false);
  }
  Ref<MRKCStatement> run(MRKCStatement* image) const {
    Ref<MRKCStatement> converted = converter->process(checked(image));
    Ref<MRKCStatement> resized = resizer->process(checked(converted.get()));
    return extractor->process(checked(resized.get()));
  }

  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Ref<QAVCConverter> converter;
  Ref<QAVCResizer> resizer;
  Ref<QAVCROIExtractor> extractor;
};

void BM_Chain(benchmark::State& state) {
  const auto width = static_cast<uint32_t>(state.range(0)), height = static_cast<uint32_t>(state.range(1));
  Chain chain;
  Ref<MRKCStatement> image = imageOf(width, height);
  if (!chain.run(image.get())) state.SkipWithError("the chain made nothing");
  for (auto _ : state) benchmark::DoNotOptimize(chain.run(image.get()));
  state.SetItemsProcessed(state.iterations());
}

void BM_ChainCopying(benchmark::State& state) {
  const auto width = static_cast<uint32_t>(state.range(0)), height = static_cast<uint32_t>(state.range(1));
  Ref<MRKCStatement> image = imageOf(width, height);
  const std::vector<uint8_t>& source = asBinary(image->terms()->fetchAtIndex(2))->value();
  const uint32_t copiedWidth = std::min(width, kCanvas), copiedHeight = std::min(height, kCanvas);
  const uint8_t black[3] = {0, 0, 0};
  Ref<IMKCBitmap> received = IMKCBitmap::bitmapWithWidth(
      width, height, IMKPixelFormatBGR,
      LLKCData::dataWithBytesNoCopy(const_cast<uint8_t*>(source.data()), source.size(), false));
  for (auto _ : state) {
    std::vector<uint8_t> converted;
    QAVFPixelBufferMake(source.size(), &converted);
    std::vector<uint8_t> canvasBytes;
    QAVFPixelBufferMake(uint64_t{kCanvas} * kCanvas * 3, &canvasBytes);
    Ref<IMKCBitmap> canvas =
        IMKCBitmap::bitmapWithWidth(kCanvas, kCanvas, IMKPixelFormatBGR,
                                    LLKCData::dataWithBytesNoCopy(canvasBytes.data(), canvasBytes.size(), false));
    const IMKTPoint to{static_cast<int32_t>(kCanvas / 2 - copiedWidth / 2),
                       static_cast<int32_t>(kCanvas / 2 - copiedHeight / 2)};
    QAVFCanvasPadAround(*canvas, IMKTRect{to, {copiedWidth, copiedHeight}}, black);
    canvas->copy(IMKTRect{{static_cast<int32_t>(width / 2 - copiedWidth / 2),
                           static_cast<int32_t>(height / 2 - copiedHeight / 2)},
                          {copiedWidth, copiedHeight}},
                 *received, to);
    std::vector<uint8_t> region;
    QAVFPixelBufferMake(uint64_t{kRegionWidth} * kRegionHeight * 3, &region);
    QAVFROIExtractorExtract(canvasBytes.data(), kCanvas, 0, 200, 240, kRegionWidth, kRegionHeight, region.data());
    benchmark::DoNotOptimize(converted.data());
    benchmark::DoNotOptimize(region.data());
  }
  state.SetItemsProcessed(state.iterations());
}

// Waits for the extractor's output.
class Sink : public MRKBProcessor {
public:
  Sink() : MRKBProcessor({}, "bench.sink", {}, nullptr) {}
  void onAttached() override { (void)substrate()->disclose("qav.extr", guid()); }
  void onReceivedSquib(MRKCSquib*, const std::string&) override {
    std::lock_guard lock(mutex_);
    ++arrived_;
    changed_.notify_all();
  }
  void waitFor(uint64_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return arrived_ >= count; });
  }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  uint64_t arrived_ = 0;
};

void BM_Substrate(benchmark::State& state) {
  const auto width = static_cast<uint32_t>(state.range(0)), height = static_cast<uint32_t>(state.range(1));
  Chain chain;
  Ref<Sink> sink = adoptRef(new Sink());
  (void)chain.substrate->attach(sink.get(), false);
  Ref<MRKCStatement> image = imageOf(width, height);
  uint64_t sent = 0;
  for (auto _ : state) {
    (void)chain.substrate->publish(MRKCSquib::squibWithLabel("qav.stream.raw", image.get(), 60.0f).get(), "bench");
    sink->waitFor(++sent);
  }
  state.SetItemsProcessed(state.iterations());
}

void sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Args({640, 480})->Args({1920, 1080})->ArgNames({"w", "h"})->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Chain)->Apply(sizes);
BENCHMARK(BM_ChainCopying)->Apply(sizes);
BENCHMARK(BM_Substrate)->Apply(sizes)->UseRealTime();

}  // namespace
