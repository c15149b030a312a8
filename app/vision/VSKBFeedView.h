#pragma once
// What the image, segmented and labelled feeds share: whether the display runs, the channel the
// feed follows and the observer that brings it, following the channel while attached, letting it
// go when detached, and the space bar that pauses and resumes the display. Each feed keeps its
// picture box and the rest of its state in its own record. Window's thread only.
#include <optional>
#include <string>
#include <vector>

#include "framework/app/ZRVBView.h"
#include "framework/app/ZRVCObserver.h"

// The observer's squibs and replies to the segmented and labelled feeds.
inline constexpr LLKTMessageCode kVSKFeedSquib{0xC000, 1};
inline constexpr LLKTMessageCode kVSKFeedReply{0xC000, 2};

class VSKBFeedView : public ZRVBView {
public:
  // False while the space bar has paused the display.
  bool live() const { return live_; }
  // Delivers the followed channel's squibs (and replies) to the view.
  ZRVCObserver& observer() const { return *observer_; }

protected:
  // feed: the stream channel; observer: non-null.
  VSKBFeedView(OGLTSize size, OGLTPoint position, std::string feed, Ref<ZRVCObserver> observer, Ref<JSKCFrame> config);

  const std::string& feed() const { return feed_; }
  // Follows the labels with the squib (and reply, when given) messages; says "cannot follow" the
  // feed in the status bar when the substrate refuses.
  void follow(LLKTMessageCode onSquib, std::optional<LLKTMessageCode> onReply, const std::vector<std::string>& labels);

  void onLeavingWindow() override;
  // Space pauses and resumes the display; false for any other key.
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;

private:
  bool live_ = true;
  std::string feed_;
  Ref<ZRVCObserver> observer_;
};
