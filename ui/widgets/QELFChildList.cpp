#include "ui/widgets/QELFChildList.h"

#include <vector>

#include "ui/widgets/QELBParent.h"

bool QELFChildListAttach(QELCWidgets& list, QELPChildOwner& owner, const Ref<QELBWidget>& widget) {
  // One owner at a time.
  if (!widget || widget->parent() || widget->window() || !owner.mayAdopt(widget.get())) return false;
  if (list.append(widget) != kQELWidgetsDone) return false;
  owner.adoptChild(widget.get());
  owner.onChildsChanged();
  return true;
}

bool QELFChildListDetach(QELCWidgets& list, QELPChildOwner& owner, const Ref<QELBWidget>& widget) {
  if (!widget || !owner.holdsChild(widget.get())) return false;
  Ref<QELBWidget> hold = widget;  // the list may hold the last reference
  if (list.remove(widget.get()) != kQELWidgetsDone) return false;
  owner.releaseChild(widget.get());
  owner.onChildsChanged();
  return true;
}

void QELFChildListDetachAll(QELCWidgets& list, QELPChildOwner& owner) {
  std::vector<Ref<QELBWidget>> members = list.members();
  list.clear();
  for (const Ref<QELBWidget>& member : members) owner.releaseChild(member.get());
  owner.onChildsChanged();
}

void QELFChildListDetachAllBut(QELCWidgets& list, QELPChildOwner& owner, const Ref<QELBWidget>& widget) {
  std::vector<Ref<QELBWidget>> members = list.members();
  bool kept = widget && list.contains(widget.get());
  list.clear();
  for (const Ref<QELBWidget>& member : members)
    if (member != widget) owner.releaseChild(member.get());
  if (kept && list.append(widget) != kQELWidgetsDone) owner.releaseChild(widget.get());
  owner.onChildsChanged();
}

bool QELFChildListRaise(QELCWidgets& list, QELPChildOwner& owner, const QELBWidget* widget) {
  if (!(widget && owner.holdsChild(widget) && list.raise(widget))) return false;
  owner.onChildsChanged();
  return true;
}

bool QELFChildListLower(QELCWidgets& list, QELPChildOwner& owner, const QELBWidget* widget) {
  if (!(widget && owner.holdsChild(widget) && list.lower(widget))) return false;
  owner.onChildsChanged();
  return true;
}

QELBWidget* QELFWidgetsLocate(const QELCWidgets& list, std::string_view alias) {
  for (const Ref<QELBWidget>& member : list.members()) {
    if (!member->alias().empty() && member->alias() == alias) return member.get();
    if (auto* parentable = dynamic_cast<QELPParentable*>(member.get()))
      if (QELBWidget* found = parentable->locate(alias)) return found;
  }
  return nullptr;
}
