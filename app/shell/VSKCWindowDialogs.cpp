// The main window's own dialogs: where the data folder is, and the about box.
#include "app/shell/VSKCWindow.h"
#include "app/shell/VSKFWindowCodes.h"
#include "framework/core/LLKCString.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "ui/widgets/QELBMessageDialog.h"
#include "ui/widgets/QELBPickDialog.h"

namespace {

constexpr const char* kDataDialogAlias = "dlg.data.path";
constexpr const char* kAboutAlias = "dlg.about";

// A framework global's text, or "unknown".
std::string globalText(const char* key) {
  Ref<MRKCString> text = MRKCSubstrate::shared()->globals()->fetch<MRKCString>(key);
  return text ? text->value() : std::string("unknown");
}

}  // namespace

bool VSKCWindow::VSKFWindowAskForDataPath() {
  if (locate(kDataDialogAlias)) return true;
  Ref<QELCFolderPickDialog> dialog =
      QELCFolderPickDialog::widgetWithSize({0, 0}, {0, 0}, "Where is the data folder located?");
  if (dialog) {
    dialog->setPath(LLKFTakeString(LLKFGetUserHomePath()));
    dialog->setLayer(kQELDialogLayer);
    dialog->setVisible(true);
    dialog->setAlias(kDataDialogAlias);
    dialog->setOnSelect(LLKCMessage::messageWithCode({kVSKDataFolder, kVSKDataFolderPicked, 0}));
    // A dialog without a folder to start from is not shown.
    if (!dialog->path().empty() && attach(dialog)) return true;
  }
  VSKFWindowTell("Cannot show the data folder dialog");
  return false;
}

void VSKCWindow::VSKFWindowShowAbout() {
  if (locate(kAboutAlias)) return;
  Ref<QELCMessageDialog> dialog = QELCMessageDialog::widgetWithSize({0, 0}, {20, 400}, "About ...");
  if (!dialog) {
    LLKFLog("vesko : the About dialog cannot be made (out of memory)");
    return;
  }
  dialog->setWidth(400);
  dialog->setSymbol(0xE801);
  Ref<LLKCString> message = LLKCString::stringWithFormat(
      "vesko, an environment for Conscious\nTuring Machines development.\n\n\nPreview: %s\nZarn:    %s\nArch:    "
      "%s.%s\nBuild:   %s",
      "45.1", globalText("zarn.version").c_str(), globalText("zarn.os").c_str(), globalText("zarn.arch").c_str(),
      "20230929.2238");
  if (message) dialog->setMessage(message->string());
  dialog->setButtons({"Okay"});
  dialog->setLayer(kQELDialogLayer);
  dialog->setAlias(kAboutAlias);
  dialog->setVisible(true);
  if (!attach(dialog)) LLKFLog("vesko : the window refused to show the About dialog");
}
