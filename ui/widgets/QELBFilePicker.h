#pragma once
// A file picker: the path of the current folder on top; below it the folder list and the list
// of the folder's files (those with an extension, filtered by it); a footer with the filter,
// a spinner while the folder is listed, "Select" and "Cancel". "Select" sends a copy of
// onSelect with "sender", "folder" (the current folder) and "file" (the chosen LLKCFSFile);
// see QELBPicker for listings, the ending and the problems shown.
#include <string>
#include <vector>

#include "ui/widgets/QELBCollectionbox.h"
#include "ui/widgets/QELBPicker.h"
#include "ui/widgets/QELBDropbox.h"
#include "ui/widgets/QELBSpinner.h"
#include "ui/widgets/QELCFilePickerSource.h"

enum : uint32_t {
  kQELPickerUidFilter = 5,  // the filter drop box changed ("value")
};

class QELBFilePicker : public QELBPicker {
public:
  QELBFilePicker(OGLTSize size, OGLTPoint position);
  ~QELBFilePicker() override;

  // The extensions offered ("*" or "" for every file with an extension); the first is chosen.
  std::vector<std::string> filters() const;
  void setFilters(std::vector<std::string> filters);
  const std::string& filter() const { return filter_; }

  QELBCollectionbox* fileList() const { return fileList_.get(); }
  QELCFilePickerSource* source() const { return source_.get(); }
  QELBSpinner* spinner() const { return spinner_.get(); }
  QELBDropbox* filterBox() const { return filterBox_.get(); }
  const Ref<QELCPickerEntry>& selected() const { return selected_; }

  void resizeWithWindow(QELBWindow* window) override;
  void onAwaken() override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

protected:
  friend class QELCFilePicker;
  bool build();
  Ref<QELBPickerWorker> makeWorker(Ref<QELCPickerLink> link) override;
  Ref<QELCBoard> makeFolderRow(const QELCPickerEntry* entry) override;
  void onBatch(const LLKCMessage& batch) override;
  void onRestart() override;
  void onButton(uint32_t tag) override;

private:
  bool passes(const QELCPickerEntry& entry) const;
  void selectFile(const Ref<QELCPickerEntry>& entry);

  Ref<QELCFilePickerSource> source_;
  Ref<QELCCollectionbox> fileList_;
  Ref<QELCDropbox> filterBox_;
  Ref<QELCSpinner> spinner_;
  Ref<QELCPickerEntry> selected_;
  std::string filter_;
};

class QELCFilePicker : public QELBFilePicker {
public:
  // Null when a part cannot be made.
  [[nodiscard]] static Ref<QELCFilePicker> widgetWithSize(OGLTSize size, OGLTPoint position);
  using QELBFilePicker::QELBFilePicker;
};
