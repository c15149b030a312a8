#include "app/base/VSKFViewOpening.h"

#include "app/base/VSKFConfig.h"
#include "framework/core/LLKFConsole.h"

Ref<ZRVBView> VSKFWindowOpenView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame,
                                 const VSKTViewOpening& opening, const VSKFViewMaker& make) {
  if (!window || window->locate(opening.key)) return nullptr;
  if (!frame && settings) frame = VSKFConfigMake(*settings, opening.key);
  Ref<ZRVBView> view = frame ? make(frame) : nullptr;
  if (!view) {
    LLKFConsolePrintf("%s\n", opening.unmade ? opening.unmade : opening.failure);
    return nullptr;
  }
  view->setTitle(opening.title);
  // Or'ed, not added: a view whose saved flags already hold the bit keeps its other flags.
  view->setFlags(view->flags() | kQELViewDetachOnClose);
  if (opening.aliasByKey) view->setAlias(opening.key);
  view->setVisible(true);
  if (!window->attach(view)) {
    LLKFConsolePrintf("%s\n", opening.failure);
    return nullptr;
  }
  if (opening.raise) (void)window->raise(view.get());
  VSKFPlaceWithinReach(view.get(), window);
  return view;
}

void VSKFPlaceWithinReach(QELBView* view, QELBWindow* window) {
  view->setFrame(view->reachableFrame(view->frame(), window->viewArea()));
}
