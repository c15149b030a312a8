#include "ui/widgets/QELBDialog.h"

#include <cmath>

#include "ui/widgets/QELBWindow.h"

OGLTPoint QELFDialogCentre(const OGLTRect& area, OGLTSize size) {
  return {std::round(area.left + (area.right - area.left - size.w) / 2),
          std::round(area.top + (area.bottom - area.top - size.h) / 2)};
}

QELBDialog::QELBDialog(OGLTSize size, OGLTPoint position, std::string title)
    : QELBView(size, position, std::move(title), kQELDialogFlags) {}

QELBDialog::~QELBDialog() = default;

void QELBDialog::onAttachedIntoWindow() {
  QELBView::onAttachedIntoWindow();
  resizeWithWindow(window());
  placed_ = false;
}

void QELBDialog::onDetachedFromWindow() {
  QELBView::onDetachedFromWindow();
  // Closed for good: it lets its children and its target go (a target that keeps the choice,
  // which names the dialog, would otherwise keep both alive).
  detachAll();
  target_ = nullptr;
}

OGLTRect QELBDialog::area() {
  // A child's frame lies in its parent's space with the space's top left as origin, so the
  // parent's content is centred by its size alone.
  if (QELBParent* above = parent()) {
    OGLTRect space = above->space();
    return {0, 0, space.right - space.left, space.bottom - space.top};
  }
  // A top-level frame is in window coordinates: the window's own rect from its top left.
  QELBWindow* owner = window();
  OGLTSize size = owner ? owner->size() : OGLTSize{};
  return {0, 0, size.w, size.h};
}

void QELBDialog::onUpdateWithStep(float step) {
  OGLTRect a = area();
  const OGLTRect& f = frame();
  bool inside = f.left >= a.left && f.top >= a.top && f.right <= a.right && f.bottom <= a.bottom;
  if (!placed_ || !inside) {
    setPosition(QELFDialogCentre(a, size()));
    placed_ = true;
  }
  QELBView::onUpdateWithStep(step);
}

void QELBDialog::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  Ref<QELBWidget> self(this);  // detaching may drop the last reference
  QELBView::onMessaged(message);
  if (QELBParent* above = parent()) above->detach(self);
  else if (QELBWindow* owner = window()) owner->detach(self);
}

void QELBDialog::deliverChoice(const Ref<LLKCMessage>& choice) {
  if (!choice) return;
  if (target_) target_->poke(choice);
  else send(choice);
}
