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
#include "ui/widgets/QELBGroup.h"

class VSKCImageViewOverlay;

class VSKCImageView : public VSKBFeedView {
public:
  // The view's state, shared with its overlay.
  struct private_t : VSKTFeedState {
    bool repeat = false;        // the last image statement came from "qav.proj"
    int64_t lastRepeat = 0;     // milliseconds; 0 after a button release
    OGLTPoint cursor = {0, 0};  // in the picture box; (-1, -1) after a button release
    Ref<VSKCImageViewOverlay> overlay;
    Ref<QELCGroup> group;
  };

  // Null when a part cannot be made.
  [[nodiscard]] static Ref<VSKCImageView> viewWithSize(OGLTSize size, OGLTPoint position, std::string feed,
                                                       Ref<JSKCFrame> config);

  const private_t& state() const { return record_; }

protected:
  VSKTFeedState& feedState() override { return record_; }
  void onAttachedIntoWindow() override;
  void onToggleMenu() override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCImageView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

  void onSquib(const LLKCMessage& message);
  // Sends the new region centre and, for the projector's images, the repeat request.
  void steer(const OGLTPoint& point, const OGLTRect& bounds);

  private_t record_;
};

// Draws the cross at the view's cursor.
class VSKCImageViewOverlay : public QELBWidget {
public:
  [[nodiscard]] static Ref<VSKCImageViewOverlay> widgetWithSize(OGLTSize size, OGLTPoint position,
                                                                const VSKCImageView::private_t* record);
  void onRenderWithStep(float step) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCImageViewOverlay(OGLTSize size, OGLTPoint position, const VSKCImageView::private_t* record)
      : QELBWidget(size, position), record_(record) {}

  const VSKCImageView::private_t* record_;
};
