#include "app/shell/VSKCWindow.h"

#include <filesystem>
#include <system_error>

#include "app/base/VSKFPaths.h"
#include "app/shell/VSKFCommandLine.h"
#include "app/shell/VSKFWindowCodes.h"
#include "app/shell/VSKFWindowViews.h"
#include "app/vision/VSKFVisionOpeners.h"
#include "framework/app/ZRVCApplication.h"
#include "framework/core/LLKCFSFolder.h"
#include "framework/core/LLKCGuid.h"
#include "framework/core/LLKCString.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "ui/widgets/QELBGraph.h"

namespace {

constexpr const char* kTickLabel = "ctm.tick";
constexpr const char* kDataPathKey = "data.path";

// Stores the term under the key among the substrate's constants, under their monitor.
void storeConstant(Ref<LLKBObject> term, const char* key) {
  MRKCTable* constants = MRKCSubstrate::shared()->constants();
  std::lock_guard lock(constants->monitor());
  if (!term || constants->store(std::move(term), key) != 0) LLKFLog("vesko : cannot store the constant %s", key);
}

// The text a menu item carries as payload; "" without one.
std::string payloadText(const LLKCMessage& message) {
  Ref<LLKCString> text = message.payloadAs<LLKCString>();
  return text ? text->string() : std::string();
}

}  // namespace

Ref<VSKCWindow> VSKCWindow::window() {
  Ref<VSKCWindow> window = makeRef<VSKCWindow>();
  window->setTitle("vesko");
  // An idle workbench draws nothing: frames are drawn when a widget, input or exposure asks.
  window->setSkipsUnchangedFrames(true);
  window->observer_ = ZRVCObserver::observerWithGuid(LLKCGuid::guid()->string(), {}, "ui.window", nullptr);
  return window;
}

void VSKCWindow::onStarting() {
  VSKFWindowTakeLayout();
  VSKFWindowRestoreFrame();
  ZRVBWindow::onStarting();
}

void VSKCWindow::onOpening() {
  ZRVBWindow::onOpening();
  VSKFWindowBuildMenus();
  VSKFWindowRestore();
  settleDataPath();
  publishConstants();
  (void)observer_->follow(stats_.view.get(), {.onSquib = LLKCMessage::messageWithCode({kVSKTick, 0, 0})}, {kTickLabel});
  loadFromCommandLine();
}

void VSKCWindow::onClosing() {
  observer_->letGo();
  VSKFWindowArchive();
  ZRVBWindow::onClosing();
}

void VSKCWindow::settleDataPath() {
  JSKCFrame* settings = config();
  std::string saved = settings ? settings->stringForLabel(kDataPathKey, "") : std::string();
  if (!saved.empty() && LLKFDoesFilePathExists(saved.c_str())) {
    useDataPath(saved);
    return;
  }
  // A saved folder that is gone is asked for again; meanwhile, as without a saved folder, the
  // default one is used, made when missing.
  if (!saved.empty()) {
    VSKFWindowTell("The data folder " + saved + " no longer exists");
    (void)VSKFWindowAskForDataPath();
  }
  std::string fallback = VSKFDefaultDataPath();
  std::error_code error;
  if (!fallback.empty()) std::filesystem::create_directories(fallback, error);
  if (fallback.empty() || error) {
    VSKFWindowTell("No data folder: " + (fallback.empty() ? std::string("no home folder") : error.message()));
    return;
  }
  useDataPath(fallback);
}

void VSKCWindow::useDataPath(const std::string& path) {
  dataPath_ = path;
  VSKFWindowLabelingDataFolder(this, path);
  storeConstant(MRKCString::stringWithValue(path), "path.data");
}

void VSKCWindow::onDataFolderPicked(const LLKCMessage& message) {
  if (message.tag() != kVSKDataFolderPicked) return;
  Ref<LLKCFSFolder> folder = message.details().objectForKeyAs<LLKCFSFolder>("folder");
  if (!folder || folder->fullPath().empty()) return;
  const std::string& path = folder->fullPath();
  if (!LLKFDoesFilePathExists(path.c_str())) {
    VSKFWindowTell("The data folder " + path + " does not exist");
    return;
  }
  JSKCFrame* settings = config();
  if (!settings || settings->storeString(path, kDataPathKey) != 0)
    VSKFWindowTell("Cannot save the data folder in the settings");
  useDataPath(path);
  VSKFWindowTell("Data folder: " + path);
}

void VSKCWindow::onAboutBoxRequested() { VSKFWindowShowAbout(); }

void VSKCWindow::VSKFWindowTell(const std::string& text) { VSKFWindowTell(text, text); }

void VSKCWindow::VSKFWindowTell(const std::string& shown, const std::string& logged) {
  setStatus(shown);
  LLKFLog("vesko : %s", logged.c_str());
}

void VSKCWindow::publishConstants() {
  storeConstant(MRKCNumber::numberWithBool(true), "vesko.ux");
  std::string resources = VSKFResourcesPath();
  if (resources.empty()) {
    VSKFWindowTell(kVSKMissingResources);
    return;
  }
  storeConstant(MRKCString::stringWithValue(resources), "path.rscs");
}

void VSKCWindow::loadFromCommandLine() {
  QELBApplication* application = QELBApplication::shared();
  if (!application) return;
  const std::string path = VSKFReadCommandLine(static_cast<int>(application->argc()), application->argv()).solution;
  if (path.empty()) return;
  if (LLKFDoesFilePathExists(path.c_str())) {
    (void)VSKFWindowLoad(kVSKFromCommandLine, path, false);
    return;
  }
  VSKFWindowTell("Cannot load " + path + ": no such file");
}

bool VSKCWindow::onCommand(const LLKCMessage& message) {
  switch (message.tag()) {
    case kVSKCommandLoadTest:
      (void)VSKFWindowLoad(kVSKFromMenu, payloadText(message), false);
      break;
    case kVSKCommandLoadSolution:
      (void)VSKFWindowLoad(kVSKFromMenu, payloadText(message), true);
      break;
    case kVSKCommandResetDataPath:
      (void)VSKFWindowAskForDataPath();
      break;
    case kVSKCommandWipe:
      (void)VSKFWindowWipe();
      break;
    case kVSKCommandToggleStats:
      VSKFWindowToggleCTMStats(stats_);
      break;
    default:
      (void)VSKFWindowOpenViewForTag(this, config(), message.tag(), message.ctx(), dataPath_);
      break;
  }
  return true;
}

bool VSKCWindow::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return false;
  switch (message->uid()) {
    case kVSKLoadRequest:
      VSKFWindowOnLoadRequest(*message);
      return true;
    case kVSKOperation:
      VSKFWindowOnOperation(*message);
      return true;
    case kVSKDataFolder:
      onDataFolderPicked(*message);
      return true;
    case kVSKTick:
      VSKFWindowPlotTick(stats_, *message);
      return true;
    case kVSKGraphHover:
      VSKFWindowOnGraphHover(stats_, this, *message);
      return true;
    case kVSKCommand:
      return onCommand(*message);
    default:
      return ZRVBWindow::onMessaged(message);
  }
}
