// The main window's state in the settings: restored at opening, saved at closing.
#include "app/shell/VSKCWindow.h"
#include "app/shell/VSKFCommandLine.h"
#include "app/shell/VSKFWindowFrame.h"
#include "app/shell/VSKFWindowViews.h"
#include "framework/core/JSKCReader.h"
#include "framework/core/LLKFLog.h"
#include "ui/widgets/QELBApplication.h"

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
  VSKFWindowSetupCTMStats(stats_, this, settings ? *settings : *empty);
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

void VSKCWindow::VSKFWindowTakeLayout() {
  JSKCFrame* settings = config();
  QELBApplication* application = QELBApplication::shared();
  if (!settings || !application || settings->count() != 0) return;
  const std::string layout = VSKFReadCommandLine(static_cast<int>(application->argc()), application->argv()).layout;
  if (layout.empty()) return;
  Ref<JSKCFrame> taken = JSKCReader::reader()->readFromPath(layout.c_str());
  if (!taken) {
    LLKFLog("vesko : the layout %s cannot be read (missing, or not a JSON object); the window opens at its defaults",
            layout.c_str());
    return;
  }
  for (size_t i = 0; i < taken->count(); ++i) (void)settings->store(taken->fetchAtIndex(i), taken->labelAtIndex(i));
}
