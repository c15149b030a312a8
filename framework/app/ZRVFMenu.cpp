#include "framework/app/ZRVFMenu.h"

const QELTGroupSetup kSetupMenuList = {kQELGroupColumn, 0.0f, 0.0f, 2.0f, kQELGroupUniformCross};

Ref<QELCMenuItem> ZRVFMenuItemMake(QELBWindow* window, std::string label, Ref<LLKCMessage> onClick) {
  Ref<QELCMenuItem> item = QELCMenuItem::widgetWithSize({0, 0}, {0, 0}, std::move(label));
  item->resizeToPreferredWithWindow(window);
  item->setOnClick(std::move(onClick));
  return item;
}

Ref<QELCMenuItem> ZRVFMenuSubmenuMake(QELBWindow* window, std::string label, uint32_t flags) {
  Ref<QELCMenuItem> item = ZRVFMenuItemMake(window, std::move(label), nullptr);
  item->setFlags(flags);
  item->resizeToPreferredWithWindow(window);
  item->setChild(ZRVFMenuListMake());
  return item;
}

Ref<QELCMenuList> ZRVFMenuListMake() { return QELCMenuList::widgetWithSize({0, 0}, {0, 0}, &kSetupMenuList); }

Ref<QELCSeparator> ZRVFMenuSeparatorMake() { return QELCSeparator::widgetWithSize({10, 8}, {0, 0}); }
