#pragma once
// Making the workbench's menus: items, lists and separators sized for the window, as the
// framework's own menu and the program's menus build them. Window's thread only.
#include <string>

#include "framework/core/LLKCMessage.h"
#include "ui/widgets/QELBMenuItem.h"
#include "ui/widgets/QELBMenuList.h"
#include "ui/widgets/QELBSeparator.h"

class QELBWindow;

// The setup of every menu list: a column of items of one width.
extern const QELTGroupSetup kSetupMenuList;

// An item with the label, sized to its preferred size for the window, that sends the message
// when chosen (none: an item that opens a sub-list).
[[nodiscard]] Ref<QELCMenuItem> ZRVFMenuItemMake(QELBWindow* window, std::string label, Ref<LLKCMessage> onClick);
// An item with a new, empty sub-list (flags as given: 3 for an entry of the menu bar).
[[nodiscard]] Ref<QELCMenuItem> ZRVFMenuSubmenuMake(QELBWindow* window, std::string label, uint32_t flags);
// A new empty list with kSetupMenuList.
[[nodiscard]] Ref<QELCMenuList> ZRVFMenuListMake();
// A separator line of 10 x 8.
[[nodiscard]] Ref<QELCSeparator> ZRVFMenuSeparatorMake();
