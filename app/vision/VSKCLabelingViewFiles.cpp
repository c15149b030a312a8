// The labelling view's sample files: saving (also as the view leaves its window), loading,
// cloning, reverting and moving on to the next frame, and the operations' reports that follow.
#include <mutex>

#include "app/vision/VSKCCocoFeedView.h"
#include "app/vision/VSKCLabelingView.h"
#include "app/vision/VSKCSampleOperations.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"
#include "ui/widgets/QELBMessageDialog.h"
#include "ui/widgets/QELBPickDialog.h"
#include "ui/widgets/QELBWindow.h"

namespace {
// What a failed save leaves and how to go on.
constexpr const char* kNotSaved = "sample not saved: it stays changed, save it again or revert it to move on";
}  // namespace

void VSKCLabelingView::revert() {
  if (record_.sample) {
    std::lock_guard lock(record_.sample->monitor());
    record_.sample->revert();
  }
  followSelectedObject();
  setStatus("sample reset");
}

void VSKCLabelingView::followSelectedObject() {
  record_.contours = nullptr;
  ++record_.outlineTicket;  // an outline on its way is of the sample as it was
  const uint32_t object = record_.cursor.selectedObject;
  record_.cursor.currentLabel =
      record_.sample && object >= 1 && object <= kVSKObjectSlots ? record_.sample->objects()[object - 1] : 0;
  record_.labels->setSelected(record_.cursor.currentLabel);
  VSKFLabelingViewContourUpdate();
  record_.overlay->redraw();
}

void VSKCLabelingView::saveBeforeLeaving() {
  VSKCImageSample* sample = record_.sample.get();
  if (!sample) return;
  // A save on its way may have written the sample by now: it is written here only if still changed.
  std::lock_guard lock(sample->monitor());
  if (!sample->touched()) return;
  if (record_.sampleFolder.empty()) {
    LLKFLog("%s : the changed sample %s is lost: there is no sample folder to save it in", alias().c_str(),
            sample->name().c_str());
  } else if (!VSKFImageSampleSave(*sample, record_.sampleFolder)) {
    LLKFLog("%s : the changed sample %s could not be saved in %s and is lost", alias().c_str(), sample->name().c_str(),
            record_.sampleFolder.c_str());
  } else {
    LLKFLog("%s : the changed sample %s was saved as %s", alias().c_str(), sample->name().c_str(),
            sample->file().c_str());
  }
}

bool VSKCLabelingView::save(LLKTMessageCode onComplete, uint32_t delayMs) {
  if (!record_.sample) return false;
  onComplete.ctx = delayMs;
  return saveSample(record_.sample, LLKCMessage::messageWithCode(onComplete));
}

bool VSKCLabelingView::saveSample(const Ref<VSKCImageSample>& sample, Ref<LLKCMessage> onComplete) {
  if (record_.sampleFolder.empty()) {
    setStatus("sample not saved: there is no sample folder yet; it stays changed, revert it to move on");
    return false;
  }
  // The completion names the sample saved: the view may show another by then.
  if (onComplete) onComplete->setPayload(sample);
  if (!submit(VSKCOperationImageSampleSave::operationWithImageSample(sample, record_.sampleFolder), onComplete)) {
    setStatus("sample not saved: the save could not be started; it stays changed, revert it to move on");
    return false;
  }
  return true;
}

void VSKCLabelingView::next() {
  // A changed sample goes only once it is saved: the save's report moves on.
  if (record_.sample && record_.sample->touched()) {
    save(kVSKLabelingSavedForNext);
    return;
  }
  acceptNext();
}

void VSKCLabelingView::acceptNext() {
  record_.waiting = true;
  record_.statement = nullptr;
  record_.sample = nullptr;
  record_.incoming = nullptr;
  record_.shown = false;
  record_.pending = nullptr;
  record_.contours = nullptr;
  record_.picture->setBitmap(nullptr);
  record_.picture->redraw();
  record_.overlay->redraw();
  record_.cursor.selectedObject = 1;
  record_.cursor.currentLabel = 0;
  record_.cursor.firstPick = -1;
  record_.labels->setSelected(0);
  record_.labels->setEnabled(false);
  record_.objects->setSelected(0);
  record_.objects->setEnabled(false);
  if (record_.autoNext && window()) (void)window()->broadcast(LLKCMessage::messageWithCode(kVSKCocoFeedNextImage));
  setStatus("Waiting for sample ...");
}

void VSKCLabelingView::onCompleted(const LLKCMessage& message) {
  const bool saved = message.details().boolForKey("outcome", false);
  switch (message.tag()) {
    case kVSKLabelingLabelsLoadedTag:
      return onLabelsLoaded(message);
    case kVSKLabelingSavedTag:
      setStatus(saved ? "sample saved" : kNotSaved);
      return;
    case kVSKLabelingAutoSavedTag:
      if (!saved) {
        setStatus(kNotSaved);
      } else if (record_.autoNext) {
        (void)poke(LLKCMessage::messageWithCode(kVSKLabelingNext));
      }
      return;
    case kVSKLabelingSavedForNextTag:
      if (saved) return acceptNext();
      setStatus(kNotSaved);
      return;
    case kVSKLabelingSavedForSwitchTag: {
      Ref<VSKCImageSample> incoming = std::move(record_.incoming);
      if (!incoming) return;
      if (saved) return replaceSample(std::move(incoming), record_.incomingIsLoaded);
      setStatus(kNotSaved);
      return;
    }
    case kVSKLabelingShownTag:
      return onShown(message);
    case kVSKLabelingOutlinedTag:
      return onOutlined(message);
    default:
      return;
  }
}

