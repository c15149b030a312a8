#pragma once
// The segmenter's handler: a queue of up to 16 received "bgr" image statements of which only the
// newest is segmented (the older ones are dropped, so the segmenter never falls behind its
// input), and the crew of computing threads that describe the superpixels. Each segmented image
// is published on the output label as the image statement with the mean-colour image in term 2
// and, in the ancillary frame, "supixelmask", "superpixels", "cols", "rows", "size", "elapsed"
// and "image" (the received pixels).
//
// The computing threads start with the worker and stop (joined) when its handler stops, or when
// the worker goes.
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "framework/core/LLKBHandler.h"
#include "framework/substrate/MRKCStatement.h"
#include "modules/vision/seams/GridSeams.h"
#include "modules/vision/segmenter/QAVCGRIDSegmenterCrew.h"
#include "modules/vision/statement/QAVFImageStatement.h"

class MRKCSubstrate;

class QAVCGRIDSegmenterWorker : public LLKBHandler {
public:
  static constexpr size_t kQueueCapacity = 16;

  // Publishes on label with the guid as source, on the substrate (null: segmented images are only
  // made, as benchmarks want; the substrate must outlive the running handler). threads: the
  // computing threads to start (0 describes the superpixels on the thread that segments).
  [[nodiscard]] static Ref<QAVCGRIDSegmenterWorker> workerWithLabel(std::string label, std::string guid,
                                                                    MRKCSubstrate* substrate, uint32_t threads = 2);

  // Queues a checked "bgr" image statement for the handler; false for any other statement or
  // once the handler stops.
  bool enqueue(MRKCStatement* statement);

  // Copied whole; the next image is segmented with the configuration set last.
  QAVTGRIDSegmenterConfig config() const;
  void setConfig(const QAVTGRIDSegmenterConfig& config);

  // The segmented statement for a checked "bgr" image statement; null when it cannot be made.
  // Runs on the handler's thread; while the handler is not started, on one thread at a time
  // (benchmarks).
  Ref<MRKCStatement> process(const QAVTImageStatement& image) noexcept;

protected:
  void onStopping() override;
  bool onRunning() override;

private:
  QAVCGRIDSegmenterWorker(std::string label, std::string guid, MRKCSubstrate* substrate)
      : label_(std::move(label)), guid_(std::move(guid)), substrate_(substrate) {}

  // Segments source into labels and superpixel data stored in ancillary, and paints target with
  // the superpixels' mean colours. False when the image is published without superpixel data.
  bool onProcessSource(const cv::Mat& source, cv::Mat& target, MRKCFrame* ancillary,
                       const QAVTGRIDSegmenterConfig& config);
  void publish(MRKCStatement* statement, float ttl);

  const std::string label_;
  const std::string guid_;
  MRKCSubstrate* const substrate_;

  std::mutex queueMutex_;
  std::deque<Ref<MRKCStatement>> queue_;  // newest first
  mutable std::mutex configMutex_;
  QAVTGRIDSegmenterConfig config_;

  // The handler's own: one image at a time.
  GridSeams seams_;
  std::vector<GridSeams::spixel_t> spixels_;
  QAVCGRIDSegmenterCrew crew_;
};
