#include "app/shell/VSKFWindowViews.h"

#include "app/ctm/VSKCConversationView.h"
#include "app/ctm/VSKCExpressionView.h"
#include "app/ctm/VSKCGistView.h"
#include "app/ctm/VSKCTimelineView.h"
#include "app/shell/VSKFConfig.h"
#include "framework/app/ZRVBWindow.h"
#include "framework/core/LLKFLog.h"

namespace {

constexpr const char* kTimelineKey = "ui.timeline";
constexpr const char* kExpressionKey = "ui.expression";
constexpr const char* kGistKey = "ui.gist";
constexpr const char* kConversationKey = "ui.conversation";
constexpr OGLTSize kViewSize = {640, 480};
constexpr OGLTPoint kViewPosition = {10, 100};

// The frame given, else the window's entry under the key (made when missing); null when neither.
Ref<JSKCFrame> settingsFor(ZRVBWindow* window, JSKCFrame* given, const char* key) {
  if (given) return Ref<JSKCFrame>(given);
  JSKCFrame* config = window->config();
  return config ? VSKFConfigFind(*config, key) : nullptr;
}

// Titles the view, lets it leave the window when closed, shows and attaches it; says so when
// it could not be made or attached. False when it was not attached.
bool attachView(ZRVBWindow* window, const Ref<ZRVBView>& view, const char* title, const char* failure) {
  if (!view) {
    LLKFLog("%s", failure);
    return false;
  }
  view->setTitle(title);
  view->setFlags(view->flags() | kQELViewDetachOnClose);
  view->setVisible(true);
  if (window->attach(view)) return true;
  LLKFLog("%s", failure);
  return false;
}

}  // namespace

void VSKFWindowTimeline(ZRVBWindow* window, JSKCFrame* config) {
  if (!window || window->locate(kTimelineKey)) return;
  Ref<JSKCFrame> settings = settingsFor(window, config, kTimelineKey);
  Ref<VSKCTimelineView> view =
      settings ? VSKCTimelineView::viewWithSize(kViewSize, kViewPosition, kTimelineKey, "ctm.tick", settings) : nullptr;
  attachView(window, view, "Conscious contents", "timeline : out of memory");
}

void VSKFWindowExpression(ZRVBWindow* window, JSKCFrame* config) {
  if (!window || window->locate(kExpressionKey)) return;
  Ref<JSKCFrame> settings = settingsFor(window, config, kExpressionKey);
  Ref<VSKCExpressionView> view =
      settings ? VSKCExpressionView::viewWithSize(kViewSize, kViewPosition, kExpressionKey, {"nlp.decode", "nlp.decode.all"}, settings)
               : nullptr;
  attachView(window, view, "Expression", "expression : out of memory");
}

void VSKFWindowGist(ZRVBWindow* window, JSKCFrame* config) {
  if (!window || window->locate(kGistKey)) return;
  Ref<JSKCFrame> settings = settingsFor(window, config, kGistKey);
  Ref<VSKCGistView> view = settings ? VSKCGistView::viewWithSize(kViewSize, kViewPosition, kGistKey, {"ctm.tick"}, settings) : nullptr;
  attachView(window, view, "Chunk viewer", "gist : out of memory");
}

void VSKFWindowConversation(ZRVBWindow* window, JSKCFrame* config) {
  if (!window || window->locate(kConversationKey)) return;
  Ref<JSKCFrame> settings = settingsFor(window, config, kConversationKey);
  Ref<VSKCConversationView> view =
      settings ? VSKCConversationView::viewWithSize(kViewSize, kViewPosition, kConversationKey, settings) : nullptr;
  if (attachView(window, view, "Conversation", "conversation : out of memory")) (void)window->raise(view.get());
}

void VSKFWindowRestoreViews(ZRVBWindow* window) {
  JSKCFrame* config = window ? window->config() : nullptr;
  if (!config) return;
  struct Opener {
    const char* key;
    void (*open)(ZRVBWindow*, JSKCFrame*);
  };
  for (const Opener& opener : {Opener{kConversationKey, VSKFWindowConversation}, Opener{kTimelineKey, VSKFWindowTimeline}, Opener{kExpressionKey, VSKFWindowExpression},
                               Opener{kGistKey, VSKFWindowGist}}) {
    Ref<JSKCFrame> settings = VSKFConfigFind(*config, opener.key);
    if (settings && settings->boolForLabel("visible", false)) opener.open(window, settings.get());
  }
}
