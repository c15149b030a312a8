#pragma once
// A window onto a content plane larger than the box: the children lie in content coordinates
// (their frames' union with the origin is the content), a vertical and a horizontal bar show
// and move the window (drag, arrow, page, home and end keys, the wheel), and cursor input goes
// to the children in view. Keys go first to the children (the one that has the keyboard takes
// them); those no child takes scroll the box while the cursor is over it.
#include "ui/gl/OGLC2DContext.h"
#include "ui/widgets/QELBParent.h"

enum : uint32_t {
  kQELScrollboxAutoBars = 0x1,  // bars take no room and show only while hot and needed
};

class QELBScrollbox;

// The union of the children's frames and the origin.
void QELFScrollboxComputeContentRect(QELBScrollbox* box, OGLTRect* rect);

class QELBScrollbox : public QELBParent {
public:
  QELBScrollbox(OGLTSize size, OGLTPoint position);
  ~QELBScrollbox() override;

  // Zero: a scroll box is sized by its owner.
  OGLTSize preferredSizeWithWindow(QELBWindow*) override { return {0, 0}; }
  OGLTRect space() override;
  OGLTPoint spaceToLocal(const OGLTPoint& point) override;
  OGLTPoint localToSpace(const OGLTPoint& point) override;
  OGLTPoint offset() const { return offset_; }
  const OGLTRect& content() const { return content_; }
  // The vertical and horizontal tracks of the bars, local coordinates.
  OGLTRect verticalTrack() const;
  OGLTRect horizontalTrack() const;
  bool verticalShown() const { return verticalShown_; }
  bool horizontalShown() const { return horizontalShown_; }

  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  bool onInputWithScroll(const OGLTScrollEvent& scroll) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  // The shown window in content coordinates: offset to offset + the view's size.
  OGLTRect shownWindow() const;
  OGLTRect view();
  bool hot();
  // Keys and wheel records queued this frame, then the clamp.
  void applyQueuedInput(const OGLTRect& view);
  void placeKnobs(const OGLTRect& view);
  void drawBars(OGLC2DContext* ctx, const OGLTColor& ink, float tint, const OGLTRect& view);
  void drag(const OGLTRect& view);

  OGLTPoint offset_{0, 0};
  OGLTRect content_{};
  bool verticalShown_ = true;
  bool horizontalShown_ = true;
  OGLTRect verticalKnob_{};
  OGLTRect horizontalKnob_{};
};

class QELCScrollbox : public QELBScrollbox {
public:
  [[nodiscard]] static Ref<QELCScrollbox> widgetWithSize(OGLTSize size, OGLTPoint position);
  using QELBScrollbox::QELBScrollbox;
};
