// The main window's state in the settings: restored at opening, saved at closing.
#include "app/shell/VSKCWindow.h"
#include "app/shell/VSKFWindowViews.h"
#include "framework/core/LLKFLog.h"

void VSKCWindow::VSKFWindowArchive() const {
  JSKCFrame* settings = config();
  if (!settings) return;
  recents_.archive(*settings);
  VSKFWindowWringCTMStats(stats_, *settings);
}

void VSKCWindow::VSKFWindowRestore() {
  JSKCFrame* settings = config();
  Ref<JSKCFrame> empty = JSKCFrame::frame();
  if (!VSKFWindowSetupCTMStats(stats_, this, settings ? *settings : *empty))
    LLKFLog("vesko : cannot make the statistics view");
  VSKFWindowRestoreViews(this, settings);
  if (settings) recents_.restore(*settings);
  VSKFWindowRefreshRecents();
}
