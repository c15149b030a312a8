#pragma once
// The rows of a file picker's file list: the listed files kept in name order, a row widget made
// only for the rows in view (selected when it shows the picker's selected file).
#include <vector>

#include "ui/widgets/QELBCollectionbox.h"
#include "ui/widgets/QELCPickerEntry.h"

class QELCFilePickerSource : public QELPCollectionboxSource {
public:
  // selected: the picker's selected-file slot, read when rows are made.
  explicit QELCFilePickerSource(const Ref<QELCPickerEntry>* selected) : selected_(selected) {}

  void setHeight(float height) { height_ = height; }
  float height() override { return height_; }
  uint32_t count() override { return static_cast<uint32_t>(entries_.size()); }
  void clear() { entries_.clear(); }
  // Inserts the file at its place by name (after equal names); false for an entry without a file.
  bool append(const Ref<QELCPickerEntry>& entry);
  const Ref<QELCPickerEntry>& at(uint32_t index) const { return entries_.at(index); }

  bool requireWidget(Ref<QELBWidget>& widget, uint32_t index, QELBWindow* window) override;
  void recycleWidget(const Ref<QELBWidget>&, uint32_t) override {}

private:
  std::vector<Ref<QELCPickerEntry>> entries_;
  const Ref<QELCPickerEntry>* selected_;
  float height_ = 0;
};

// The order of the file list: by name, byte by byte.
int QELBFilePickerFileComparator(const QELCPickerEntry& a, const QELCPickerEntry& b);
