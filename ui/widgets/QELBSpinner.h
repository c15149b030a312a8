#pragma once
// A busy spinner: half a ring that turns `speed` × 2 times a second, shaded from transparent
// to the text colour.
#include "ui/widgets/QELBControl.h"

class QELBSpinner : public QELBControl {
public:
  QELBSpinner(OGLTSize size, OGLTPoint position, float speed) : QELBControl(size, position) { setSpeed(speed); }

  float speed() const { return speed_; }
  // Clamped to 0..1 (not a number counts as 0).
  void setSpeed(float speed);
  // Radians, 0 to 2π.
  float angle() const { return angle_; }

  // The current size when it has no zero dimension, else a square of side
  // 4 × max(cornerRadius, padding) + textFontSize.
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  float angle_ = 0;
  float speed_ = 0;
};

class QELCSpinner : public QELBSpinner {
public:
  [[nodiscard]] static Ref<QELCSpinner> widgetWithSize(OGLTSize size, OGLTPoint position, float speed);
  using QELBSpinner::QELBSpinner;
};
