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

struct Entry {
  const char* label;  // none: a separator
  uint32_t tag;
  uint32_t ctx = 0;
};

// Items that send (0xf00, tag, ctx), and separators; an entry that cannot be made is left out.
void addItems(QELBWindow* window, QELBMenuList* list, std::initializer_list<Entry> entries) {
  for (const Entry& entry : entries) {
    if (!entry.label) {
      if (Ref<QELCSeparator> separator = ZRVFMenuSeparatorMake()) (void)list->attach(separator);
    } else if (Ref<QELCMenuItem> item = ZRVFMenuItemMake(window, entry.label, command(entry.tag, entry.ctx))) {
      (void)list->attach(item);
    }
  }
}

// An item with the sub-list "Foveal" (fov 1), "Peripherial" (fov 2) of the tag's view.
void addFieldsOfView(QELBWindow* window, QELBMenuList* list, const char* label, uint32_t tag) {
  Ref<QELCMenuItem> item = ZRVFMenuSubmenuMake(window, label, 0);
  if (!item) return;
  for (uint32_t fov : {1u, 2u})
    if (Ref<QELCMenuItem> entry = ZRVFMenuItemMake(window, fov == 1 ? "Foveal" : "Peripherial", command(tag, fov)))
      (void)item->child()->attach(entry);
  (void)list->attach(item);
}

}  // namespace

void VSKCWindow::VSKFWindowBuildMenus() {
  QELCMenuList* bar = menubar();
  if (!bar) return;
  addStatisticsEntries(this, bar);
  if (Ref<QELCMenuItem> commands = ZRVFMenuSubmenuMake(this, "Commands", kMenubarEntry)) {
    QELBMenuList* list = commands->child().get();
    addItems(this, list, {{"Load a solution", kVSKCommandLoadSolution, 1}, {"Load a test", kVSKCommandLoadTest, 1}});
    if (Ref<QELCMenuItem> recent = ZRVFMenuSubmenuMake(this, "Load recent", 0)) {
      recentsList_ = recent->child();
      (void)list->attach(recent);
    }
    addItems(this, list,
             {{"Wipe", kVSKCommandWipe},
              {nullptr, 0},
              {"Inject keys", kVSKOpenInjectKey},
              {"Inject images", kVSKOpenInjectImage},
              {"COCO feed", kVSKOpenCocoFeed},
              {nullptr, 0},
              {"Reset data path", kVSKCommandResetDataPath}});
    (void)bar->attach(commands);
  }
  if (Ref<QELCMenuItem> views = ZRVFMenuSubmenuMake(this, "Views", kMenubarEntry)) {
    QELBMenuList* list = views->child().get();
    addItems(this, list,
             {{"Conversation", kVSKCommandConversation},
              {"Expression", kVSKCommandExpression},
              {"Chunk viewer", kVSKCommandGist},
              {"Conscious contents", kVSKCommandTimeline},
              {nullptr, 0},
              {"Images feed", kVSKOpenImageFeed}});
    addFieldsOfView(this, list, "Segmented feed", kVSKOpenSegmentedFeed);
    addFieldsOfView(this, list, "Labeled feed", kVSKOpenLabeledFeed);
    addFieldsOfView(this, list, "Label images", kVSKOpenLabeling);
    (void)bar->attach(views);
  }
}
