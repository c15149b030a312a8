#pragma once
// A scrolling list of the child widgets its owner attaches, stacked top to bottom in list
// order, with a 14-pixel scroll lane at the right. Keys and the wheel scroll it while the
// cursor is over it; the lane can be dragged. Children's frames are in content coordinates.
#include "ui/widgets/QELBParent.h"
#include "ui/widgets/QELFScrollLane.h"

enum : uint32_t {
  kQELListboxFitWidth = 0x1,  // every child gets the list's row width
};

class QELBListbox;

// Stacks the children from y 0 (given the list's row width with kQELListboxFitWidth) and
// writes the content rect {0, 0, widest child, total height}.
void QELFListboxComputeContentRect(QELBListbox* listbox, OGLTRect* rect);
// {offset, offset + (row width, visible height)}: the content shown.
void QELFListboxComputeVisibleRect(const QELBListbox* listbox, OGLTRect* rect);

class QELBListbox : public QELBParent {
public:
  QELBListbox(OGLTSize size, OGLTPoint position);
  ~QELBListbox() override;

  OGLTSize preferredSizeWithWindow(QELBWindow*) override { return size(); }
  OGLTRect space() override;
  OGLTPoint spaceToLocal(const OGLTPoint& point) override;
  OGLTPoint localToSpace(const OGLTPoint& point) override;
  // The width given to rows.
  float width() const;
  float visibleHeight() const;
  // {offset, offset + (row width, visible height)}: the content shown.
  OGLTRect visibleRect() const;
  const OGLTRect& contentRect() const { return content_; }
  OGLTPoint offset() const { return offset_; }

  // offset ÷ content height (0 without content); the setter applies at the next frame.
  float scroll() const;
  void setScroll(float fraction);
  // Scrolls as little as needed to show the child; nothing for a widget of another parent.
  void scrollToVisible(const QELBWidget* child);

  void onAwaken() override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  bool onInputWithScroll(const OGLTScrollEvent& scroll) override;
  void onRenderWithStep(float step) override;

private:
  // The queued keys and wheel records and a lane drag, applied once per frame.
  void applyQueuedInput();
  // How far Up, Down and a wheel notch move: one row on average, at least a pixel.
  float rowStep() const;

  OGLTPoint offset_{0, 0};
  OGLTRect content_{};
  QELTScrollRequest pendingScroll_;
};

class QELCListbox : public QELBListbox {
public:
  [[nodiscard]] static Ref<QELCListbox> widgetWithSize(OGLTSize size, OGLTPoint position);
  using QELBListbox::QELBListbox;
};
