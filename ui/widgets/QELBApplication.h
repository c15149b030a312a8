#pragma once
// The single application object of a program built on the UI library: a looper that owns the
// job scheduler and the settings frame. At start it reads the settings from
// <preferences>/<name>/config.json and routes SIGINT to an orderly stop; at stop it writes the
// settings back (atomically; in place when its folder takes no new file) and gives SIGINT its
// default action again. Settings that cannot be saved are known, and logged, at start.
//
// A settings file that does not parse is renamed aside (config.json.unreadable, or .unreadable.1
// and on when that is taken) and logged, so it is never overwritten silently; a failed write is
// logged. SIGINT only raises a flag (the one thing a signal handler may safely do); the
// application notices it within a tenth of a second and stops. A subclass that overrides onPeriod calls this class's
// first.
#include <cstdint>
#include <string>

#include "framework/core/JSKCFrame.h"
#include "framework/core/LLKBLooper.h"
#include "framework/core/LLKCScheduler.h"

extern "C" {
// The default scheduler setup: {flags 0, threads 4, capacity 500}.
extern const LLKTSchedulerSetup QELKApplicationSetup;

// Asks the application (when there is one) to stop; safe inside a signal handler.
void QELFApplicationSignalHandler(int signal);
// Written through a temporary file that replaces the path; false when it was not written.
bool QELFApplicationWriteJSON(const char* path, const JSKCFrame* frame);
}

// Hand back counted objects, so C++ linkage.
// The file's JSON frame; an empty frame (never null) when it cannot be read.
Ref<JSKCFrame> QELFApplicationReadJSON(const char* path);
// An empty frame for a null path or a missing file; else as QELFApplicationReadJSON.
Ref<JSKCFrame> QELFApplicationReadConfig(const char* path);

class QELBApplication : public LLKBLooper {
public:
  // The application object, or null.
  static QELBApplication* shared();
  ~QELBApplication() override;

  const std::string& name() const { return name_; }
  uint32_t argc() const { return argc_; }
  char** argv() const { return argv_; }
  LLKCScheduler* scheduler() const { return scheduler_.get(); }
  // The settings frame; null until the application started.
  JSKCFrame* config() const { return config_.get(); }
  // <preferences>/<name>/data as an absolute path ("" without a preferences folder); the folder
  // of the name is made when missing, "data" itself is not.
  std::string userDataPath() const;
  // <preferences>/<name>/config.json, "" without a preferences folder.
  std::string configPath() const;
  // Why the settings of this session cannot be saved, as found at start (no settings folder, a
  // file kept unread, neither the folder nor the file writable); "" when they can.
  const std::string& settingsProblem() const { return settingsProblem_; }

protected:
  // argv is kept, not copied.
  QELBApplication(std::string name, uint32_t argc, char** argv);
  // Becomes the application object and makes the scheduler; false when another application
  // object lives or the scheduler cannot be made. Factories answer null then.
  bool setUp(const LLKTSchedulerSetup& setup);

  void onStarting() override;
  void onStopping() override;
  void onPeriod() override;

private:
  std::string name_;
  uint32_t argc_;
  char** argv_;
  Ref<LLKCScheduler> scheduler_;
  Ref<JSKCFrame> config_;
  bool registered_ = false;
  bool keepUnreadableConfig_ = false;  // an unreadable settings file that could not be set aside
  std::string settingsProblem_;
};

class QELCApplication : public QELBApplication {
public:
  [[nodiscard]] static Ref<QELCApplication> applicationWithName(std::string name, uint32_t argc, char** argv);
  [[nodiscard]] static Ref<QELCApplication> applicationWithName(std::string name, uint32_t argc, char** argv,
                                                                const LLKTSchedulerSetup& setup);

protected:
  using QELBApplication::QELBApplication;
};
