#include "ui/widgets/QELBFilePicker.h"

#include <strings.h>

#include <cmath>

#include "framework/core/LLKCObjectList.h"
#include "framework/core/LLKCString.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBSpacer.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFPickerRows.h"

namespace {

// Rounded to the nearest whole number, raised by 1 when odd.
float evenWidth(float width) {
  float whole = std::round(width);
  return std::fmod(whole, 2.0f) != 0 ? whole + 1 : whole;
}

}  // namespace

QELBFilePicker::QELBFilePicker(OGLTSize size, OGLTPoint position) : QELBPicker(size, position, &QELKFilePickerSetup) {}

QELBFilePicker::~QELBFilePicker() = default;

Ref<QELCFilePicker> QELCFilePicker::widgetWithSize(OGLTSize size, OGLTPoint position) {
  Ref<QELCFilePicker> picker = makeRef<QELCFilePicker>(size, position);
  return picker->build() ? picker : nullptr;
}

bool QELBFilePicker::build() {
  source_ = makeRef<QELCFilePickerSource>(&selected_);
  fileList_ = QELCCollectionbox::widgetWithSize({0, 0}, {0, 0});
  filterBox_ = QELCDropbox::widgetWithSize({0, 0}, {0, 0}, LLKCObjectList::list());
  spinner_ = QELCSpinner::widgetWithSize({0, 0}, {0, 0}, 0.5f);
  Ref<QELCGroup> row = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELKFilePickerRow);
  Ref<QELCGroup> footer = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELKFilePickerFooter);
  Ref<QELCLabel> extension = QELCLabel::widgetWithAlignment(kOGLAlignLeft | kOGLAlignMiddle, "Extension:");
  Ref<QELCSpacer> spacer = QELCSpacer::widgetWithSize({0, 0}, {0, 0});
  if (!buildParts(QELBFilePickerFolderComparator)) return false;
  fileList_->setSource(source_);
  fileList_->setFlags(kQELCollectionboxFitWidth);
  filterBox_->setFlags(kQELDropboxOpensAbove);
  filterBox_->setOnChange(LLKCMessage::messageWithCode(kQELPickerUidFilter));
  spinner_->setVisible(false);
  selectButton_->setEnabled(false);
  return row->attach(folderList_) && row->attach(fileList_) && footer->attach(extension) &&
         footer->attach(filterBox_) && footer->attach(spacer) && footer->attach(spinner_) &&
         footer->attach(selectButton_) && footer->attach(cancelButton_) && attach(pathBox_) && attach(row) &&
         attach(footer);
}

std::vector<std::string> QELBFilePicker::filters() const {
  std::vector<std::string> filters;
  const Ref<LLKBObjectSequence>& values = filterBox_->values();
  for (size_t i = 0; values && i < values->count(); ++i)
    if (Ref<LLKCString> value = values->fetchAtIndexAs<LLKCString>(i)) filters.push_back(value->string());
  return filters;
}

void QELBFilePicker::setFilters(std::vector<std::string> filters) {
  Ref<LLKCObjectList> values = LLKCObjectList::list();
  for (const std::string& filter : filters) (void)values->append(LLKCString::stringWithString(filter));
  filterBox_->setValues(values);
  filterBox_->setSelected(0);
  filter_ = filters.empty() ? std::string() : filters.front();
}

void QELBFilePicker::resizeWithWindow(QELBWindow* window) {
  float w = evenWidth(QELBTextbox::preferredSizeWithWindow(window, pathBox_->capacity()).w);
  folderList_->setSize({evenWidth(0.3f * w), listHeight()});
  fileList_->setSize({evenWidth(0.7f * w), listHeight()});
  QELBPicker::resizeWithWindow(window);
}

void QELBFilePicker::onAwaken() {
  if (QELBWindow* owner = window()) source_->setHeight(owner->tweaks()->textFontSize * 4 - 1);
  QELBPicker::onAwaken();
}

Ref<QELBPickerWorker> QELBFilePicker::makeWorker(Ref<QELCPickerLink> link) {
  return makeRef<QELCFilePickerWorker>(std::move(link));
}

Ref<QELCBoard> QELBFilePicker::makeFolderRow(const QELCPickerEntry* entry) {
  return QELFFilePickerMakeFolder(window(), entry);
}

void QELBFilePicker::onRestart() {
  selectButton_->setEnabled(false);
  selected_ = nullptr;
  source_->clear();
  fileList_->clear();
}

bool QELBFilePicker::passes(const QELCPickerEntry& entry) const {
  std::string extension = entry.file()->extension();
  if (extension.empty()) return false;
  return filter_.empty() || filter_ == "*" || strcasecmp(extension.c_str(), filter_.c_str()) == 0;
}

void QELBFilePicker::onBatch(const LLKCMessage& batch) {
  Ref<LLKCObjectList> entries = batch.payloadAs<LLKCObjectList>();
  if (!entries || entries->count() == 0) {
    spinner_->setVisible(false);
    return;
  }
  spinner_->setVisible(listing());
  for (size_t i = 0; i < entries->count(); ++i) {
    Ref<QELCPickerEntry> entry = entries->fetchAtIndexAs<QELCPickerEntry>(i);
    if (entry && entry->file() && passes(*entry)) (void)source_->append(entry);
  }
  attachFolderRows(*entries);
  fileList_->refresh();
}

void QELBFilePicker::selectFile(const Ref<QELCPickerEntry>& entry) {
  if (!entry || !entry->file()) return;
  for (const auto& [index, row] : fileList_->live())
    if (auto* board = dynamic_cast<QELBBoard*>(row.get())) board->setSelected(row->ancillary().get() == entry.get());
  selected_ = entry;
  selectButton_->setEnabled(true);
}

void QELBFilePicker::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  if (message->uid() == kQELPickerUidFile) {
    selectFile(message->payloadAs<QELCPickerEntry>());
  } else if (message->uid() == kQELPickerUidFilter) {
    Ref<LLKCString> value = message->details().objectForKeyAs<LLKCString>("value");
    if (!value) return;
    filter_ = value->string();
    restart();
  } else {
    QELBPicker::onMessaged(message);
  }
}

void QELBFilePicker::onButton(uint32_t tag) {
  if (tag == kQELPickerTagSelect) {
    if (!selected_ || !onSelect()) return;
    Ref<LLKCMessage> choice = copyWithSender(onSelect());
    if (!choice) return;
    (void)choice->details().storeObject(Ref<LLKBObject>(folder()), "folder");
    (void)choice->details().storeObject(selected_->entry(), "file");
    finish(choice);
  } else if (tag == kQELPickerTagCancel) {
    finish(copyWithSender(onCancel()));
  }
}
