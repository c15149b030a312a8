#include "ui/widgets/QELBParent.h"

#include "framework/core/LLKFThreadContract.h"
#include "ui/widgets/QELBWindow.h"

QELBParent::QELBParent(OGLTSize size, OGLTPoint position)
    : QELBWidget(size, position), childs_(QELCWidgets::widgets()) {}

QELBParent::~QELBParent() = default;

OGLTRect QELFWidgetsFrameUnion(const QELCWidgets& list) {
  std::vector<Ref<QELBWidget>> members = list.members();
  if (members.empty()) return {0, 0, 100, 100};
  OGLTRect u = members.front()->frame();
  for (const Ref<QELBWidget>& child : members) u = QELFRectUnion(u, child->frame());
  return u;
}

bool QELBParent::mayAdopt(const QELBWidget* widget) const {
  // No widget inside itself.
  for (const QELBWidget* ancestor = this; ancestor; ancestor = ancestor->parent())
    if (ancestor == widget) return false;
  return true;
}

bool QELBParent::attach(const Ref<QELBWidget>& widget) {
  LLKF_EXPECT_THREAD(!window() || window()->isWidgetThread(), "attaching a widget: window thread only");
  return QELFChildListAttach(*childs_, *this, widget);
}

bool QELBParent::detach(const Ref<QELBWidget>& widget) { return QELFChildListDetach(*childs_, *this, widget); }

void QELBParent::detachAll() { QELFChildListDetachAll(*childs_, *this); }

void QELBParent::detachAllBut(const Ref<QELBWidget>& widget) { QELFChildListDetachAllBut(*childs_, *this, widget); }

bool QELBParent::raise(const QELBWidget* widget) { return QELFChildListRaise(*childs_, *this, widget); }

bool QELBParent::lower(const QELBWidget* widget) { return QELFChildListLower(*childs_, *this, widget); }

QELBWidget* QELBParent::locate(std::string_view alias) { return QELFWidgetsLocate(*childs_, alias); }

void QELBParent::resizeWithWindow(QELBWindow* window) {
  for (const Ref<QELBWidget>& child : childs_->members()) child->resizeWithWindow(window);
  QELBWidget::resizeWithWindow(window);
}

void QELBParent::onAttachedIntoWindow() {
  QELBWindow* owner = window();
  if (!owner) return;
  for (const Ref<QELBWidget>& child : childs_->members())
    if (child->parent() == this) child->attachIntoWindow(owner);
}

void QELBParent::onDetachedFromWindow() {
  for (const Ref<QELBWidget>& child : childs_->members())
    if (child->parent() == this) child->detachFromWindow();
}

void QELBParent::onAwaken() {
  childs_->sync();
  for (const Ref<QELBWidget>& child : childs_->members())
    if (child->parent() == this) child->onAwaken();
  QELBWidget::onAwaken();
}

void QELBParent::onSnooze() {
  for (const Ref<QELBWidget>& child : childs_->members())
    if (child->parent() == this) child->onSnooze();
  QELBWidget::onSnooze();
}

void QELBParent::onBroadcast(const Ref<LLKBObject>& object) {
  for (const Ref<QELBWidget>& child : childs_->members())
    if (child->parent() == this) child->onBroadcast(object);
}

template <typename Event>
bool QELBParent::passToChildren(const Event& event, bool (QELBWidget::*hook)(const Event&)) {
  std::vector<Ref<QELBWidget>> order = childs_->copy();
  for (auto child = order.rbegin(); child != order.rend(); ++child) {
    if ((*child)->parent() != this || !(*child)->visible() || !(*child)->enabled()) continue;
    if (((**child).*hook)(event)) return true;
  }
  return false;
}

bool QELBParent::onInputWithKeypad(const OGLTKeypadEvent& key) {
  QELBWidget::onInputWithKeypad(key);
  return passKeypadToChildren(key);
}

bool QELBParent::passKeypadToChildren(const OGLTKeypadEvent& key) {
  return passToChildren(key, &QELBWidget::onInputWithKeypad);
}

bool QELBParent::onInputWithSymbol(const OGLTCharacterEvent& symbol) {
  QELBWidget::onInputWithSymbol(symbol);
  return passToChildren(symbol, &QELBWidget::onInputWithSymbol);
}

bool QELBParent::onInputWithScroll(const OGLTScrollEvent& scroll) {
  QELBWidget::onInputWithScroll(scroll);
  return passToChildren(scroll, &QELBWidget::onInputWithScroll);
}

bool QELBParent::onInputWithJoypad(const OGLTJoypadEvent& joypad) {
  QELBWidget::onInputWithJoypad(joypad);
  return passToChildren(joypad, &QELBWidget::onInputWithJoypad);
}

bool QELBParent::passCursorToChildren(const OGLTCursorEvent& cursor) {
  std::vector<Ref<QELBWidget>> order = childs_->copy();
  OGLTPoint point = worldToSpace(cursor.point);
  for (auto child = order.rbegin(); child != order.rend(); ++child) {
    if ((*child)->parent() != this || !(*child)->visible() || !(*child)->enabled()) continue;
    if (QELFRectContains((*child)->frame(), point) && (*child)->onInputWithCursor(cursor)) return true;
  }
  return false;
}

bool QELBParent::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!QELFRectContains(bounds(), worldToLocal(cursor.point))) return false;
  QELBWidget::onInputWithCursor(cursor);
  passCursorToChildren(cursor);
  return true;  // a parent consumes every cursor event that falls within it
}

void QELBParent::onUpdateWithStep(float step) {
  QELBWidget::onUpdateWithStep(step);
  for (const Ref<QELBWidget>& child : childs_->members())
    if (child->parent() == this) child->onUpdateWithStep(step);
  // A child attached while they updated (a menu's list opened by its item) is drawn in this
  // frame, which takes the redraw it asked for.
  childs_->sync();
  if (resizePending_) {
    resizePending_ = false;
    resizeToPreferred();
  }
}
