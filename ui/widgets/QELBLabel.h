#pragma once
// A text label: one line, or wrapped to `width` less its padding, placed in its box by the
// alignment. It takes no clicks of its own beyond hover (flag 2 draws it in hoverColor then).
#include <string>

#include "ui/widgets/QELBTextControl.h"

class QELBLabel : public QELBTextControl {
public:
  QELBLabel(OGLTSize size, OGLTPoint position, uint32_t alignment, std::string text)
      : QELBTextControl(size, position, alignment), text_(std::move(text)) {}

  // The size a label with that text would have in the window: standard text setting, wrapped
  // to the width when it is 0 or more; zero without a window.
  static OGLTSize preferredSizeWithWindow(QELBWindow* window, const std::string& text, float width);

  const std::string& text() const { return text_; }
  void setText(std::string text) { showChange(text_, std::move(text)); }
  // Added to the theme's padding on each side.
  OGLTSize padding() const { return padding_; }
  void setPadding(OGLTSize padding) {
    padding_ = padding;
    redraw();
  }

  // The bounds inset by twice the padding (the bounds when plain or without a window).
  OGLTRect space() override;
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  void onRenderWithStep(float step) override;

private:
  // The horizontal and vertical padding: max(cornerRadius, padding + own padding).
  OGLTSize pads(const QELTWindowTweaks& tweaks) const;

  std::string text_;
  OGLTSize padding_{0, 0};
};

class QELCLabel : public QELBLabel {
public:
  [[nodiscard]] static Ref<QELCLabel> widgetWithSize(OGLTSize size, OGLTPoint position, uint32_t alignment,
                                                     std::string text);
  // Zero size at position zero.
  [[nodiscard]] static Ref<QELCLabel> widgetWithAlignment(uint32_t alignment, std::string text);
  using QELBLabel::QELBLabel;
};