void VSKCLabelingView::takeSample(Ref<VSKCImageSample> sample) {
  record_.sample = std::move(sample);
  record_.contours = nullptr;
  rememberSample(record_.sample->name());
}

void VSKCLabelingView::loaded(const LLKCMessage& message) {
  Ref<VSKCImageSample> sample = message.payloadAs<VSKCImageSample>();
  if (!sample) {
    LLKFLog("%s : no sample came back from its load: the file is missing, its name is unsafe or it holds no sample",
            alias().c_str());
    setStatus("the sample could not be loaded");
    // The samples box shows the sample on screen, not the one that failed.
    if (record_.sample) rememberSample(record_.sample->name());
    return;
  }
  replaceSample(std::move(sample), true);
}

void VSKCLabelingView::cloneSample() {
  if (!record_.sample) return;
  if (Ref<VSKCImageSample> clone = record_.sample->clone()) replaceSample(std::move(clone), false);
}

void VSKCLabelingView::replaceSample(Ref<VSKCImageSample> sample, bool loaded) {
  // A changed sample is never dropped unsaved: the other waits for its save's report, and
  // stays out when that save fails.
  if (record_.sample && record_.sample->touched()) {
    record_.incoming = std::move(sample);
    record_.incomingIsLoaded = loaded;
    if (!save(kVSKLabelingSavedForSwitch)) record_.incoming = nullptr;
    return;
  }
  if (loaded) return showLoaded(std::move(sample));
  // A clone shows the same picture: the label box, the outline and the status now describe it.
  takeSample(std::move(sample));
  followSelectedObject();
  VSKFLabelingViewStatusUpdate(record_.sample.get(), this);
}

void VSKCLabelingView::showLoaded(Ref<VSKCImageSample> sample) {
  takeSample(std::move(sample));
  record_.shown = false;  // until its render reports
  // As large as the image it was made of, as a fed frame's: the picture box centres both alike.
  const VSKTImageExtent extent = record_.sample->imageExtent();
  const auto side = static_cast<float>(record_.fov);
  const OGLTSize size = extent.width && extent.height
                            ? OGLTSize{static_cast<float>(extent.width), static_cast<float>(extent.height)}
                            : OGLTSize{side, side};
  Ref<QELCBitmap> bitmap = QELCBitmap::bitmapWithSize(size);
  record_.pending = bitmap;
  if (!bitmap ||
      !submit(VSKCOperationImageSampleRender::operationWithImageSample(record_.sample, bitmap, record_.labelsTable),
              kVSKLabelingShown))
    setStatus("the sample cannot be shown");
}

void VSKCLabelingView::submitLoad(const std::string& folder, const std::string& name) {
  if (!submit(VSKCOperationImageSampleLoad::operationWithPath(folder, name), kVSKLabelingLoaded))
    setStatus("the sample " + name + " cannot be loaded");
}

void VSKCLabelingView::pickFile() {
  QELBWindow* owner = window();
  if (!owner) return;
  if (!record_.sampleFolder.empty() && LLKFDoesFilePathExists(record_.sampleFolder.c_str())) {
    Ref<QELCFilePickDialog> dialog = QELCFilePickDialog::widgetWithSize({0, 0}, {0, 0}, "Pick a file ..");
    if (!dialog) {
      LLKFLog("%s : the file picker for %s cannot be made (out of memory)", alias().c_str(),
              record_.sampleFolder.c_str());
      return;
    }
    dialog->setFilters({"bin"});
    dialog->setPath(record_.sampleFolder);
    dialog->setLayer(kQELDialogLayer);
    dialog->setVisible(true);
    dialog->setTarget(Ref<QELBWidget>(this));
    dialog->setOnSelect(LLKCMessage::messageWithCode(kVSKLabelingFilePicked));
    dialog->setOnCancel(LLKCMessage::messageWithCode(kVSKLabelingFileCancelled));
    if (!owner->attach(dialog)) LLKFLog("%s : the window refused to show the file picker", alias().c_str());
    return;
  }
  Ref<QELCMessageDialog> dialog = QELCMessageDialog::widgetWithSize({0, 0}, {20, 400}, "Sorry, but ...");
  if (!dialog) {
    LLKFLog("%s : the message that the sample folder \"%s\" is missing cannot be made (out of memory)", alias().c_str(),
            record_.sampleFolder.c_str());
    return;
  }
  dialog->setWidth(400);
  dialog->setSymbol(0xE813);
  dialog->setMessage("Sorry, it looks like that path doesn't exists.");
  dialog->setButtons({"Whoopsy"});
  dialog->setLayer(kQELDialogLayer);
  dialog->setAlias("dlg.error");
  dialog->setVisible(true);
  if (!attach(dialog)) LLKFLog("%s : the view refused to show that the sample folder is missing", alias().c_str());
}
