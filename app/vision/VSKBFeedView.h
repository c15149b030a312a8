#pragma once
// What the image, segmented and labelled feeds share: the state every feed keeps (whether the
// display runs, the channel it follows, its picture box and its observer), following the channel
// while attached, letting it go when detached, and the space bar that pauses and resumes the
// display. Window's thread only.
#include <string>
#include <vector>

#include "framework/app/ZRVBView.h"
#include "framework/app/ZRVCObserver.h"
#include "ui/widgets/QELBPicturebox.h"

struct VSKTFeedState {
  bool live = true;
  std::string feed;  // the stream channel
  Ref<QELCPicturebox> picture;
  Ref<ZRVCObserver> observer;
};

class VSKBFeedView : public ZRVBView {
protected:
  VSKBFeedView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

  // The derived view's record.
  virtual VSKTFeedState& feedState() = 0;
  // Follows the labels with the squib (and reply, when non-zero) messages; says "cannot follow"
  // the feed in the status bar when the substrate refuses.
  void follow(uint64_t onSquib, uint64_t onReply, const std::vector<std::string>& labels);

  void onLeavingWindow() override;
  // Space pauses and resumes the display; false for any other key.
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
};
