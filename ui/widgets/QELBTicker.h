#pragma once
// A ticker: a label that shows its texts one after the other, advancing once each time more
// than `interval` seconds of frame steps have passed. Flag 2 draws it in hoverColor while
// hovered, flag 4 always.
#include <string>
#include <vector>

#include "ui/widgets/QELBTextControl.h"

class QELBTicker : public QELBTextControl {
public:
  QELBTicker(OGLTSize size, OGLTPoint position, uint32_t alignment, std::vector<std::string> texts)
      : QELBTextControl(size, position, alignment), texts_(std::move(texts)) {}

  // The size a ticker with those texts would have in the window (standard text setting).
  static OGLTSize preferredSizeWithWindow(QELBWindow* window, const std::vector<std::string>& texts, float width);

  const std::vector<std::string>& texts() const { return texts_; }
  // Replaces the texts and starts again from the first.
  void setTexts(std::vector<std::string> texts);
  float interval() const { return interval_; }
  // Keeps the current index.
  void setInterval(float interval) { interval_ = interval; }
  uint32_t index() const { return index_; }

  // The bounds inset by 2 × max(cornerRadius, padding) (the bounds when plain or without a window).
  OGLTRect space() override;
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  // The union of the texts' bounds (their common size) with the context's current font.
  static OGLTSize measure(OGLC2DContext* ctx, const std::vector<std::string>& texts, float wrap);

  std::vector<std::string> texts_;
  uint32_t index_ = 0;
  float elapsed_ = 0;
  float interval_ = 0.15f;
};

class QELCTicker : public QELBTicker {
public:
  [[nodiscard]] static Ref<QELCTicker> widgetWithSize(OGLTSize size, OGLTPoint position, uint32_t alignment,
                                                      std::vector<std::string> texts);
  [[nodiscard]] static Ref<QELCTicker> widgetWithAlignment(uint32_t alignment, std::vector<std::string> texts);
  using QELBTicker::QELBTicker;
};
