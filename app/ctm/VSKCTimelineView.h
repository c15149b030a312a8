#pragma once
// "Conscious contents": the view that follows a CTM stage's tick statements on its feed label
// (the workbench gives "ctm.tick") and shows one tick at a time on its surface. A row of buttons
// clears, steps (first, previous, next, last) and switches between live and paused; the title-bar
// menu hides or shows kudos and direct chunks, rolls the view up and closes it. Entering and
// leaving live mode is told to the chunk viewer ("ui.gist") with kVSKGistLive and kVSKGistPaused,
// and so is the mode the timeline has when it enters the window.
//
// Statements that are no ticks and malformed chunks are logged as VSKTRepeatedLog does.
//
// Messages by uid (below): the title-bar menu, the observer's squibs and the view's own
// controls; the tag names the item. Settings (the view's config): "size", "position",
// "hide.kudos", "hide.links", stored when the view leaves the window.
//
// Threads: the observer hears squibs on the substrate's threads and hands them to the view on
// the window's thread; the view sets and clears the observer's target under the observer's
// monitor, so no squib reaches it once it has left the window. Everything else runs on the
// window's thread.
#include <string>

#include "app/ctm/VSKCTimelineSurface.h"
#include "app/ctm/VSKTRepeatedLog.h"
#include "app/ctm/VSKTTimelineTicks.h"
#include "framework/app/ZRVBView.h"
#include "framework/app/ZRVCObserver.h"
#include "ui/widgets/QELBGroup.h"
#include "ui/widgets/QELBScrollbar.h"
#include "ui/widgets/QELBSymbol.h"

enum : uint32_t {
  kVSKTimelineMenu = 0xA000,
  kVSKTimelineSquib = 0xB000,
  kVSKTimelineControl = 0xC000,
};

// The observer's squibs' tag.
constexpr uint32_t kVSKTimelineSquibArrived = 1;

// Control tags (uid kVSKTimelineControl).
enum : uint32_t {
  kVSKTimelineClear = 0,
  kVSKTimelineLive = 1,
  kVSKTimelinePrevious = 2,
  kVSKTimelineNext = 3,
  kVSKTimelineFirst = 4,
  kVSKTimelineLast = 5,
  kVSKTimelineVerticalBar = 6,
  kVSKTimelineHorizontalBar = 7,
};

// Menu tags (uid kVSKTimelineMenu).
enum : uint32_t {
  kVSKTimelineClose = 1,
  kVSKTimelineUnroll = 2,
  kVSKTimelineRollup = 3,
  kVSKTimelineShowKudos = 4,
  kVSKTimelineHideKudos = 5,
  kVSKTimelineShowLinks = 6,
  kVSKTimelineHideLinks = 7,
};

class VSKCTimelineView : public ZRVBView {
public:
  // Size and position from the config's "size" and "position", else the given ones. Null when
  // the feed is empty or a part cannot be made.
  [[nodiscard]] static Ref<VSKCTimelineView> viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                          std::string feed, Ref<JSKCFrame> config);

  const VSKTTimelineTicks& ticks() const { return ticks_; }
  VSKCTimelineSurface* surface() const { return surface_.get(); }
  ZRVCObserver* observer() const { return observer_.get(); }
  QELBSymbol* liveButton() const { return live_.get(); }
  QELCScrollbar* verticalBar() const { return vertical_.get(); }
  QELCScrollbar* horizontalBar() const { return horizontal_.get(); }

  void onAttachedIntoWindow() override;
  void onLeavingWindow() override;
  void onResized() override;
  bool onInputWithScroll(const OGLTScrollEvent& scroll) override;
  void onUpdateWithStep(float step) override;
  void onToggleMenu() override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCTimelineView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);
  // The ticks go on a thread of their own (VSKFLetGoAside).
  ~VSKCTimelineView() override;

  bool build(std::string alias, std::string feed);
  void onSquib(const LLKCMessage& message);
  void onControl(const LLKCMessage& message);
  void onMenu(uint32_t tag);
  void scrollTo(uint32_t tag, double scroll);
  void showShownTick();
  void tellChunkViewer();

  VSKTTimelineTicks ticks_;
  std::string feed_;
  Ref<ZRVCObserver> observer_;
  Ref<QELCGroup> bar_;
  Ref<QELCScrollbar> vertical_, horizontal_;
  Ref<VSKCTimelineSurface> surface_;
  Ref<QELCSymbol> live_;
  uint64_t shownChanges_ = 0;
  VSKTRepeatedLog log_{"timeline"};
};
