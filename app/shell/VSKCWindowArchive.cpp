// The main window's state in the settings: restored at opening, saved at closing.
#include "app/shell/VSKCWindow.h"
#include "app/shell/VSKFWindowFrame.h"
#include "app/shell/VSKFWindowViews.h"
#include "framework/core/LLKFLog.h"

void VSKCWindow::VSKFWindowArchive() const {
  JSKCFrame* settings = config();
  if (!settings) return;
  VSKFWindowStoreFrame(*settings, frame());
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

void VSKCWindow::VSKFWindowRestoreFrame() {
  JSKCFrame* settings = config();
  if (!settings) return;
  VSKTWindowFrame saved = VSKFWindowSavedFrame(*settings);
  if (saved.size) setSize(*saved.size);
  if (saved.position) setPosition(*saved.position);
}
