#pragma once
// The workbench's main window. At opening it builds its menus, shows the statistics view,
// reopens the views saved as visible, refills the recents, settles the data folder (the saved
// one; else the default, with the data-folder dialog when the saved one is gone), publishes
// "vesko.ux", "path.rscs" and "path.data" among the substrate's constants, follows "ctm.tick"
// through its observer (delivered to the statistics view, which leaves the squibs to this
// window) and loads the solution named on the command line. Every menu click, load
// notification, squib and hover arrives as a message in onMessaged, the one dispatcher. At
// closing it stops following and saves its state into the settings before its views leave it:
// its own place and size among them, at which it opens at the next start, before the views are
// restored into it.
//
// Its state is private and its definition is spread over the files named beside the members
// below (VSKCWindow*.cpp); tests read the state through the const accessors. The statistics
// view's functions (VSKFWindowStats.h) and the view openers (VSKFWindowViews.h) are free: they
// work on what they are given, not on this window.
//
// Window's thread only (the observer delivers there).
#include <cstdint>
#include <string>

#include "app/shell/VSKFWindowStats.h"
#include "app/shell/VSKTRecents.h"
#include "framework/app/ZRVBWindow.h"
#include "framework/app/ZRVCObserver.h"
#include "framework/app/ZRVFHint.h"
#include "ui/widgets/QELBMenuList.h"

class VSKCWindow : public ZRVBWindow {
public:
  [[nodiscard]] static Ref<VSKCWindow> window();

  ZRVCObserver* observer() const { return observer_.get(); }
  const VSKTStatsRecord& stats() const { return stats_; }
  // The hint shown over a statistics graph, or null.
  const Ref<ZRVCHint>& hint() const { return stats_.hint; }
  // The data folder in use ("" until opening settled it).
  const std::string& dataPath() const { return dataPath_; }

  bool onMessaged(const Ref<LLKCMessage>& message) override;

protected:
  // Before the GL window is made: it is made at the place and size saved at the last closing
  // (or, at a first start, those of the layout named on the command line).
  void onStarting() override;
  void onOpening() override;
  void onClosing() override;
  void onAboutBoxRequested() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCWindow() = default;

  // VSKCWindow.cpp: opening, closing, the data folder, the constants and the dispatch.
  void settleDataPath();
  // Uses the folder from now on: the labelling views and the "path.data" constant get it.
  void useDataPath(const std::string& path);
  // (0xc00, 0x180): the folder picked in the data-folder dialog, saved in the settings.
  void onDataFolderPicked(const LLKCMessage& message);
  void publishConstants();
  void loadFromCommandLine();
  bool onCommand(const LLKCMessage& message);
  // Tells the user: the status label and the log (under "vesko") get the same text.
  void VSKFWindowTell(const std::string& text);
  // The status label gets the shorter text, the log the full one.
  void VSKFWindowTell(const std::string& shown, const std::string& logged);

  // VSKCWindowMenus.cpp: "CTM" in the framework's "Statistics" menu (shows or hides the
  // statistics view), the "Commands" menu with "Load recent" (the recents list), "Wipe" and the
  // openers of the inject and COCO feed views, and the "Views" menu with an opener of every other
  // view kind (those with a field of view under "Foveal" and "Peripherial"). An entry that cannot
  // be made is left out.
  void VSKFWindowBuildMenus();

  // VSKCWindowRecents.cpp: the recently loaded files and the "Load recent" list that shows them.
  // Adds the path to the recents and their menu list; false when it was there already or is empty.
  bool VSKFWindowAppendRecent(const std::string& path);
  // Makes the "Load recent" list show the recents, oldest first; each entry loads its file with
  // (kVSKCommand, kVSKCommandLoadTest, 1) carrying the full path.
  void VSKFWindowRefreshRecents();

  // VSKCWindowLoad.cpp: loading solutions and wiping the substrate. Loads and wipes are
  // operations on the substrate's offloader; they report back as (kVSKOperation,
  // kVSKOperationProgress, ctx) progress and (kVSKOperation, kVSKOperationComplete, ctx) completion
  // messages.
  // Asks for the file to be loaded: posts (kVSKLoadRequest, 0, ctx) to this window with the file (made
  // absolute) under "file"; false when nothing was posted (a path that cannot be made absolute).
  // Without a path, shows the solution pick dialog, whose choice comes back as that same request:
  // at the home folder when fromHome, else at "./etc/vesko" (or at the home folder when that is
  // missing); true when it is shown (one at a time).
  bool VSKFWindowLoad(uint32_t ctx, const std::string& path, bool fromHome);
  // Submits a wipe that loads the workbench's own solution alone; false when not submitted.
  bool VSKFWindowWipe();
  // (0xa00, any, any): submits a load of the workbench's solution and the file, with a wipe first.
  void VSKFWindowOnLoadRequest(const LLKCMessage& message);
  // (0xb00, ...): progress texts go to the status label; a load that completed adds its file to
  // the recents, one that failed says why in the status label and the log (a wipe likewise).
  void VSKFWindowOnOperation(const LLKCMessage& message);
  // Submits a load of the workbench's own solution followed by the extra path (none for a wipe).
  bool submitLoad(const std::string& extra, uint32_t ctx);
  // The solution pick dialog, one at a time; its choice is the load request (kVSKLoadRequest, 0, ctx).
  bool showPickDialog(uint32_t ctx, bool fromHome);

  // VSKCWindowArchive.cpp: the window's state in the settings.
  // Saves the window's place and size, the recents and the statistics view's state into the
  // settings (at closing).
  void VSKFWindowArchive() const;
  // Gives the window the place and size saved at the last closing (before it is made).
  void VSKFWindowRestoreFrame();
  // When nothing is saved yet (a first start), takes the settings of the layout named on the
  // command line ("--layout"), so that the window and its views open as the layout arranges them;
  // saved settings are never replaced. A layout that cannot be read is said in the log.
  void VSKFWindowTakeLayout();
  // Builds the statistics view, reopens the views saved as visible and refills the recents (at
  // opening).
  void VSKFWindowRestore();

  // VSKCWindowDialogs.cpp: the window's own dialogs, each shown once at a time (a second request
  // while it is shown does nothing).
  // Shows the data-folder dialog at the home folder; its choice comes back as (kVSKDataFolder, kVSKDataFolderPicked, 0)
  // with the picked folder under "folder". False, and the user told, when it cannot be made, has
  // no path or cannot be attached.
  bool VSKFWindowAskForDataPath();
  // Shows the about box with the framework's version, system and architecture ("unknown" for
  // each the substrate does not give).
  void VSKFWindowShowAbout();

  VSKTStatsRecord stats_;
  VSKTRecents recents_;
  Ref<QELBMenuList> recentsList_;  // of the "Load recent" menu entry, or null
  Ref<ZRVCObserver> observer_;
  std::string dataPath_;
};
