#include "ui/widgets/QELBMenu.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/widgets/QELBMenuList.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetInput.h"

const QELTGroupSetup QELKMenuSetup = {kQELGroupFree, 0, 0, 0, 0};

bool QELFMenuCollapse(QELBMenu* menu) {
  if (!menu) return false;
  Ref<QELBMenu> hold(menu);  // detaching may drop the last other reference
  if (menu->_childs()->count() > 0)
    if (auto* list = dynamic_cast<QELBMenuList*>(menu->_childs()->fetchAtIndex(0).get())) list->topple();
  if (menu->flags() & kQELMenuPersistent) return true;
  if (menu->flags() & kQELMenuDetaches) {
    if (QELBParent* parent = menu->parent()) {
      parent->detach(hold);
    } else if (QELBWindow* owner = menu->window()) {
      owner->detach(hold);
    }
  }
  menu->setVisible(false);
  return false;
}

QELBMenu::QELBMenu(OGLTSize size, OGLTPoint position) : QELBGroup(size, position, &QELKMenuSetup) {}

QELBMenu::~QELBMenu() = default;

Ref<QELCMenu> QELCMenu::widgetWithSize(OGLTSize size, OGLTPoint position) { return makeRef<QELCMenu>(size, position); }

void QELBMenu::onAwaken() {
  QELBGroup::onAwaken();
  shownAtAwaken_ = visible();
}

void QELBMenu::onUpdateWithStep(float step) {
  QELBGroup::onUpdateWithStep(step);
  if (!(flags() & kQELMenuKeepsSize)) setSize(preferredSize());
  // A menu made visible during this frame is never collapsed by this frame's click.
  if (visible() && shownAtAwaken_ && !hasCursorRecord()) collapseOnClickOutside();
}

void QELBMenu::collapseOnClickOutside() {
  QELBWindow* owner = window();
  if (!owner) return;
  const OGLTInputQueue* queue = owner->inputs();
  for (uint32_t i = 0; i < queue->count; ++i) {
    const OGLTInputEvent& record = queue->events[i];
    if (record.type != kOGLInputCursor || !QELFCursorActionIsOdd(record.cursor.action)) continue;
    OGLTPoint point = worldToSpace(record.cursor.point);
    for (const Ref<QELBWidget>& child : childs())
      if (child->visible() && child->enabled() && QELFRectContains(child->frame(), point)) return;
    QELFMenuCollapse(this);
    return;
  }
}

bool QELBMenu::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!QELFWidgetInnerHit(this, cursor.point)) return false;
  QELBWidget::onInputWithCursor(cursor);
  if (passCursorToChildren(cursor)) return true;
  if (!QELFCursorActionIsOdd(cursor.action)) return false;
  QELFMenuCollapse(this);
  return true;
}

bool QELBMenu::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (key.key == kOGLKeyEscape) {
    if (key.action != kOGLActionRelease) return false;
    QELFMenuCollapse(this);
    return true;
  }
  if (!hasCursorRecord() || (key.action != kOGLActionPress && key.action != kOGLActionRepeat)) return false;
  OGLTRect s = space();
  float page = s.bottom - s.top, all = std::numeric_limits<float>::max();
  switch (key.key) {
    case kOGLKeyDown:
      return scrollList(rowHeight());
    case kOGLKeyUp:
      return scrollList(-rowHeight());
    case kOGLKeyPageUp:
      return scrollList(-page);
    case kOGLKeyPageDown:
      return scrollList(page);
    case kOGLKeyHome:
      return scrollList(-all);
    case kOGLKeyEnd:
      return scrollList(all);
    default:
      return false;
  }
}

bool QELBMenu::onInputWithScroll(const OGLTScrollEvent& scroll) {
  return hasCursorRecord() && scrollList(-scroll.delta.y * rowHeight());
}

float QELBMenu::rowHeight() {
  auto* list = _childs()->count() > 0 ? dynamic_cast<QELBParent*>(_childs()->fetchAtIndex(0).get()) : nullptr;
  size_t rows = list ? list->childs().size() : 0;
  return rows > 0 ? list->size().h / static_cast<float>(rows) : 0;
}

bool QELBMenu::scrollList(float dy) {
  if (_childs()->count() == 0) return false;
  QELBWidget* list = _childs()->fetchAtIndex(0).get();
  OGLTRect s = space();
  float hidden = list->size().h - (s.bottom - s.top);
  if (!(hidden > 0)) return false;
  OGLTPoint at = list->position();
  list->setPosition({at.x, std::round(std::clamp(at.y - dy, -hidden, 0.0f))});
  return true;
}

void QELBMenu::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  Ref<QELBMenu> self(this);
  // Where the default handling sends it, taken before a pop-up detaches itself on collapse, so
  // that the choice is not lost with the menu.
  Ref<QELBParent> above(parent());
  QELBWindow* owner = window();
  QELFMenuCollapse(this);
  if (target_) target_->onMessaged(message);
  else if (above) above->onMessaged(message);
  else if (owner) owner->post(message);
}
