#pragma once
// The labels of the items of the title-bar menu that a CTM view shows ("term.menu"), in order;
// none when no such menu is shown.
#include <string>
#include <vector>

#include "ui/widgets/QELBMenu.h"
#include "ui/widgets/QELBMenuItem.h"
#include "ui/widgets/QELBWindow.h"

inline std::vector<std::string> VSKTestViewMenuLabels(QELBWindow* window) {
  std::vector<std::string> labels;
  auto* menu = dynamic_cast<QELBMenu*>(window->locate("term.menu"));
  if (!menu || menu->childs().empty()) return labels;
  auto* list = dynamic_cast<QELBParent*>(menu->childs().front().get());
  for (const Ref<QELBWidget>& child : list ? list->childs() : std::vector<Ref<QELBWidget>>{})
    if (auto* item = dynamic_cast<QELBMenuItem*>(child.get())) labels.push_back(item->label());
  return labels;
}
