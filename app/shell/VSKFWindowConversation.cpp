#include "app/shell/VSKFWindowConversation.h"

#include "app/ctm/VSKCConversationView.h"
#include "app/shell/VSKFConfig.h"
#include "framework/app/ZRVBWindow.h"
#include "framework/core/LLKFConsole.h"

namespace {
constexpr const char* kConversationKey = "ui.conversation";
}  // namespace

void VSKFWindowConversation(ZRVBWindow* window, Ref<JSKCFrame> frame) {
  if (!window || window->locate(kConversationKey)) return;
  if (!frame && window->config()) frame = VSKFConfigFind(*window->config(), kConversationKey);
  Ref<VSKCConversationView> view =
      frame ? VSKCConversationView::viewWithSize({640, 480}, {10, 100}, kConversationKey, frame) : nullptr;
  if (!view) {
    LLKFConsolePrintf("conversation: out of memory");
    return;
  }
  view->setTitle("Conversation");
  view->setFlags(view->flags() | kQELViewDetachOnClose);
  view->setVisible(true);
  if (!window->attach(Ref<QELBWidget>(view))) {
    LLKFConsolePrintf("conversation : out of memory");
    return;
  }
  (void)window->raise(view.get());
}
