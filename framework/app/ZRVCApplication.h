#pragma once
// The application object of the workbench: the UI library's application (settings frame,
// scheduler) bound to the program's main window.
//
// Life: made after the window and released before it; start() runs its own thread, ready()
// answers once the settings were read, stopAndJoin() writes them back. SIGINT, SIGTERM and SIGHUP
// stop the window first (its onClosing stores the views' state into the settings) and leave the
// application to its owner, who stops it after the window loop ended; without a running window
// the application stops itself. Handlers are installed at start and removed at stop.
#include <condition_variable>
#include <mutex>

#include "ui/widgets/QELBApplication.h"
#include "ui/widgets/QELBWindow.h"

// Opens once and stays open: wait() returns at once after open().
class ZRVCReadiness : public LLKBObject {
public:
  [[nodiscard]] static Ref<ZRVCReadiness> readiness() { return makeRef<ZRVCReadiness>(); }
  void open();
  void wait();
  bool isOpen() const;

private:
  mutable std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

class ZRVCApplication : public QELBApplication {
public:
  // Null when another application lives or its scheduler cannot be made. window is not owned:
  // it outlives the application.
  [[nodiscard]] static Ref<ZRVCApplication> applicationWithName(std::string name, QELBWindow* window, uint32_t argc,
                                                                char** argv);
  static ZRVCApplication* shared();

  QELBWindow* window() const { return window_; }
  ZRVCReadiness* ready() const { return ready_.get(); }

protected:
  ZRVCApplication(std::string name, QELBWindow* window, uint32_t argc, char** argv);

  void onStarting() override;
  void onStopping() override;
  void onPeriod() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);

  QELBWindow* window_;
  Ref<ZRVCReadiness> ready_ = ZRVCReadiness::readiness();
};
