#include "framework/app/ZRVFViewMenu.h"

#include "framework/app/ZRVFMenu.h"
#include "framework/core/LLKFLog.h"
#include "ui/widgets/QELBMenu.h"
#include "ui/widgets/QELBWindow.h"

namespace {

constexpr const char* kMenuAlias = "term.menu";
constexpr uint32_t kMenuLayer = 8;

}  // namespace

Ref<QELCMenuList> ZRVFViewMenuList(QELBView* view) {
  QELBWindow* owner = view ? view->window() : nullptr;
  if (!owner || owner->locate(kMenuAlias)) return nullptr;
  return ZRVFMenuListMake();
}

void ZRVFViewMenuAddItem(QELBView* view, QELCMenuList* list, const char* label, Ref<LLKCMessage> message) {
  (void)list->attach(ZRVFMenuItemMake(view->window(), label, std::move(message)));
}

void ZRVFViewMenuAddSeparator(QELCMenuList* list) { (void)list->attach(ZRVFMenuSeparatorMake()); }

void ZRVFViewMenuOpen(QELBView* view, const Ref<QELCMenuList>& list, const char* name) {
  QELBWindow* owner = view->window();
  Ref<QELCMenu> menu = QELCMenu::widgetWithSize({0, 0}, {0, 0});
  if (!owner || !list) {
    LLKFLog("%s : cannot open the menu", name);
    return;
  }
  list->resizeToPreferredWithWindow(owner);
  const OGLTRect s = view->space();
  menu->setPosition({view->position().x + s.left - 1, view->position().y + s.top - 1});
  menu->setFlags(kQELMenuDetaches);
  menu->setAlias(kMenuAlias);
  menu->setLayer(kMenuLayer);
  menu->setTarget(view);
  if (!menu->attach(list) || !owner->attach(menu)) LLKFLog("%s : cannot open the menu", name);
}

void ZRVFViewMenuLetGo(QELBView* view) {
  QELBWindow* owner = view ? view->window() : nullptr;
  if (!owner) return;
  if (auto* menu = dynamic_cast<QELBMenu*>(owner->locate(kMenuAlias)); menu && menu->target() == view)
    menu->setTarget(nullptr);
}
