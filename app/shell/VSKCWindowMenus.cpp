// The main window's menus.
#include <initializer_list>

#include "app/shell/VSKCWindow.h"
#include "app/shell/VSKFWindowCodes.h"
#include "app/vision/VSKFVisionOpeners.h"
#include "framework/app/ZRVFMenu.h"

namespace {

constexpr uint32_t kMenubarEntry = kQELMenuItemNoArrow | kQELMenuItemOpensBelow;

Ref<LLKCMessage> command(uint32_t tag, uint32_t ctx = 0) {
  return LLKCMessage::messageWithCode({kVSKCommand, tag, ctx});
}

// Every "Statistics" item of the framework's first menu gets a "CTM" entry.
void addStatisticsEntries(QELBWindow* window, QELCMenuList* menubar) {
  Ref<QELBMenuItem> first = refCast<QELBMenuItem>(menubar->_childs()->fetchAtIndex(0));
  QELBMenuList* list = first ? first->child().get() : nullptr;
  if (!list) return;
  for (const Ref<QELBWidget>& child : list->_childs()->members()) {
    QELCMenuItem* item = dynamic_cast<QELCMenuItem*>(child.get());
    if (!item || item->label() != "Statistics" || !item->child()) continue;
    (void)item->child()->attach(ZRVFMenuItemMake(window, "CTM", command(kVSKCommandToggleStats)));
  }
}

struct Entry {
  const char* label;  // none: a separator
  uint32_t tag;
  uint32_t ctx = 0;
};

// Items that send (0xf00, tag, ctx), and separators.
void addItems(QELBWindow* window, QELBMenuList* list, std::initializer_list<Entry> entries) {
  for (const Entry& entry : entries) {
    if (!entry.label) (void)list->attach(ZRVFMenuSeparatorMake());
    else (void)list->attach(ZRVFMenuItemMake(window, entry.label, command(entry.tag, entry.ctx)));
  }
}

// An item with the sub-list "Foveal" (fov 1), "Peripherial" (fov 2) of the tag's view.
void addFieldsOfView(QELBWindow* window, QELBMenuList* list, const char* label, uint32_t tag) {
  Ref<QELCMenuItem> item = ZRVFMenuSubmenuMake(window, label, 0);
  for (uint32_t fov : {1u, 2u})
    (void)item->child()->attach(ZRVFMenuItemMake(window, fov == 1 ? "Foveal" : "Peripherial", command(tag, fov)));
  (void)list->attach(item);
}

}  // namespace

void VSKCWindow::VSKFWindowBuildMenus() {
  QELCMenuList* bar = menubar();
  if (!bar) return;
  addStatisticsEntries(this, bar);
  Ref<QELCMenuItem> commands = ZRVFMenuSubmenuMake(this, "Commands", kMenubarEntry);
  QELBMenuList* commandList = commands->child().get();
  addItems(this, commandList,
           {{"Load a solution", kVSKCommandLoadSolution, 1}, {"Load a test", kVSKCommandLoadTest, 1}});
  Ref<QELCMenuItem> recent = ZRVFMenuSubmenuMake(this, "Load recent", 0);
  recentsList_ = recent->child();
  (void)commandList->attach(recent);
  addItems(this, commandList,
           {{"Wipe", kVSKCommandWipe},
            {nullptr, 0},
            {"Inject keys", kVSKOpenInjectKey},
            {"Inject images", kVSKOpenInjectImage},
            {"COCO feed", kVSKOpenCocoFeed},
            {nullptr, 0},
            {"Reset data path", kVSKCommandResetDataPath}});
  (void)bar->attach(commands);
  Ref<QELCMenuItem> views = ZRVFMenuSubmenuMake(this, "Views", kMenubarEntry);
  QELBMenuList* viewList = views->child().get();
  addItems(this, viewList,
           {{"Conversation", kVSKCommandConversation},
            {"Expression", kVSKCommandExpression},
            {"Chunk viewer", kVSKCommandGist},
            {"Conscious contents", kVSKCommandTimeline},
            {nullptr, 0},
            {"Images feed", kVSKOpenImageFeed}});
  addFieldsOfView(this, viewList, "Segmented feed", kVSKOpenSegmentedFeed);
  addFieldsOfView(this, viewList, "Labeled feed", kVSKOpenLabeledFeed);
  addFieldsOfView(this, viewList, "Label images", kVSKOpenLabeling);
  (void)bar->attach(views);
}
