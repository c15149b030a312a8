#include "ui/widgets/QELBMenuList.h"

#include <algorithm>

#include "ui/widgets/QELBControl.h"
#include "ui/widgets/QELBMenuItem.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetInput.h"

QELBMenuList::QELBMenuList(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup)
    : QELBGroup(size, position, setup) {}

QELBMenuList::~QELBMenuList() = default;

Ref<QELCMenuList> QELCMenuList::widgetWithSize(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup) {
  return makeRef<QELCMenuList>(size, position, setup);
}

void QELBMenuList::topple() {
  for (const Ref<QELBWidget>& child : _childs()->members())
    if (auto* item = dynamic_cast<QELBMenuItem*>(child.get())) item->topple();
}

bool QELBMenuList::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!QELFWidgetInnerHit(this, cursor.point)) return false;
  QELBWidget::onInputWithCursor(cursor);
  if (!passCursorToChildren(cursor)) return false;
  if (QELFControlIsClick(cursor)) topple();
  return true;
}

void QELBMenuList::onUpdateWithStep(float step) {
  QELBGroup::onUpdateWithStep(step);
  if (flags() & kQELMenuListOwnWidths) return;
  QELBWindow* owner = window();
  float head = 0, rest = 0;
  std::vector<Ref<QELBWidget>> members = _childs()->members();
  for (const Ref<QELBWidget>& child : members) {
    auto* item = dynamic_cast<QELBMenuItem*>(child.get());
    if (!item) continue;
    item->preferredSizeWithWindow(owner);  // measures headWidth and restWidth
    head = std::max(head, item->headWidth());
    rest = std::max(rest, item->restWidth());
  }
  for (const Ref<QELBWidget>& child : members) child->setSize({head + rest, child->size().h});
  setSize(preferredSize());
}
