#pragma once
// A window inside the window: a parent with a rounded, themed body, an optional title bar with
// the title and up to four icon buttons (menu, enable toggle, roll-up, close), an optional
// status bar, dragging by the title bar, resizing at its edges (done by the widget window),
// an animated roll-up into its title bar and a close sequence.
//
// Children are placed in the content rect (space()): the body inside its border, below the
// title bar and above the status bar. They are drawn and hit-tested from that one origin.
#include <string>

#include "ui/widgets/QELBParent.h"
#include "ui/widgets/QELTWindowTweaks.h"

struct OGLC2DContext;

enum : uint32_t {
  kQELViewTitleBar = 0x10,
  kQELViewStatusBar = 0x20,
  kQELViewCloseButton = 0x40,
  kQELViewRollButton = 0x80,
  kQELViewDraggable = 0x100,
  kQELViewEnableButton = 0x200,
  kQELViewKeepInside = 0x400,
  kQELViewLongPress = 0x800,
  kQELViewDetachOnClose = 0x1000,
  kQELViewMenuButton = 0x2000,
  kQELViewResizable = 0x4000,
};

// The height of the title and status bars.
constexpr float kQELViewBarHeight = 20;

enum : uint32_t {
  kQELRollOpen = 0,
  kQELRollRolledUp = 1,
  kQELRollRollingUp = 2,
  kQELRollUnrolling = 3,
  kQELRollCloseRequested = 4,
};

class QELBView : public QELBParent {
public:
  ~QELBView() override;

  // The view size that holds a content of that size; zero without a theme.
  static OGLTSize sizeToFit(OGLTSize content, QELBWindow* window, uint32_t flags);
  OGLTSize sizeToFit(OGLTSize content, QELBWindow* window) { return sizeToFit(content, window, flags_); }

  bool isDragged() const { return dragged_; }
  OGLTPoint lastPoint() const { return lastPoint_; }
  const std::string& title() const { return title_; }
  void setTitle(std::string title);
  const std::string& status() const { return status_; }
  void setStatus(std::string status);
  // A component of 0 sets no limit in that direction. Edge drags never go below usableSize()
  // whatever the minimum says.
  OGLTSize minSize() const { return minSize_; }
  void setMinSize(OGLTSize size) { minSize_ = size; }
  OGLTSize maxSize() const { return maxSize_; }
  void setMaxSize(OGLTSize size) { maxSize_ = size; }
  const Ref<LLKCMessage>& onClosed() const { return onClosed_; }
  void setOnClosed(Ref<LLKCMessage> message) { onClosed_ = std::move(message); }
  const Ref<LLKCMessage>& onRollup() const { return onRollup_; }
  void setOnRollup(Ref<LLKCMessage> message) { onRollup_ = std::move(message); }
  const Ref<LLKCMessage>& onUnroll() const { return onUnroll_; }
  void setOnUnroll(Ref<LLKCMessage> message) { onUnroll_ = std::move(message); }

  // The smallest size that still shows the bars, room for the title and the title-bar buttons
  // and one row of content.
  OGLTSize usableSize() const;
  // The frame made usable (at least usableSize(), keeping left and top) and moved so that a part
  // of its title bar lies inside the area (an empty area leaves the place alone): for frames
  // read back from settings, with the window's view area (QELBWindow::viewArea).
  OGLTRect reachableFrame(const OGLTRect& frame, const OGLTRect& area) const;
  // A place read back from settings made fit to build a frame on: each coordinate within ±2^20
  // (far outside any window, near enough that a size added to it is not lost to float rounding),
  // one that is not a number at 0. reachableFrame then brings the frame within reach.
  static OGLTPoint placeablePoint(OGLTPoint point);

  void rollup();
  void unroll();
  // Handled at the next update: hidden, onClose, onClosed sent, detached with 0x1000; the roll
  // state is then the one the view had before (rolled up stays rolled up).
  void close();
  bool isRolledup() const { return roll_ == kQELRollRolledUp || roll_ == kQELRollRollingUp; }
  uint32_t rollState() const { return roll_; }

  uint32_t flags() const override { return flags_; }
  void setFlags(uint32_t flags) override;

  void setSize(OGLTSize size) override;
  void setFrame(const OGLTRect& frame) override;
  OGLTRect space() override;
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;

  void onUpdateWithStep(float step) override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onRenderWithStep(float step) override;

  virtual void onClose() {}
  virtual void onResized() {}
  virtual void onToggleMenu() {}

protected:
  // Created hidden: its creator positions it, attaches it and shows it.
  QELBView(OGLTSize size, OGLTPoint position, std::string title, uint32_t flags);

private:
  void drawBody(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks, bool hovered);
  void drawTitleBar(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks, bool hovered);
  void drawButtons(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks);
  void drawStatusBar(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks);
  void press(uint32_t button);
  // Moves a dragged view so that its grip lies at the point (local), within the window's rules.
  void dragTo(const OGLTPoint& p);
  void stepRoll(float step);
  // The height of a rolled-up view: its bars alone.
  float rolledHeight() const;
  void finishClose();
  float barsHeight() const;

  uint32_t flags_ = 0;
  Ref<LLKCMessage> onClosed_, onRollup_, onUnroll_;
  std::string title_, status_;
  OGLTSize minSize_{}, maxSize_{};
  uint32_t roll_ = kQELRollOpen;
  uint32_t rollBeforeClose_ = kQELRollOpen;
  bool dragged_ = false;
  OGLTPoint lastPoint_{};
  float eased_ = 1.0f;
  float progress_ = 0;
  float rollDistance_ = 0;
  float openHeight_ = 0;  // the height before rolling up, restored by unrolling
};

class QELCView : public QELBView {
public:
  [[nodiscard]] static Ref<QELCView> widgetWithSize(OGLTSize size, OGLTPoint position, std::string title);
  [[nodiscard]] static Ref<QELCView> widgetWithSize(OGLTSize size, OGLTPoint position, std::string title,
                                                    uint32_t flags);

protected:
  using QELBView::QELBView;
};
