#pragma once
// The images feed: shows the image statements of one channel in a picture box, draws a cross
// where the user last pressed or dragged in it, and turns those presses and drags into a new
// "roi.center" for the region-of-interest extractors ("qav.extr"), asking the projector for its
// image again (at most every 30 ms) when the shown image came from it. The space bar pauses
// and resumes the display.
//
// Window's thread only: the observer delivers the squibs there.
#include <string>

#include "app/vision/VSKBFeedView.h"
#include "app/vision/VSKCImageViewOverlay.h"
#include "ui/widgets/QELBGroup.h"
#include "ui/widgets/QELBPicturebox.h"

// The observer's squibs to the images feed.
inline constexpr LLKTMessageCode kVSKImageViewSquib{0xE000, 4};

class VSKCImageView : public VSKBFeedView, private VSKPImageViewOverlaySource {
  struct private_t {
    bool repeat = false;        // the last image statement came from "qav.proj"
    int64_t lastRepeat = 0;     // milliseconds; 0 after a button release
    OGLTPoint cursor = {0, 0};  // in the picture box; (-1, -1) after a button release
    Ref<QELCPicturebox> picture;
    Ref<VSKCImageViewOverlay> overlay;
    Ref<QELCGroup> group;
  };

public:
  // Null when a part cannot be made.
  [[nodiscard]] static Ref<VSKCImageView> viewWithSize(OGLTSize size, OGLTPoint position, std::string feed,
                                                       Ref<JSKCFrame> config);

  // Read-only, for those who check what the view shows.
  const private_t& state() const { return record_; }

protected:
  void onAttachedIntoWindow() override;
  void onToggleMenu() override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCImageView(OGLTSize size, OGLTPoint position, std::string feed, Ref<ZRVCObserver> observer, Ref<JSKCFrame> config);

  OGLTPoint cross() const override { return record_.cursor; }
  void onSquib(const LLKCMessage& message);
  // Sends the new region centre and, for the projector's images, the repeat request.
  void steer(const OGLTPoint& point, const OGLTRect& bounds);

  private_t record_;
};
