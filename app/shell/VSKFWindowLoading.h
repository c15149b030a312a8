#pragma once
// Loading solutions, wiping the substrate and the recents list of the main window. Loads and
// wipes are operations on the substrate's offloader; they report back to the window as
// (0xb00, 0x20, ctx) progress and (0xb00, 0x10, ctx) completion messages. The record is the
// window's own (VSKTWindowRecord). Window's thread only.
#include <cstdint>
#include <string>

#include "app/shell/VSKTWindowRecord.h"
#include "framework/core/LLKCMessage.h"

class ZRVBWindow;

// Asks the window to load the file: posts (0xa00, 0, ctx) with the file (made absolute) under
// "file"; false when nothing was posted (a path that cannot be made absolute). Without a path,
// shows the solution pick dialog, whose choice comes back as that same request: at the home
// folder when fromHome, else at "./etc/vesko" (or at the home folder when that is missing);
// true when it is shown (one at a time).
bool VSKFWindowLoad(ZRVBWindow* window, uint32_t ctx, const std::string& path, bool fromHome);
// Submits a wipe that loads the workbench's own solution alone; false when not submitted.
bool VSKFWindowWipe(ZRVBWindow* window);
// (0xa00, any, any): submits a load of the workbench's solution and the file, with a wipe first.
void VSKFWindowOnLoadRequest(ZRVBWindow* window, const LLKCMessage& message);
// (0xb00, ...): progress texts go to the status label; a load that completed adds its file to
// the recents, one that failed says why in the status label and the log (a wipe likewise).
void VSKFWindowOnOperation(VSKTWindowRecord& record, ZRVBWindow* window, const LLKCMessage& message);
// Adds the path to the recents and their menu list; false when it was there already or is empty.
bool VSKFWindowAppendRecent(VSKTWindowRecord& record, QELBWindow* window, const std::string& path);
// Saves the recents and the statistics view's state into the settings (at closing).
void VSKFWindowArchive(const VSKTWindowRecord& record, ZRVBWindow* window);
// Builds the statistics view, reopens the views saved as visible and refills the recents (at
// opening).
void VSKFWindowRestore(VSKTWindowRecord& record, ZRVBWindow* window);
