#pragma once
// A scrollable drawing surface: a window onto a larger content area. Subclasses draw the content
// in onRenderWithStepAndRect(step, rect); children are placed in content coordinates and scroll with
// it. The owner sets the content size and the offset; the offset is always kept within the
// content, so that its last row and column can be scrolled into view.
#include "ui/widgets/QELBParent.h"

// The part of a canvas that scrolling changes.
struct QELTCanvasRecord {
  OGLTSize content;
  OGLTPoint offset;
};

class QELBCanvas;

extern "C" {
// Clamps the point for the canvas's size and the record's content and stores it as the
// record's offset; answers the canvas's size (zero for a null canvas or record).
OGLTSize QELFCanvasApplyOffset(QELTCanvasRecord* record, QELBCanvas* canvas, OGLTPoint offset);
}

class QELBCanvas : public QELBParent {
public:
  ~QELBCanvas() override;

  OGLTSize content() const { return record_.content; }
  // Stores the size and clamps the offset again.
  void setContent(OGLTSize content);
  OGLTPoint offset() const { return record_.offset; }
  void setOffset(OGLTPoint offset);
  // {offset, offset + the smaller of content and size}: the content shown.
  OGLTRect visibleRect() const;

  OGLTRect space() override { return bounds(); }
  OGLTSize preferredSizeWithWindow(QELBWindow*) override { return size(); }
  // Children's frames are content coordinates.
  OGLTPoint spaceToLocal(const OGLTPoint& point) override;
  OGLTPoint localToSpace(const OGLTPoint& point) override;

  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  bool onInputWithScroll(const OGLTScrollEvent& scroll) override;
  void onRenderWithStep(float step) override;
  // Draws the content; the offset is already applied, rect is the visible content. Named apart
  // from onRenderWithStep so that overriding it cannot hide the widget's own hook.
  virtual void onRenderWithStepAndRect(float step, const OGLTRect& rect) {}

protected:
  QELBCanvas(OGLTSize size, OGLTPoint position);

private:
  QELTCanvasRecord record_{};
};

class QELCCanvas : public QELBCanvas {
public:
  [[nodiscard]] static Ref<QELCCanvas> widgetWithSize(OGLTSize size, OGLTPoint position);

protected:
  using QELBCanvas::QELBCanvas;
};
