#pragma once
// A dialog with a spinner beside a wrapped message and a row of buttons (see QELBChoiceDialog
// for how a choice comes back): shown while something runs in the background.
#include "ui/widgets/QELBChoiceDialog.h"
#include "ui/widgets/QELBSpinner.h"

class QELBBusyDialog : public QELBChoiceDialog {
public:
  QELBBusyDialog(OGLTSize size, OGLTPoint position, std::string title);
  ~QELBBusyDialog() override;

  QELBSpinner* spinner() const { return spinner_.get(); }

protected:
  bool build();

private:
  Ref<QELCSpinner> spinner_;
};

class QELCBusyDialog : public QELBBusyDialog {
public:
  // Null when a part cannot be made.
  [[nodiscard]] static Ref<QELCBusyDialog> widgetWithSize(OGLTSize size, OGLTPoint position, std::string title);
  using QELBBusyDialog::QELBBusyDialog;
};
