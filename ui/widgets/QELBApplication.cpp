#include "ui/widgets/QELBApplication.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <system_error>

#include "framework/core/JSKCReader.h"
#include "framework/core/JSKCWriter.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"

const LLKTSchedulerSetup QELKApplicationSetup = {0, 4, 500};

namespace {

std::atomic<QELBApplication*> gApplication{nullptr};
// Set by the signal handler, read by the application's periodic check.
std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal flag must be lock-free");

constexpr uint32_t kSignalCheckMs = 100;

// The folder of the application inside the preferences folder, made when missing; "" when
// there is no preferences folder or the folder cannot be made.
std::string applicationFolder(const std::string& name) {
  std::string preferences = LLKFTakeString(LLKFGetPreferencesPath());
  if (preferences.empty()) return {};
  std::string folder = preferences + "/" + name;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    LLKFLog("QELBApplication : cannot make the folder %s : %s", folder.c_str(), error.message().c_str());
    return {};
  }
  return folder;
}

// A name beside the path that no file has yet: path.unreadable, then path.unreadable.1, ...;
// "" when every one is taken.
std::string freeAsideName(const std::string& path) {
  std::string base = path + ".unreadable";
  std::error_code error;
  if (!std::filesystem::exists(base, error) && !error) return base;
  for (int n = 1; n < 1000; ++n) {
    std::string name = base + "." + std::to_string(n);
    if (!std::filesystem::exists(name, error) && !error) return name;
  }
  return {};
}

}  // namespace

extern "C" void QELFApplicationSignalHandler(int) { gInterrupted.store(true); }

Ref<JSKCFrame> QELFApplicationReadJSON(const char* path) {
  Ref<JSKCReader> reader = JSKCReader::reader();
  Ref<JSKCFrame> frame = path ? reader->readFromPath(path) : nullptr;
  return frame ? frame : JSKCFrame::frame();
}

bool QELFApplicationWriteJSON(const char* path, const JSKCFrame* frame) {
  Ref<JSKCWriter> writer = JSKCWriter::writer();
  return writer && path && frame && writer->write(frame, path);
}

Ref<JSKCFrame> QELFApplicationReadConfig(const char* path) {
  if (!path || !LLKFDoesFilePathExists(path)) return JSKCFrame::frame();
  return QELFApplicationReadJSON(path);
}

QELBApplication* QELBApplication::shared() { return gApplication.load(); }

QELBApplication::QELBApplication(std::string name, uint32_t argc, char** argv)
    : name_(std::move(name)), argc_(argc), argv_(argv) {}

QELBApplication::~QELBApplication() {
  if (scheduler_) scheduler_->stopAndJoin();
  QELBApplication* self = this;
  if (registered_) gApplication.compare_exchange_strong(self, nullptr);
}

bool QELBApplication::setUp(const LLKTSchedulerSetup& setup) {
  QELBApplication* none = nullptr;
  if (!gApplication.compare_exchange_strong(none, this)) return false;
  registered_ = true;
  scheduler_ = LLKCScheduler::schedulerWithSetup(setup);
  return static_cast<bool>(scheduler_);
}

Ref<QELCApplication> QELCApplication::applicationWithName(std::string name, uint32_t argc, char** argv) {
  return applicationWithName(std::move(name), argc, argv, QELKApplicationSetup);
}

Ref<QELCApplication> QELCApplication::applicationWithName(std::string name, uint32_t argc, char** argv,
                                                          const LLKTSchedulerSetup& setup) {
  Ref<QELCApplication> application = adoptRef(new QELCApplication(std::move(name), argc, argv));
  return application->setUp(setup) ? application : nullptr;
}

std::string QELBApplication::configPath() const {
  std::string folder = applicationFolder(name_);
  return folder.empty() ? std::string() : folder + "/config.json";
}

std::string QELBApplication::userDataPath() const {
  std::string folder = applicationFolder(name_);
  if (folder.empty()) return {};
  std::string data = folder + "/data";
  return LLKFTakeString(LLKFRelativeToAbsolutePath(data.c_str()));
}

void QELBApplication::onStarting() {
  std::string path = configPath();
  Ref<JSKCFrame> config;
  if (!path.empty() && LLKFDoesFilePathExists(path.c_str())) {
    config = JSKCReader::reader()->readFromPath(path.c_str());
    if (!config) {
      // Kept aside for the user: the settings written at stop must not replace it unseen, nor
      // may it replace a file kept aside before.
      std::string aside = freeAsideName(path);
      std::error_code error = std::make_error_code(std::errc::file_exists);
      if (!aside.empty()) std::filesystem::rename(path, aside, error);
      if (error) {
        // Left where it is; the settings of this run are not written over it at stop.
        keepUnreadableConfig_ = true;
        LLKFLog("QELBApplication : %s cannot be read nor set aside : %s", path.c_str(), error.message().c_str());
      } else LLKFLog("QELBApplication : %s cannot be read; kept as %s", path.c_str(), aside.c_str());
    }
  }
  config_ = config ? config : JSKCFrame::frame();
  std::string reason;
  if (path.empty()) settingsProblem_ = "The settings of this session cannot be saved: there is no settings folder";
  else if (keepUnreadableConfig_)
    settingsProblem_ = "The settings of this session will not be saved: " + path + " cannot be read nor set aside";
  else if (!LLKFCanWriteFile(path.c_str(), &reason))
    settingsProblem_ = "The settings of this session cannot be saved: " + reason;
  if (!settingsProblem_.empty()) LLKFLog("QELBApplication : %s", settingsProblem_.c_str());
  gInterrupted.store(false);
  std::signal(SIGINT, QELFApplicationSignalHandler);
  setPeriod(kSignalCheckMs);
}

void QELBApplication::onPeriod() {
  if (gInterrupted.exchange(false)) stop();
}

void QELBApplication::onStopping() {
  std::string path = configPath();
  if (keepUnreadableConfig_) {
    LLKFLog("QELBApplication : settings not written, %s is kept as it was", path.c_str());
  } else if (!path.empty()) {
    if (!config_) config_ = JSKCFrame::frame();
    Ref<JSKCWriter> writer = JSKCWriter::writer();
    std::string text, reason = "they cannot be put in JSON";
    if (!config_ || !writer || !writer->writeToString(config_.get(), text) ||
        !LLKFWriteFileSafely(path.c_str(), text.data(), text.size(), &reason))
      LLKFLog("QELBApplication : the settings are not saved: %s", reason.c_str());
  }
  std::signal(SIGINT, SIG_DFL);
}
