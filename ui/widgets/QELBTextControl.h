#pragma once
// What the label and the ticker share: the alignment of their text in its box, the wrap width
// (−1: one line), an own font size that replaces the theme's, and the face (the widget's
// fontName, else the theme's text face). Flag 1 (plain) drops the 1-pixel inset and padding.
#include <string>

#include "ui/widgets/QELBControl.h"

class QELBTextControl : public QELBControl {
public:
  // Text alignment flags of the 2D context (left 1, centre 2, right 4, top 8, middle 16, bottom 32).
  uint32_t alignment() const { return alignment_; }
  void setAlignment(uint32_t alignment) { showChange(alignment_, alignment); }
  // The wrap width; below 0 the text stays on one line.
  float width() const { return width_; }
  void setWidth(float width) { showChange(width_, width); }
  // Setting the size makes it replace the theme's.
  float fontSize() const { return fontSize_; }
  void setFontSize(float size) {
    fontSizeSet_ = true;
    fontSize_ = size;
    redraw();
  }
  bool plain() const { return flags() & kQELControlPlain; }

protected:
  QELBTextControl(OGLTSize size, OGLTPoint position, uint32_t alignment)
      : QELBControl(size, position), alignment_(alignment) {}

  // The text font: own size or textFontSize, own face or textFontFace, spacing, line height;
  // aligned left and top for measuring.
  void applyFont(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks) const;
  // The wrap width after taking off the horizontal padding (none when plain); below 0: no wrap.
  float wrapWidth(float padding) const;
  // Draws the text placed by the alignment inside the box (local coordinates), clipped to it.
  void drawText(OGLC2DContext* ctx, const std::string& text, const OGLTRect& box, float wrap,
                const OGLTColor& colour) const;

private:
  uint32_t alignment_;
  float width_ = -1;
  bool fontSizeSet_ = false;
  float fontSize_ = 0;
};
