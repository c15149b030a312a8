#pragma once
// The one implementation of a child list's life: attach, detach, re-order and find. Parents and
// the window both keep their children in a layered list (QELCWidgets); what differs is only how
// a child is bound to its owner, which the owner states through QELPChildOwner.
#include <string_view>

#include "framework/core/LLKBObject.h"
#include "ui/widgets/QELBWidget.h"
#include "ui/widgets/QELCWidgets.h"

class QELPChildOwner {
public:
  virtual ~QELPChildOwner() = default;
  // Whether the widget may join beyond being free of any owner (a parent refuses itself and its
  // ancestors).
  virtual bool mayAdopt(const QELBWidget* widget) const = 0;
  // Binds a child that joined the list to this owner, and lets it go.
  virtual void adoptChild(QELBWidget* widget) = 0;
  virtual void releaseChild(QELBWidget* widget) = 0;
  // Whether the widget is a child of this owner right now.
  virtual bool holdsChild(const QELBWidget* widget) const = 0;
  // The list changed what is drawn.
  virtual void onChildsChanged() = 0;
};

// False for a widget that already has a window or a parent, that the owner refuses, or that the
// list cannot store.
bool QELFChildListAttach(QELCWidgets& list, QELPChildOwner& owner, const Ref<QELBWidget>& widget);
// False when the widget is not the owner's child.
bool QELFChildListDetach(QELCWidgets& list, QELPChildOwner& owner, const Ref<QELBWidget>& widget);
void QELFChildListDetachAll(QELCWidgets& list, QELPChildOwner& owner);
// Every child but the widget goes; the widget stays only if it was a child.
void QELFChildListDetachAllBut(QELCWidgets& list, QELPChildOwner& owner, const Ref<QELBWidget>& widget);
// To the top or the bottom of its layer; false for a widget that is not the owner's child.
bool QELFChildListRaise(QELCWidgets& list, QELPChildOwner& owner, const QELBWidget* widget);
bool QELFChildListLower(QELCWidgets& list, QELPChildOwner& owner, const QELBWidget* widget);

// Depth first, pre-order, by alias through every member that has children of its own; null when
// nothing matches.
QELBWidget* QELFWidgetsLocate(const QELCWidgets& list, std::string_view alias);
