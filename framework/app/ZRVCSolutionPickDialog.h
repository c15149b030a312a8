#pragma once
// The dialog that picks a solution file: a file pick dialog offering the solutions' own
// extension ("json"). Its selection message carries the picked LLKCFSFile under "file" in its
// details (see QELBFilePicker); the dialog closes on the choice. Window's thread only.
#include "ui/widgets/QELBPickDialog.h"

class ZRVCSolutionPickDialog : public QELCFilePickDialog {
public:
  // Null when the dialog or its picker cannot be made.
  [[nodiscard]] static Ref<ZRVCSolutionPickDialog> widgetWithSize(OGLTSize size, OGLTPoint position, std::string title);
  using QELCFilePickDialog::QELCFilePickDialog;
};
