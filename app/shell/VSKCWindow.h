#pragma once
// The workbench's main window. At opening it shows the statistics view, refills the recents,
// settles the data folder (the saved one; else the default, with the data-folder dialog when
// the saved one is gone), publishes "vesko.ux", "path.rscs" and "path.data" among the
// substrate's constants, follows "ctm.tick" through its observer (delivered to the statistics
// view, which leaves the squibs to this window) and loads the solution named on the command
// line. Every menu click, load notification, squib and hover arrives as a message in
// onMessaged, the one dispatcher. At closing it stops following and saves its state into the
// settings before its views leave it.
//
// Its state is private (its record, observer and data folder): the window hands its record to
// the functions that build, restore, save and change it, which reach the window itself through
// the base window only. Tests read the state through the const accessors.
//
// Window's thread only (the observer delivers there).
#include <string>

#include "app/shell/VSKTWindowRecord.h"
#include "framework/app/ZRVBWindow.h"
#include "framework/app/ZRVCObserver.h"
#include "framework/app/ZRVFHint.h"

class VSKCWindow : public ZRVBWindow {
public:
  // Null when the window or its observer cannot be made.
  [[nodiscard]] static Ref<VSKCWindow> window();

  ZRVCObserver* observer() const { return observer_.get(); }
  const VSKTStatsRecord& stats() const { return record_.stats; }
  // The hint shown over a statistics graph, or null.
  const Ref<ZRVCHint>& hint() const { return record_.stats.hint; }
  // The data folder in use ("" until opening settled it).
  const std::string& dataPath() const { return dataPath_; }

  bool onMessaged(const Ref<LLKCMessage>& message) override;

protected:
  void onOpening() override;
  void onClosing() override;
  void onAboutBoxRequested() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCWindow() = default;

  void settleDataPath();
  // Uses the folder from now on: the labelling views and the "path.data" constant get it.
  void useDataPath(const std::string& path);
  // (0xc00, 0x180): the folder picked in the data-folder dialog, saved in the settings.
  void onDataFolderPicked(const LLKCMessage& message);
  void publishConstants();
  void loadFromCommandLine();
  bool onCommand(const LLKCMessage& message);

  VSKTWindowRecord record_;
  Ref<ZRVCObserver> observer_;
  std::string dataPath_;
};
