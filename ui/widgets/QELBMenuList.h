#pragma once
// A laid-out group (a column or a row) of menu items. After each update it gives its items a
// common width (the widest label part plus the widest shortcut or arrow part) unless its flag
// 0x1 is set, and fits itself to them. A click on one of its items folds every open sub-list
// of the list at once; the clicked item opens its own a tenth of a second later.
#include "ui/widgets/QELBGroup.h"

enum : uint32_t {
  kQELMenuListOwnWidths = 0x1,  // the items keep their own widths
};

class QELBMenuList : public QELBGroup {
public:
  QELBMenuList(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup);
  ~QELBMenuList() override;

  // Sends topple to every item.
  void topple();

  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onUpdateWithStep(float step) override;
};

class QELCMenuList : public QELBMenuList {
public:
  [[nodiscard]] static Ref<QELCMenuList> widgetWithSize(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup);
  using QELBMenuList::QELBMenuList;
};
