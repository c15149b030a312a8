#pragma once
// Image statements in, segmented statements out: a collecting processor that waits with a
// generous timeout, the superpixel data read back from a published statement, and the console's
// lines while a test runs.
#include <opencv2/core.hpp>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "tests/support/OutputCapture.h"

inline Ref<MRKBTerm> term(std::string_view text) { return MRKCReader::reader()->readTermFromString(text); }

// The image statement of a "bgr" image (or of another format name), its pixels cut short by
// `shortBy` bytes.
inline Ref<MRKCStatement> imageStatement(const cv::Mat& image, uint64_t frameid, const char* format = "bgr",
                                         size_t shortBy = 0) {
  Ref<MRKCFrame> meta = MRKCFrame::frame();
  meta->store(MRKCSymbol::symbolWithValue(format).get(), "format");
  MRKFFrameStoreUint(meta.get(), "width", uint64_t(image.cols));
  MRKFFrameStoreUint(meta.get(), "height", uint64_t(image.rows));
  MRKFFrameStoreUint(meta.get(), "frameid", frameid);
  const cv::Mat packed = image.isContinuous() ? image : image.clone();
  const size_t length = packed.total() * packed.elemSize() - shortBy;
  Ref<MRKCBinary> pixels = MRKCBinary::binaryWithBytes(packed.data, length);
  Ref<MRKCFrame> ancillary = MRKCFrame::frame();
  MRKFFrameStoreUint(ancillary.get(), "marker", 7);
  return MRKFMakeStatementWith4Terms("in", MRKCSymbol::symbolWithValue("image").get(), meta.get(), pixels.get(),
                                     ancillary.get(), 0.5);
}

inline Ref<MRKCSquib> squibOf(MRKCStatement* statement, const std::string& label = "in") {
  return MRKCSquib::squibWithLabel(label, statement, 30.0f);
}

inline Ref<MRKCQuery> query(std::string_view predicate) {
  return MRKCQuery::queryWithPredicate(term(predicate)->asPredicate(), nullptr, 30.0f);
}

// Follows a label and keeps what reaches it: the statements of squibs and the replies.
class Collector : public MRKBProcessor {
public:
  explicit Collector(std::string follows) : MRKBProcessor({}, "collector", {}, nullptr), follows_(std::move(follows)) {}

  void onAttached() override { (void)substrate()->disclose(follows_, guid()); }
  void onReceivedSquib(MRKCSquib* squib, const std::string&) override {
    for (const auto& member : squib->statements()->terms())
      if (MRKCStatement* statement = asStatement(member.get())) add(&statements_, Ref<MRKCStatement>(statement));
  }
  void onReceivedReply(MRKCReply* reply, const std::string&) override {
    add(&replies_, Ref<MRKCStatement>(reply->statement()));
  }

  // True once there are at least n statements (or replies), within ten seconds.
  bool waitForStatements(size_t n) {
    return waitFor([&](const auto& statements) { return statements.size() >= n; });
  }
  bool waitForReplies(size_t n) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return replies_.size() >= n; });
  }
  // True once the statements collected pass the test, within ten seconds.
  bool waitFor(const std::function<bool(const std::vector<Ref<MRKCStatement>>&)>& test) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return test(statements_); });
  }
  std::vector<Ref<MRKCStatement>> statements() {
    std::lock_guard lock(mutex_);
    return statements_;
  }
  std::vector<std::string> replies() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const auto& reply : replies_) texts.push_back(reply->text());
    return texts;
  }

private:
  void add(std::vector<Ref<MRKCStatement>>* to, Ref<MRKCStatement> statement) {
    {
      std::lock_guard lock(mutex_);
      to->push_back(std::move(statement));
    }
    changed_.notify_all();
  }

  std::string follows_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Ref<MRKCStatement>> statements_;
  std::vector<Ref<MRKCStatement>> replies_;
};

// One superpixel as published.
struct PublishedSuperpixel {
  std::vector<int16_t> record;
  std::vector<float> pattern;
  std::vector<cv::Point> polygon;
};

inline MRKCFrame* ancillaryOf(MRKCStatement* statement) { return asFrame(statement->terms()->fetchAtIndex(3)); }

inline uint64_t frameIdOf(MRKCStatement* statement) {
  return MRKFFrameFetchUint(asFrame(statement->terms()->fetchAtIndex(1)), "frameid", 0);
}

// The published superpixels; an entry that lacks a part is left out.
inline std::vector<PublishedSuperpixel> superpixelsOf(MRKCStatement* statement) {
  std::vector<PublishedSuperpixel> found;
  MRKCList* list = asList(MRKFFrameFetchTerm(ancillaryOf(statement), "superpixels"));
  if (!list) return found;
  for (const auto& entry : list->terms()) {
    MRKCFrame* frame = asFrame(entry.get());
    MRKCData* supixel = asData(MRKFFrameFetchTerm(frame, "supixel"));
    MRKCData* pattern = asData(MRKFFrameFetchTerm(frame, "pattern"));
    MRKCData* polygon = asData(MRKFFrameFetchTerm(frame, "polygon"));
    if (!supixel || !pattern || !polygon || supixel->format() != kMRKDataSint16 ||
        pattern->format() != kMRKDataReal32 || polygon->format() != kMRKDataSint16)
      continue;
    PublishedSuperpixel superpixel;
    const auto* fields = static_cast<const int16_t*>(supixel->buffer());
    superpixel.record.assign(fields, fields + supixel->count());
    const auto* bins = static_cast<const float*>(pattern->buffer());
    superpixel.pattern.assign(bins, bins + pattern->count());
    const auto* pairs = static_cast<const int16_t*>(polygon->buffer());
    for (size_t i = 0; i + 1 < polygon->count(); i += 2) superpixel.polygon.emplace_back(pairs[i], pairs[i + 1]);
    found.push_back(std::move(superpixel));
  }
  return found;
}

// The published labels as a 16-bit image, empty when absent or of the wrong length.
inline cv::Mat labelsOf(MRKCStatement* statement, cv::Size size) {
  MRKCBinary* mask = asBinary(MRKFFrameFetchTerm(ancillaryOf(statement), "supixelmask"));
  if (!mask || mask->length() != size.area() * sizeof(uint16_t)) return {};
  cv::Mat labels(size, CV_16UC1);
  std::memcpy(labels.data, mask->bytes(), mask->length());
  return labels;
}

// The published pixels (term 2) as a "bgr" image.
inline cv::Mat paintedOf(MRKCStatement* statement, cv::Size size) {
  MRKCBinary* pixels = asBinary(statement->terms()->fetchAtIndex(2));
  if (!pixels || pixels->length() != size.area() * 3u) return {};
  cv::Mat painted(size, CV_8UC3);
  std::memcpy(painted.data, pixels->bytes(), pixels->length());
  return painted;
}

