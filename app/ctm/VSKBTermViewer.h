#pragma once
// What the expression viewer and the chunk viewer share: a workbench view that follows its
// channels through an observer and shows one term on an expression surface, with a scroll bar
// along the right and the bottom edge, an optional bar of controls along the top, wheel zoom
// within a range, a zoom reset by the right or middle button, and the title-bar menu (Roll-up
// or Unroll, Close).
//
// Scroll bars and offset agree at all times: a bar's scroll value is the content position at
// the middle of the surface (offset = scroll × content − visible / 2), and whenever the offset
// moves (bars, new content, a pan of the surface's own), the bars are set from the offset the
// surface kept, at the latest in the next update.
//
// Messages by uid: 0xA000 the title-bar menu (tags 1 Close, 2 Unroll, 3 Roll-up), 0xB000 the
// observer's squibs, 0xC000 the view's controls (tags 1 and 2 the vertical and horizontal bar;
// the subclasses' own controls from 3). Anything else goes to onOtherMessage.
//
// Threads: the observer hears squibs on the substrate's threads and hands them to the view on
// the window's thread; its target is set and cleared under its monitor, so no squib reaches the
// view once it has left the window. Everything else runs on the window's thread.
#include <string>
#include <vector>

#include "app/ctm/VSKCExpressionSurface.h"
#include "framework/app/ZRVBView.h"
#include "framework/app/ZRVCObserver.h"
#include "ui/widgets/QELBScrollbar.h"

enum : uint32_t {
  kVSKViewerMenu = 0xA000,
  kVSKViewerSquib = 0xB000,
  kVSKViewerControl = 0xC000,
};

// The observer's squibs' tag.
constexpr uint32_t kVSKViewerSquibArrived = 1;

// Menu tags (uid kVSKViewerMenu).
enum : uint32_t {
  kVSKViewerClose = 1,
  kVSKViewerUnroll = 2,
  kVSKViewerRollup = 3,
};

// Control tags (uid kVSKViewerControl) of the scroll bars.
enum : uint32_t {
  kVSKViewerVerticalBar = 1,
  kVSKViewerHorizontalBar = 2,
};

constexpr float kVSKViewerScrollbarSide = 16;

// How a subclass differs.
struct VSKTTermViewerSetup {
  float topBar;    // height of the bar of controls above the surface; 0 for none
  float minScale;  // wheel zoom range
  float maxScale;
  float resetScale;  // set by the right or middle button over the surface
  const char* name;  // first word of its log lines
};

class VSKBTermViewer : public ZRVBView {
public:
  VSKCExpressionSurface* surface() const { return surface_.get(); }
  QELCScrollbar* verticalBar() const { return vertical_.get(); }
  QELCScrollbar* horizontalBar() const { return horizontal_.get(); }
  ZRVCObserver* observer() const { return observer_.get(); }
  const std::vector<std::string>& channels() const { return channels_; }

  void onAttachedIntoWindow() override;
  void onLeavingWindow() override;
  void onResized() override;
  bool onInputWithScroll(const OGLTScrollEvent& scroll) override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onUpdateWithStep(float step) override;
  void onToggleMenu() override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

protected:
  VSKBTermViewer(OGLTSize size, OGLTPoint position, std::string title, Ref<JSKCFrame> config,
                 const VSKTTermViewerSetup& setup);

  // Makes the observer and the bars and attaches the top widget (when given), the surface and
  // the bars, in that order; false when a part is missing or refused.
  bool build(std::string alias, std::vector<std::string> channels, Ref<VSKCExpressionSurface> surface,
             Ref<QELBWidget> top);
  // Caption and term together, so that the caption shows with the term; null clears both.
  void show(std::string caption, Ref<MRKBTerm> term);
  // True when the window point lies on the surface (edges included).
  bool onSurface(const OGLTPoint& point);
  // Moves the surface's offset (the surface clamps it) and sets the bars from where it ended.
  void moveOffset(OGLTPoint offset);
  // Sets the bars from the surface's offset.
  void barsFromOffset();
  const VSKTTermViewerSetup& setup() const { return setup_; }

  virtual void onSquib(const LLKCMessage& message) = 0;
  // Control tags other than the bars'.
  virtual void onControl(const LLKCMessage&) {}
  virtual void onOtherMessage(const LLKCMessage&) {}

private:
  void onMenu(uint32_t tag);
  void synchroniseBars();

  VSKTTermViewerSetup setup_;
  std::vector<std::string> channels_;
  Ref<ZRVCObserver> observer_;
  Ref<QELCScrollbar> vertical_, horizontal_;
  Ref<VSKCExpressionSurface> surface_;
  bool relayout_ = false;
  OGLTPoint barsOffset_{};  // the offset the bars were last set from
};
