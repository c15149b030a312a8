#pragma once
// A menu: a free group holding one or more menu lists (the first is the menu's own; open
// sub-lists are attached beside it). It serves as a menu bar (flag 0x1: collapsing only folds
// the sub-lists) or as a pop-up (hidden on collapse; with flag 0x2 also detached from its
// parent, or from the window). It collapses on the release of Escape, on a click inside that
// no item takes, on a click outside, and when an item's message reaches it; the message then
// goes on to the target, else up the tree. A menu shorter than its first list (one cut to the
// room the window has) scrolls that list with the wheel and the keys while the pointer is over it.
//
// The target does not own and is not owned: the widget that sets it (a view showing the menu)
// clears it before it goes away.
#include "ui/widgets/QELBGroup.h"

enum : uint32_t {
  kQELMenuPersistent = 0x1,  // a menu bar
  kQELMenuDetaches = 0x2,    // a pop-up that leaves its parent (or the window) on collapse
  kQELMenuKeepsSize = 0x4,   // not resized to its preferred size at every update
};

extern "C" {
// The setup of every menu: a free group without margin or border.
extern const QELTGroupSetup QELKMenuSetup;
}

class QELBMenu;

// Folds the menu's first list; then a persistent menu answers true, any other is hidden (and,
// with kQELMenuDetaches, detached) and answers false. Null answers false.
bool QELFMenuCollapse(QELBMenu* menu);

class QELBMenu : public QELBGroup {
public:
  QELBMenu(OGLTSize size, OGLTPoint position);
  ~QELBMenu() override;

  QELBWidget* target() const { return target_; }
  void setTarget(QELBWidget* target) { target_ = target; }

  void onAwaken() override;
  void onUpdateWithStep(float step) override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  bool onInputWithScroll(const OGLTScrollEvent& scroll) override;
  void onMessaged(const Ref<LLKCMessage>& message) override;
  // Moves the first list up by dy (down when negative) within the part the menu cannot show;
  // false when it shows the whole list.
  bool scrollList(float dy);

private:
  // Collapses when this frame brought a click (a release or a leave) outside every list.
  void collapseOnClickOutside();
  // The height of one row of the first list (its height over its items).
  float rowHeight();

  QELBWidget* target_ = nullptr;
  bool shownAtAwaken_ = false;
};

class QELCMenu : public QELBMenu {
public:
  [[nodiscard]] static Ref<QELCMenu> widgetWithSize(OGLTSize size, OGLTPoint position);
  using QELBMenu::QELBMenu;
};
