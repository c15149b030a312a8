#pragma once
// A dialog with a big symbol beside a wrapped message and a row of buttons (see
// QELBChoiceDialog for how a choice comes back).
#include "ui/widgets/QELBChoiceDialog.h"
#include "ui/widgets/QELBSymbol.h"

class QELBMessageDialog : public QELBChoiceDialog {
public:
  QELBMessageDialog(OGLTSize size, OGLTPoint position, std::string title);
  ~QELBMessageDialog() override;

  // The symbol's code point in the "symbols" face.
  uint32_t symbol() const { return symbol_->icon(); }
  void setSymbol(uint32_t icon) { symbol_->setIcon(icon); }

protected:
  bool build();

private:
  Ref<QELCSymbol> symbol_;
};

class QELCMessageDialog : public QELBMessageDialog {
public:
  // Null when a part cannot be made.
  [[nodiscard]] static Ref<QELCMessageDialog> widgetWithSize(OGLTSize size, OGLTPoint position, std::string title);
  using QELBMessageDialog::QELBMessageDialog;
};
