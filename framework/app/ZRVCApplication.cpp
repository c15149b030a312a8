#include "framework/app/ZRVCApplication.h"

#include <atomic>
#include <csignal>

namespace {

// Set by the signal handler, read by the application's periodic check.
std::atomic<bool> gStopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal flag must be lock-free");

extern "C" void ZRVFApplicationSignalHandler(int) { gStopRequested.store(true); }

// The signals that end the program in order (the base class gives SIGINT its default back).
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

}  // namespace

void ZRVCReadiness::open() {
  {
    std::lock_guard lock(mutex_);
    open_ = true;
  }
  opened_.notify_all();
}

void ZRVCReadiness::wait() {
  std::unique_lock lock(mutex_);
  opened_.wait(lock, [this] { return open_; });
}

bool ZRVCReadiness::isOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

ZRVCApplication::ZRVCApplication(std::string name, QELBWindow* window, uint32_t argc, char** argv)
    : QELBApplication(std::move(name), argc, argv), window_(window) {}

Ref<ZRVCApplication> ZRVCApplication::applicationWithName(std::string name, QELBWindow* window, uint32_t argc,
                                                          char** argv) {
  if (!window) return nullptr;
  Ref<ZRVCApplication> application = makeRef<ZRVCApplication>(std::move(name), window, argc, argv);
  return application->setUp(QELKApplicationSetup) ? application : nullptr;
}

ZRVCApplication* ZRVCApplication::shared() { return dynamic_cast<ZRVCApplication*>(QELBApplication::shared()); }

void ZRVCApplication::onStarting() {
  QELBApplication::onStarting();
  // Each signal ends the window first, so its views' state reaches the settings written at stop;
  // SIGHUP (the terminal that started the program closed) ends it the same way.
  gStopRequested.store(false);
  for (int signal : kStopSignals) std::signal(signal, ZRVFApplicationSignalHandler);
  ready_->open();
}

void ZRVCApplication::onPeriod() {
  QELBApplication::onPeriod();
  if (!gStopRequested.exchange(false)) return;
  if (window_->isRunning()) window_->stop();
  else stop();
}

void ZRVCApplication::onStopping() {
  QELBApplication::onStopping();
  for (int signal : kStopSignals)
    if (signal != SIGINT) std::signal(signal, SIG_DFL);
  // A waiter must not block on an application that stopped before it was ready.
  ready_->open();
}
