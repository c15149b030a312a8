#pragma once
// A spacer: draws nothing and takes no input; group layouts give spacers the free space of a
// row or column (it is a QELPSpacer).
#include "ui/widgets/QELBControl.h"
#include "ui/widgets/QELBGroup.h"

class QELBSpacer : public QELBControl, public QELPSpacer {
public:
  QELBSpacer(OGLTSize size, OGLTPoint position) : QELBControl(size, position) {}

  bool onInputWithCursor(const OGLTCursorEvent&) override { return false; }
};

class QELCSpacer : public QELBSpacer {
public:
  [[nodiscard]] static Ref<QELCSpacer> widgetWithSize(OGLTSize size, OGLTPoint position) {
    return makeRef<QELCSpacer>(size, position);
  }
  using QELBSpacer::QELBSpacer;
};
