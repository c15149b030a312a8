// The main window's loading of solutions and wiping of the substrate, as operations on the
// substrate's offloader that report back to the window.
#include "app/base/VSKFPaths.h"
#include "app/shell/VSKCWindow.h"
#include "app/shell/VSKFWindowCodes.h"
#include "framework/app/ZRVCLoadOperation.h"
#include "framework/app/ZRVCSolutionPickDialog.h"
#include "framework/core/LLKCFSFile.h"
#include "framework/core/LLKCString.h"
#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCOffloader.h"
#include "framework/substrate/MRKCSubstrate.h"

namespace {

constexpr const char* kPickDialogAlias = "ui.sol.pick";

std::string detailText(const LLKCMessage& message, std::string_view key) {
  Ref<LLKCString> text = message.details().objectForKeyAs<LLKCString>(key);
  return text ? text->string() : std::string();
}

// The error as the status shows it: the file's name in place of its full path, which the log
// keeps.
std::string withFileName(const std::string& error, const std::string& path) {
  if (path.empty() || error.compare(0, path.size(), path) != 0) return error;
  return std::string(LLKFStringGetFilenameFromPath(path.c_str())) + error.substr(path.size());
}

}  // namespace

bool VSKCWindow::submitLoad(const std::string& extra, uint32_t ctx) {
  Ref<MRKCOffloader> offloader = MRKCSubstrate::shared()->globals()->fetch<MRKCOffloader>("offloader");
  if (!offloader) return false;
  std::string own = VSKFResourcePath("app.json");
  if (own.empty()) {
    VSKFWindowTell(kVSKMissingResources);
    return false;
  }
  std::vector<std::string> paths{own};
  if (!extra.empty()) paths.push_back(extra);
  Ref<ZRVCOperationContext> context = ZRVCOperationContext::context();
  Ref<ZRVCLoadOperation> operation = ZRVCLoadOperation::operationWithPaths(std::move(paths), context);
  if (!operation) return false;
  operation->setWipe(true);
  operation->setMain(!extra.empty());
  context->setTarget(this);
  context->setOnProgress(LLKCMessage::messageWithCode({kVSKOperation, kVSKOperationProgress, ctx}));
  context->setOnComplete(LLKCMessage::messageWithCode(
      {kVSKOperation, kVSKOperationComplete, ctx},
      extra.empty() ? Ref<LLKBObject>() : Ref<LLKBObject>(LLKCString::stringWithString(extra))));
  if (offloader->submit(Ref<LLKBOperation>(operation))) return true;
  LLKFConsolePrintf("sorry, out of memory.\n");
  return false;
}

bool VSKCWindow::showPickDialog(uint32_t ctx, bool fromHome) {
  if (locate(kPickDialogAlias)) return true;
  Ref<ZRVCSolutionPickDialog> dialog = ZRVCSolutionPickDialog::widgetWithSize({0, 0}, {0, 0}, "Select a solution ...");
  if (dialog) {
    std::string home = LLKFTakeString(LLKFGetUserHomePath());
    dialog->setPath(fromHome ? home : LLKFTakeString(LLKFRelativeToAbsolutePath(kVSKTestsFolder)));
    if (dialog->path().empty() && !fromHome) dialog->setPath(home);
    dialog->setLayer(kQELDialogLayer);
    dialog->setVisible(true);
    dialog->setAlias(kPickDialogAlias);
    dialog->setOnSelect(LLKCMessage::messageWithCode({kVSKLoadRequest, 0, ctx}));
    if (attach(dialog)) return true;
  }
  VSKFWindowTell("Cannot show the solution pick dialog");
  return false;
}

bool VSKCWindow::VSKFWindowLoad(uint32_t ctx, const std::string& path, bool fromHome) {
  if (path.empty()) return showPickDialog(ctx, fromHome);
  std::string full = LLKFTakeString(LLKFRelativeToAbsolutePath(path.c_str()));
  Ref<LLKCFSFile> file = full.empty() ? nullptr : LLKCFSFile::fileWithFullPath(full.c_str());
  Ref<LLKCMessage> request = file ? LLKCMessage::messageWithCode({kVSKLoadRequest, 0, ctx}) : nullptr;
  if (!request) return false;
  (void)request->details().storeObject(file, "file");
  return post(request);
}

bool VSKCWindow::VSKFWindowWipe() { return submitLoad({}, kVSKWipeContext); }

void VSKCWindow::VSKFWindowOnLoadRequest(const LLKCMessage& message) {
  Ref<LLKCFSFile> file = message.details().objectForKeyAs<LLKCFSFile>("file");
  if (!file || file->fullPath().empty()) return;
  (void)submitLoad(file->fullPath(), kVSKLoadContext);
}

void VSKCWindow::VSKFWindowOnOperation(const LLKCMessage& message) {
  if (message.tag() == kVSKOperationProgress) {
    setStatus(detailText(message, "string"));
    return;
  }
  if (message.tag() != kVSKOperationComplete) return;
  bool success = message.details().boolForKey("success");
  if (message.ctx() == kVSKWipeContext) {
    if (success) VSKFWindowTell("Substrate wiped: only the workbench's own solution is loaded");
    else VSKFWindowTell("Cannot wipe: " + detailText(message, "error"));
    return;
  }
  if (message.ctx() != kVSKLoadContext) return;
  Ref<LLKCString> path = message.payloadAs<LLKCString>();
  if (!path) return;
  if (!success) {
    std::string error = detailText(message, "error");
    std::string outcome =
        message.details().boolForKey("kept") ? ". The running solution is kept." : ". The substrate was wiped.";
    VSKFWindowTell("Cannot load " + withFileName(error, path->string()) + outcome, "Cannot load " + error + outcome);
    return;
  }
  LLKFLog("vesko : loaded %s", path->string().c_str());
  (void)VSKFWindowAppendRecent(path->string());
}
