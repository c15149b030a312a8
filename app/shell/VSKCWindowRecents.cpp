// The main window's recently loaded files and the "Load recent" list that shows them.
#include "app/shell/VSKCWindow.h"
#include "app/shell/VSKFWindowCodes.h"
#include "framework/app/ZRVFMenu.h"
#include "framework/core/LLKCString.h"

bool VSKCWindow::VSKFWindowAppendRecent(const std::string& path) {
  if (!recents_.append(path)) return false;
  VSKFWindowRefreshRecents();
  return true;
}

void VSKCWindow::VSKFWindowRefreshRecents() {
  QELBMenuList* list = recentsList_.get();
  if (!list) return;
  for (const Ref<QELBWidget>& child : list->_childs()->members()) (void)list->detach(child);
  for (const std::string& path : recents_.paths()) {
    (void)list->attach(ZRVFMenuItemMake(
        this, recents_.displayForm(path),
        LLKCMessage::messageWithCode({kVSKCommand, kVSKCommandLoadTest, 1}, LLKCString::stringWithString(path))));
  }
}
