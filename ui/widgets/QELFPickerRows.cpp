#include "ui/widgets/QELFPickerRows.h"

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBWindow.h"

namespace {

constexpr uint32_t kAlignLeftMiddle = kOGLAlignLeft | kOGLAlignMiddle;

Ref<QELCBoard> makeFolderRow(QELBWindow* window, const QELCPickerEntry* entry, const QELTGroupSetup& setup) {
  Ref<QELCBoard> row = QELCBoard::widgetWithSize({0, 0}, {0, 0}, &setup);
  Ref<QELCLabel> label = QELCLabel::widgetWithAlignment(kAlignLeftMiddle, entry ? entry->shownName() : "..");
  Ref<LLKCMessage> click = LLKCMessage::messageWithCode(kQELPickerUidFolder, entry ? entry->entry() : nullptr);
  if (!row->attach(label)) return nullptr;
  row->setOnClick(click);
  row->setAncillary(entry ? Ref<LLKBObject>(entry->entry()) : nullptr);
  row->resizeWithWindow(window);
  row->recomputeLayout();
  return row;
}

// The sort name of a folder row: "" for the ".." row.
int compareFolderRows(QELBWidget* a, QELBWidget* b) {
  auto* left = dynamic_cast<LLKBFSEntry*>(a->ancillary().get());
  auto* right = dynamic_cast<LLKBFSEntry*>(b->ancillary().get());
  if (!left || !right) return !left && right ? -1 : (left && !right ? 1 : 0);
  return left->name().compare(right->name());
}

}  // namespace

Ref<QELCBoard> QELFFilePickerMakeFolder(QELBWindow* window, const QELCPickerEntry* entry) {
  return makeFolderRow(window, entry, QELKFilePickerBoard);
}

Ref<QELCBoard> QELFFolderPickerMakeFolder(QELBWindow* window, const QELCPickerEntry* entry) {
  return makeFolderRow(window, entry, QELKFolderPickerBoard);
}

Ref<QELCBoard> QELFFilePickerMakeFile(QELBWindow* window, const QELCPickerEntry& entry) {
  Ref<QELCBoard> row = QELCBoard::widgetWithSize({0, 0}, {0, 0}, &QELKFilePickerBoard);
  Ref<QELCGroup> detail = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELKFilePickerDetail);
  Ref<QELCLabel> name = QELCLabel::widgetWithAlignment(kAlignLeftMiddle, entry.shownName());
  Ref<QELCLabel> date = QELCLabel::widgetWithAlignment(kAlignLeftMiddle, QELFFilePickerDateText(entry.time()));
  Ref<QELCLabel> size = QELCLabel::widgetWithAlignment(kAlignLeftMiddle, QELFFilePickerSizeText(entry.size()));
  Ref<LLKCMessage> click =
      LLKCMessage::messageWithCode(kQELPickerUidFile, Ref<LLKBObject>(const_cast<QELCPickerEntry*>(&entry)));
  if (window) {
    const QELTWindowTweaks& tweaks = *window->tweaks();
    // Plain, so that the line sits right under the name and the row fits its place in the list.
    for (QELCLabel* small : {date.get(), size.get()}) {
      small->setFontSize(tweaks.smallFontSize);
      small->setFontName(tweaks.smallFontFace);
      small->setFlags(small->flags() | kQELControlPlain);
    }
  }
  if (!detail->attach(date) || !detail->attach(size) || !row->attach(name) || !row->attach(detail)) return nullptr;
  row->setFlags(kQELBoardSelectable);
  row->setOnClick(click);
  row->setAncillary(Ref<LLKBObject>(const_cast<QELCPickerEntry*>(&entry)));
  detail->resizeWithWindow(window);
  detail->recomputeLayout();
  row->resizeWithWindow(window);
  row->recomputeLayout();
  return row;
}

int QELBFilePickerFolderComparator(QELBWidget* a, QELBWidget* b) { return compareFolderRows(a, b); }
int QELBFolderPickerFolderComparator(QELBWidget* a, QELBWidget* b) { return compareFolderRows(a, b); }
