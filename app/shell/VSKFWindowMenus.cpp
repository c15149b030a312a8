#include "app/shell/VSKFWindowMenus.h"

#include "app/shell/VSKCWindow.h"
#include "app/shell/VSKFWindowCodes.h"
#include "framework/app/ZRVFMenu.h"
#include "framework/core/LLKCString.h"

namespace {

constexpr uint32_t kMenubarEntry = kQELMenuItemNoArrow | kQELMenuItemOpensBelow;

Ref<LLKCMessage> command(uint32_t tag, uint32_t ctx = 0, Ref<LLKBObject> payload = nullptr) {
  return LLKCMessage::messageWithCode({kVSKCommand, tag, ctx}, std::move(payload));
}

// Every "Statistics" item of the framework's first menu gets a "CTM" entry.
void addStatisticsEntries(VSKCWindow* window, QELCMenuList* menubar) {
  Ref<QELBMenuItem> first = menubar->_childs() ? refCast<QELBMenuItem>(menubar->_childs()->fetchAtIndex(0)) : nullptr;
  QELBMenuList* list = first ? first->child().get() : nullptr;
  if (!list || !list->_childs()) return;
  for (const Ref<QELBWidget>& child : list->_childs()->members()) {
    QELCMenuItem* item = dynamic_cast<QELCMenuItem*>(child.get());
    if (!item || item->label() != "Statistics" || !item->child()) continue;
    if (Ref<QELCMenuItem> ctm = ZRVFMenuItemMake(window, "CTM", command(kVSKCommandToggleStats)))
      (void)item->child()->attach(ctm);
  }
}

}  // namespace

void VSKFWindowBuildMenus(VSKCWindow* window) {
  QELCMenuList* menubar = window->menubar();
  if (!menubar) return;
  addStatisticsEntries(window, menubar);
  Ref<QELCMenuItem> commands = ZRVFMenuSubmenuMake(window, "Commands", kMenubarEntry);
  if (!commands) return;
  if (Ref<QELCMenuItem> solution = ZRVFMenuItemMake(window, "Load a solution", command(kVSKCommandLoadSolution, 1)))
    (void)commands->child()->attach(solution);
  if (Ref<QELCMenuItem> test = ZRVFMenuItemMake(window, "Load a test", command(kVSKCommandLoadTest, 1)))
    (void)commands->child()->attach(test);
  if (Ref<QELCMenuItem> recent = ZRVFMenuSubmenuMake(window, "Load recent", 0)) {
    window->setRecentsList(recent->child());
    (void)commands->child()->attach(recent);
  }
  if (Ref<QELCMenuItem> wipe = ZRVFMenuItemMake(window, "Wipe", command(kVSKCommandWipe)))
    (void)commands->child()->attach(wipe);
  if (Ref<QELCSeparator> separator = ZRVFMenuSeparatorMake()) (void)commands->child()->attach(separator);
  if (Ref<QELCMenuItem> reset = ZRVFMenuItemMake(window, "Reset data path", command(kVSKCommandResetDataPath)))
    (void)commands->child()->attach(reset);
  (void)menubar->attach(commands);
  Ref<QELCMenuItem> views = ZRVFMenuSubmenuMake(window, "Views", kMenubarEntry);
  if (!views) return;
  struct Entry {
    const char* label;
    uint32_t tag;
  };
  for (const Entry& entry : {Entry{"Conversation", kVSKCommandConversation}, Entry{"Conscious contents", kVSKCommandTimeline}, Entry{"Expression", kVSKCommandExpression},
                             Entry{"Chunk viewer", kVSKCommandGist}})
    if (Ref<QELCMenuItem> item = ZRVFMenuItemMake(window, entry.label, command(entry.tag))) (void)views->child()->attach(item);
  (void)menubar->attach(views);
}

void VSKFWindowRefreshRecents(VSKCWindow* window) {
  QELBMenuList* list = window->recentsList();
  if (!list) return;
  if (list->_childs())
    for (const Ref<QELBWidget>& child : list->_childs()->members()) (void)list->detach(child);
  for (const std::string& path : window->recents().paths()) {
    Ref<QELCMenuItem> item = ZRVFMenuItemMake(window, window->recents().displayForm(path),
                                              command(kVSKCommandLoadTest, 1, LLKCString::stringWithString(path)));
    if (item) (void)list->attach(item);
  }
}
