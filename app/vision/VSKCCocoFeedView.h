#pragma once
// The COCO feed's view ("COCO feeder"): buttons to choose the dataset folder, publish the next
// image, publish the same image again and start the folder over, and a check box for random
// order. The work runs in the view's worker (VSKCCocoFeedWorker) from attach to detach; the
// view only posts it messages and shows what it tells in its status bar. A broadcast "next"
// (kVSKCocoFeedNextImage), which the labelling tool sends, asks for the next image.
//
// Window's thread only.
#include "app/vision/VSKCCocoFeedWorker.h"
#include "framework/app/ZRVBView.h"

// The broadcast that asks the feed for its next image.
inline constexpr LLKTMessageCode kVSKCocoFeedNextImage{0xFFFF, 0xFFFF};

class VSKCCocoFeedView : public ZRVBView {
public:
  // Null when a part cannot be made.
  [[nodiscard]] static Ref<VSKCCocoFeedView> viewWithSize(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);
  ~VSKCCocoFeedView() override;

protected:
  void onAttachedIntoWindow() override;
  void onLeavingWindow() override;
  void onToggleMenu() override;
  void onBroadcast(const Ref<LLKBObject>& object) override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCCocoFeedView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

  bool build();
  void openFolderDialog();
  void toWorker(uint32_t tag, Ref<LLKBObject> payload = nullptr);

  Ref<VSKCCocoFeedWorker> worker_;
};
