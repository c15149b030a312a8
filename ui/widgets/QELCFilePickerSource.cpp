#include "ui/widgets/QELCFilePickerSource.h"

#include <algorithm>

#include "ui/widgets/QELFPickerRows.h"

int QELBFilePickerFileComparator(const QELCPickerEntry& a, const QELCPickerEntry& b) {
  return a.name().compare(b.name());
}

bool QELCFilePickerSource::append(const Ref<QELCPickerEntry>& entry) {
  if (!entry || !entry->file()) return false;
  // Batches come in name order, so the place is nearly always the end.
  auto place = std::upper_bound(entries_.begin(), entries_.end(), entry,
                                [](const auto& a, const auto& b) { return QELBFilePickerFileComparator(*a, *b) < 0; });
  entries_.insert(place, entry);
  return true;
}

bool QELCFilePickerSource::requireWidget(Ref<QELBWidget>& widget, uint32_t index, QELBWindow* window) {
  if (index >= entries_.size()) return false;
  const Ref<QELCPickerEntry>& entry = entries_[index];
  Ref<QELCBoard> row = QELFFilePickerMakeFile(window, *entry);
  if (!row) return false;
  row->setSelected(selected_ && *selected_ == entry);
  widget = row;
  return true;
}
