#pragma once
// Image statements, pixel patterns, a tap that collects what processors publish, and a capture
// of the log, for the vision module's tests.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "framework/substrate/MRKBProcessor.h"
#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "tests/support/OutputCapture.h"

// Pixels that differ in every channel of every pixel of small images.
inline uint8_t patternByte(uint32_t x, uint32_t y, uint32_t channel) {
  return static_cast<uint8_t>(x * 7 + y * 13 + channel * 50 + 1);
}

inline std::vector<uint8_t> patternPixels(uint32_t width, uint32_t height, uint32_t pixelSize) {
  std::vector<uint8_t> pixels(size_t{width} * height * pixelSize);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x)
      for (uint32_t c = 0; c < pixelSize; ++c) pixels[(size_t{y} * width + x) * pixelSize + c] = patternByte(x, y, c);
  return pixels;
}

// An image statement as sources write it; extra meta members are added as given.
inline Ref<MRKCStatement> makeImage(const std::string& label, const std::string& format, uint64_t width,
                                    uint64_t height, std::vector<uint8_t> pixels, double value = 1.0) {
  Ref<MRKCFrame> meta = MRKCFrame::frame();
  meta->store(MRKCSymbol::symbolWithValue(format).get(), "format");
  MRKFFrameStoreUint(meta.get(), "width", width);
  MRKFFrameStoreUint(meta.get(), "height", height);
  MRKFFrameStoreUint(meta.get(), "frameid", 1);
  MRKFFrameStoreUint(meta.get(), "length", pixels.size());
  Ref<MRKCBinary> binary = MRKCBinary::binaryWithValue(std::move(pixels));
  return MRKFMakeStatementWith4Terms(label, MRKCSymbol::symbolWithValue("image").get(), meta.get(), binary.get(),
                                     MRKCFrame::frame().get(), value);
}

inline MRKCFrame* metaOf(MRKCStatement* statement) { return asFrame(statement->terms()->fetchAtIndex(1)); }
inline const std::vector<uint8_t>& pixelsOf(MRKCStatement* statement) {
  return asBinary(statement->terms()->fetchAtIndex(2))->value();
}
inline uint64_t metaUint(MRKCStatement* statement, const char* key) {
  return MRKFFrameFetchUint(metaOf(statement), key, 999999);
}
inline int64_t metaSint(MRKCStatement* statement, const char* key) {
  return MRKFFrameFetchSint(metaOf(statement), key, 999999);
}
inline std::string metaSymbol(MRKCStatement* statement, const char* key) {
  MRKCSymbol* symbol = MRKFFrameFetchSymbol(metaOf(statement), key);
  return symbol ? symbol->value() : std::string("<none>");
}

// Follows labels and keeps every statement that arrives on them, with the squib it came in.
class VisionTap : public MRKBProcessor {
public:
  explicit VisionTap(std::vector<std::string> labels)
      : MRKBProcessor({}, "vision.tap", {}, nullptr), labels_(std::move(labels)) {}

  void onAttached() override {
    for (const std::string& label : labels_) EXPECT_TRUE(substrate()->disclose(label, guid()));
  }
  void onReceivedQuery(MRKCQuery*, const std::string&) override {}
  void onReceivedReply(MRKCReply* reply, const std::string&) override {
    {
      std::lock_guard lock(mutex_);
      replies_.push_back(reply->statement()->text());
    }
    changed_.notify_all();
  }
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override {
    {
      std::lock_guard lock(mutex_);
      ++squibs_[squib->label()];
      for (const auto& member : squib->statements()->terms())
        if (MRKCStatement* statement = asStatement(member.get())) received_.emplace_back(statement);
    }
    changed_.notify_all();
  }

  // The statements on the label once there are count of them (within ten seconds), else what
  // there is.
  std::vector<Ref<MRKCStatement>> waitFor(const std::string& label, size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(10), [&] { return onLabelLocked(label).size() >= count; });
    return onLabelLocked(label);
  }
  std::vector<Ref<MRKCStatement>> statements(const std::string& label) {
    std::lock_guard lock(mutex_);
    return onLabelLocked(label);
  }
  // True once a reply has arrived (within ten seconds).
  bool waitForReply() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return !replies_.empty(); });
  }
  // The replies' statements in the term text form once there are count of them (within ten
  // seconds), else what there is.
  std::vector<std::string> waitForReplies(size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(10), [&] { return replies_.size() >= count; });
    return replies_;
  }
  size_t squibCount(const std::string& label) {
    std::lock_guard lock(mutex_);
    return squibs_[label];
  }

private:
  std::vector<Ref<MRKCStatement>> onLabelLocked(const std::string& label) const {
    std::vector<Ref<MRKCStatement>> found;
    for (const auto& statement : received_)
      if (statement->label() == label) found.push_back(statement);
    return found;
  }

  std::vector<std::string> labels_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Ref<MRKCStatement>> received_;
  std::map<std::string, size_t> squibs_;
  std::vector<std::string> replies_;
};

