#pragma once
// A separator: a thin horizontal line across the control. It takes no input.
#include "ui/widgets/QELBControl.h"

class QELBSeparator : public QELBControl {
public:
  QELBSeparator(OGLTSize size, OGLTPoint position) : QELBControl(size, position) {}

  bool onInputWithCursor(const OGLTCursorEvent&) override { return false; }
  void onRenderWithStep(float step) override;
};

class QELCSeparator : public QELBSeparator {
public:
  [[nodiscard]] static Ref<QELCSeparator> widgetWithSize(OGLTSize size, OGLTPoint position);
  using QELBSeparator::QELBSeparator;
};
