#include "modules/vision/segmenter/QAVCGRIDSegmenterWorker.h"

#include <exception>
#include <span>

#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageFormat.h"

namespace {

// Records hold signed 16-bit ids and coordinates: larger images and label counts would wrap.
constexpr uint32_t kRecordLimit = 32768;

bool isBgr(const QAVTImageStatement& image) { return image.pixelFormat == int32_t(IMKPixelFormatBGR); }

}  // namespace

Ref<QAVCGRIDSegmenterWorker> QAVCGRIDSegmenterWorker::workerWithLabel(std::string label, std::string guid,
                                                                      MRKCSubstrate* substrate, uint32_t threads) {
  Ref<QAVCGRIDSegmenterWorker> worker =
      adoptRef(new QAVCGRIDSegmenterWorker(std::move(label), std::move(guid), substrate));
  worker->crew_.start(threads);
  return worker;
}

QAVTGRIDSegmenterConfig QAVCGRIDSegmenterWorker::config() const {
  std::lock_guard lock(configMutex_);
  return config_;
}

void QAVCGRIDSegmenterWorker::setConfig(const QAVTGRIDSegmenterConfig& config) {
  std::lock_guard lock(configMutex_);
  config_ = config;
}

bool QAVCGRIDSegmenterWorker::enqueue(MRKCStatement* statement) {
  QAVTImageStatement image;
  if (QAVFImageStatementRead(statement, &image) != kQAVImageValid || !isBgr(image)) return false;
  {
    std::lock_guard lock(queueMutex_);
    if (queue_.size() == kQueueCapacity) queue_.pop_back();
    queue_.emplace_front(statement);
  }
  // An empty task is refused, so the nudge is a task that does nothing: onRunning follows it.
  return sched([] {});
}

void QAVCGRIDSegmenterWorker::onStopping() {
  crew_.stop();
  std::lock_guard lock(queueMutex_);
  queue_.clear();
}

bool QAVCGRIDSegmenterWorker::onRunning() {
  Ref<MRKCStatement> newest;
  {
    std::lock_guard lock(queueMutex_);
    if (queue_.empty()) return false;
    newest = queue_.front();
    queue_.clear();
  }
  QAVTImageStatement image;
  if (QAVFImageStatementRead(newest.get(), &image) != kQAVImageValid) return false;
  const float ttl = config().ttl;
  if (Ref<MRKCStatement> segmented = process(image)) publish(segmented.get(), ttl);
  return false;
}

void QAVCGRIDSegmenterWorker::publish(MRKCStatement* statement, float ttl) {
  if (!substrate_) return;
  Ref<MRKCSquib> squib = MRKCSquib::squibWithLabel(statement->label(), statement, ttl);
  if (squib && !substrate_->publish(squib.get(), guid_))
    LLKFLog("%s : the segments could not be published", label_.c_str());
}

Ref<MRKCStatement> QAVCGRIDSegmenterWorker::process(const QAVTImageStatement& image) noexcept {
  if (!image.statement || !isBgr(image)) return nullptr;
  try {
    const QAVTGRIDSegmenterConfig config = this->config();
    Ref<MRKCFrame> ancillary = image.ancillary->copy();
    std::vector<uint8_t> painted;
    if (!ancillary || !QAVFPixelBufferMake(image.pixels->length(), &painted)) return nullptr;
    const int width = int(image.width), height = int(image.height);
    const cv::Mat source(height, width, CV_8UC3, const_cast<uint8_t*>(image.pixels->bytes()));
    cv::Mat target(height, width, CV_8UC3, painted.data());

    const double start = LLKFNowInS();
    onProcessSource(source, target, ancillary.get(), config);
    MRKFFrameStoreReal(ancillary.get(), "elapsed", LLKFNowInS() - start);
    ancillary->store(image.pixels, "image");

    Ref<MRKCBinary> pixels = MRKCBinary::binaryWithValue(std::move(painted));
    return MRKFMakeStatementWith4Terms(label_, image.head, image.meta, pixels.get(), ancillary.get(),
                                       image.statement->value());
  } catch (const std::exception& error) {
    LLKFLog("QAVCGRIDSegmenter : %s", error.what());
    return nullptr;
  }
}

bool QAVCGRIDSegmenterWorker::onProcessSource(const cv::Mat& source, cv::Mat& target, MRKCFrame* ancillary,
                                              const QAVTGRIDSegmenterConfig& config) {
  const uint32_t step = config.spixsize;
  const uint32_t width = uint32_t(source.cols), height = uint32_t(source.rows);
  const uint32_t rows = height / step + 1, cols = width / step + 1;
  const uint64_t grid = uint64_t(rows) * cols;

  if (width > kRecordLimit || height > kRecordLimit) {
    LLKFConsolePrintf("QAVCGRIDSegmenter - a %ux%u image does not fit 16-bit records", width, height);
    return false;
  }

  // The labels go straight into the bytes of the published "supixelmask".
  const size_t pixels = size_t(width) * height;
  std::vector<uint8_t> labels(pixels * sizeof(uint16_t));
  const uint32_t n = seams_.process(source, int(step), int(step), float(config.spixstay),
                                    std::span<uint16_t>(reinterpret_cast<uint16_t*>(labels.data()), pixels));
  if (n == 0) return false;  // the seams said why
  if (n > grid) {
    LLKFConsolePrintf("QAVCGRIDSegmenter - got more supixel than exptected! %u vs. %llu", n,
                      static_cast<unsigned long long>(grid));
    return false;
  }
  if (n > kRecordLimit) {
    LLKFConsolePrintf("QAVCGRIDSegmenter - %u supixels do not fit 16-bit records", n);
    return false;
  }
  // Moving the bytes keeps their address, which the seams still read the labels from.
  Ref<MRKCBinary> mask = MRKCBinary::binaryWithValue(std::move(labels));
  if (!mask || ancillary->store(mask.get(), "supixelmask") != 0) return false;

  if (spixels_.size() != n) spixels_.assign(n, GridSeams::spixel_t{});
  std::vector<Ref<MRKBTerm>> slots(n);
  if (seams_.display(source, target, std::span<GridSeams::spixel_t>(spixels_))) {
    const QAVTGRIDSegmenterJob job{&source, &seams_, spixels_.data(), n, slots.data(), config};
    crew_.run(job);
  }
  // One entry per label, so that the list index, the record id and the mask value agree: a
  // skipped superpixel keeps its place as an empty frame, which readers take as empty.
  for (Ref<MRKBTerm>& slot : slots)
    if (!slot) slot = MRKCFrame::frame();
  Ref<MRKCList> superpixels = MRKCList::listWithVector(std::move(slots));
  ancillary->store(superpixels ? superpixels.get() : MRKCList::list().get(), "superpixels");

  MRKFFrameStoreUint(ancillary, "cols", cols);
  MRKFFrameStoreUint(ancillary, "rows", rows);
  MRKFFrameStoreUint(ancillary, "size", step);
  return true;
}
