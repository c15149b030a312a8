#pragma once
// The rows of the pickers' lists: a folder row (a board with the folder's name, or ".." for the
// row that leads up) and a file row (the name over a detail line with the date and the size).
// Each answers null when a part could not be made.
#include "ui/widgets/QELBBoard.h"
#include "ui/widgets/QELCPickerEntry.h"

class QELBWindow;

enum : uint32_t {
  kQELPickerUidFolder = 1,  // a folder row: open the folder in the payload (none: the one above)
  kQELPickerUidFile = 2,    // a file row: select the file in the payload
};

// The folder row of the entry (null for the ".." row); ancillary = the folder.
Ref<QELCBoard> QELFFilePickerMakeFolder(QELBWindow* window, const QELCPickerEntry* entry);
Ref<QELCBoard> QELFFolderPickerMakeFolder(QELBWindow* window, const QELCPickerEntry* entry);
// The selectable file row of the entry; ancillary = the entry.
Ref<QELCBoard> QELFFilePickerMakeFile(QELBWindow* window, const QELCPickerEntry& entry);

// Folder rows: the ".." row first, then by name.
int QELBFilePickerFolderComparator(QELBWidget* a, QELBWidget* b);
int QELBFolderPickerFolderComparator(QELBWidget* a, QELBWidget* b);
