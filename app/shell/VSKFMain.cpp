// The workbench's entry: the console, the GL layer, the main window and the application are
// started in that order and stopped in the reverse one. The window's loop runs on this thread;
// when it ends (closed, quit, SIGINT, SIGTERM or SIGHUP) the application stops and writes the settings.
// The loaded solutions go next, before the GL layer, and a plug-in whose hook does not return
// within half a second is not waited for: the log names it and the program ends without it. A start that fails says why
// and exits with 1. "--help" prints the usage and exits 0; a slip on the command line prints it
// on standard error and exits 2, before anything starts.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/shell/VSKCWindow.h"
#include "app/shell/VSKFCommandLine.h"
#include "framework/app/ZRVCApplication.h"
#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKFWindDown.h"
#include "ui/gl/OGLBWindow.h"

namespace {

// How long ending waits for the plug-ins' hooks, in seconds.
constexpr double kEndingGrace = 0.5;

// Runs the window with the application around it; false when either could not start.
bool run(int argc, char** argv) {
  Ref<VSKCWindow> window = VSKCWindow::window();
  Ref<ZRVCApplication> application =
      ZRVCApplication::applicationWithName("vesko", window.get(), static_cast<uint32_t>(argc), argv);
  if (!application || !application->start()) {
    LLKFLog("vesko : cannot start the application");
    return false;
  }
  application->ready()->wait();
  bool opened = application->isRunning() && window->startSync();
  application->stopAndJoin();
  if (!opened) LLKFLog("vesko : cannot open the window (no display or no OpenGL 3.3 context)");
  return opened;
}

}  // namespace

int main(int argc, char** argv) {
  VSKTCommandLine line = VSKFReadCommandLine(argc, argv);
  if (line.action == VSKCommandLineAction::usage) {
    std::fputs(kVSKUsage, stdout);
    return 0;
  }
  if (line.action == VSKCommandLineAction::slip) {
    std::fprintf(stderr, "vesko: %s\n%s", line.problem.c_str(), kVSKUsage);
    return 2;
  }
  LLKFLogSetTimeMode(1);
  if (!LLKFConsoleInit(0)) {
    std::fprintf(stderr, "vesko : cannot start the console\n");
    return 1;
  }
  const bool gl = OGLFInit();
  const bool ran = gl && run(argc, argv);
  if (!gl) LLKFLog("vesko : cannot start the GL layer (is there a display?)");
  const int status = ran ? 0 : 1;
  // The solutions go before the GL layer they were started after: a process that ends without
  // waiting for a busy hook need not take the GL layer down first.
  std::string abandoned;
  if (!MRKFSubstrateWindDown(MRKCSubstrate::shared(), kEndingGrace, &abandoned)) {
    LLKFLog("vesko : ending without waiting for %s", abandoned.c_str());
    LLKFConsoleExit();
    std::fflush(nullptr);
    std::_Exit(status);
  }
  if (gl) OGLFExit();
  LLKFConsoleExit();
  return status;
}
