// The labelling view's sample: frames taken from the feed, the background operations that map
// and paint it, the cursor on it, and saving, loading, cloning, reverting and moving on.
#include <cstdio>
#include <mutex>

#include "app/vision/VSKCLabelingView.h"
#include "app/vision/VSKCOutlineOperation.h"
#include "app/vision/VSKCSampleOperations.h"
#include "app/vision/VSKFLabelingLabels.h"
#include "app/vision/VSKFVisionView.h"
#include "framework/core/JSKCFrame.h"
#include "framework/core/LLKCObjectTuple.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFUniqueString.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKFImageFormat.h"
#include "modules/vision/statement/QAVFImageStatement.h"
#include "ui/widgets/QELBApplication.h"
#include "ui/widgets/QELBMessageDialog.h"
#include "ui/widgets/QELBPickDialog.h"
#include "ui/widgets/QELBWindow.h"

namespace {
constexpr uint32_t kSamplesKept = 10;
constexpr uint32_t kAutoSaveDelayMs = 125;
// What a failed save leaves and how to go on.
constexpr const char* kNotSaved = "sample not saved: it stays changed, save it again or revert it to move on";

// "saved as <new>: <old>.bin holds another sample" when the save had to take a free name, else "".
std::string renameNote(const LLKCMessage& message, const VSKCImageSample* sample) {
  Ref<LLKCString> old = message.details().objectForKeyAs<LLKCString>("renamed");
  if (!old || !sample) return "";
  return "saved as " + sample->name() + ": " + old->string() + ".bin holds another sample";
}

// Appends the name to the samples list (the oldest dropped beyond ten) and selects it.
void rememberSample(VSKCLabelingView::private_t& record, const std::string& name) {
  std::string wanted = name;
  size_t index = 0;
  while (index < record.sampleNames->count() &&
         !VSKFLabelingMatchStringInContainer(record.sampleNames->fetchAtIndex(index).get(), &wanted))
    ++index;
  if (index < record.sampleNames->count()) {
    record.samples->setSelected(static_cast<uint32_t>(index));
  } else {
    if (record.sampleNames->count() >= kSamplesKept) (void)record.sampleNames->removeHead();
    (void)record.sampleNames->append(LLKCString::stringWithString(name));
    record.samples->setSelected(static_cast<uint32_t>(record.sampleNames->count() - 1));
  }
  record.samples->setEnabled(true);
}
}  // namespace

bool VSKCLabelingView::submit(const Ref<QELBOperation>& operation, uint64_t onComplete, uint32_t ctx) {
  return submit(operation, LLKCMessage::messageWithCode(LLKTMessageCode::fromValue(onComplete, ctx)));
}

bool VSKCLabelingView::submit(const Ref<QELBOperation>& operation, const Ref<LLKCMessage>& message) {
  QELBApplication* application = QELBApplication::shared();
  if (!operation || !message || !application || !application->scheduler()) return false;
  operation->setTarget(Ref<QELBWidget>(this));
  operation->setOnComplete(message);
  return application->scheduler()->submit(operation);
}

void VSKCLabelingView::onSquib(const LLKCMessage& message) {
  if (!record_.waiting) return;
  MRKCStatement* statement = VSKFVisionViewFirstStatement(message, nullptr);
  if (!statement || statement->label() != record_.feed) return;
  record_.statement = Ref<MRKCStatement>(statement);
  VSKFLabelingViewOnNewFrame(&record_, this);
  record_.waiting = false;
}

void VSKFLabelingViewOnNewFrame(VSKCLabelingView::private_t* record, VSKCLabelingView* view) {
  QAVTImageStatement image;
  if (QAVFImageStatementRead(record->statement.get(), &image) != kQAVImageValid ||
      image.pixelFormat != IMKPixelFormatBGR)
    return;
  Ref<QELCBitmap> bitmap =
      QELCBitmap::bitmapWithSize({static_cast<float>(image.width), static_cast<float>(image.height)});
  if (!bitmap) return;
  MRKCString* name = MRKFFrameFetchString(image.meta, "sample");
  Ref<LLKCString> random = name ? nullptr : LLKFUniqueStringWithLength(16);
  const std::string sampleName = name ? name->value() : random ? random->string() : std::string();
  record->sample = VSKCImageSample::sampleFromStatement(record->statement.get(), sampleName, 0);
  record->shown = false;
  record->contours = nullptr;
  if (!record->sample) {
    view->setStatus("no sample could be made of this image");
    return;
  }
  rememberSample(*record, record->sample->name());
  MRKCBinary* received = asBinary(MRKFFrameFetchTerm(image.ancillary, "image"));
  Ref<QELBOperation> operation;
  if (!received || !record->useImage) {
    operation = VSKCOperationImageSampleRender::operationWithImageSample(record->sample, bitmap, record->labelsTable);
  } else {
    (void)IMKFImageConvert(image.width, image.height, received->bytes(), received->length(), IMKPixelFormatBGR,
                           bitmap->bytes(), bitmap->length(), IMKPixelFormatRGBA);
    operation = VSKCOperationImageSampleProcess::operationWithImageSample(record->sample, bitmap, record->labelsTable);
  }
  record->pending = bitmap;
  if (!view->submit(operation, kVSKLabelingShown)) view->setStatus("the sample cannot be shown");
}

void VSKCLabelingView::onShown(const LLKCMessage& message) {
  Ref<QELCBitmap> bitmap = message.payloadAs<QELCBitmap>();
  if (!bitmap || !record_.sample || bitmap != record_.pending) return;
  record_.pending = nullptr;
  record_.shown = true;
  record_.cursor.selectedObject = 1;
  record_.cursor.currentLabel = record_.sample->objects()[0];
  record_.labels->setSelected(record_.cursor.currentLabel);
  record_.labels->setEnabled(true);
  record_.objects->setSelected(0);
  record_.objects->setEnabled(true);
  record_.picture->setBitmap(bitmap);
  record_.picture->redraw();
  VSKFLabelingViewStatusUpdate(&record_, this);
  VSKFLabelingViewContourUpdate(&record_, this);
  if (record_.autoSave) save(kVSKLabelingAutoSaved, kAutoSaveDelayMs);
}

void VSKCLabelingView::onLabelsLoaded(const LLKCMessage& message) {
  Ref<LLKCObjectTuple> frames = message.payloadAs<LLKCObjectTuple>();
  Ref<JSKCFrame> labels = frames && frames->count() > 0 ? frames->fetchAtIndexAs<JSKCFrame>(0) : nullptr;
  Ref<JSKCFrame> coco =
      frames && frames->count() > 1 ? frames->fetchAtIndexAs<JSKCFrame>(frames->count() - 1) : nullptr;
  if (!labels) {
    LLKFLog("%s : the labels cannot be listed: labels.json in the resources is missing or not JSON", alias().c_str());
    return;
  }
  // Made anew each time: attaching the view again must not list the labels twice.
  const std::vector<std::string> names = VSKFLabelingLabelNames(*labels, record_.feed);
  record_.labelNames->clear();
  for (const std::string& name : names) (void)record_.labelNames->append(LLKCString::stringWithString(name));
  record_.labels->setValues(record_.labelNames);
  record_.cursor.currentLabel = 0;
  if (Ref<LLKCData> table = coco ? VSKFLabelingLabelsTable(*coco, record_.peripheral, names) : nullptr)
    record_.labelsTable = table;
}

bool VSKCLabelingView::onInputWithCursor(const OGLTCursorEvent& cursor) {
  const bool overPanel = record_.panel->visible() && [&] {
    const OGLTPoint p = record_.panel->worldToLocal(cursor.point);
    const OGLTRect b = record_.panel->bounds();
    return p.x >= b.left && p.x <= b.right && p.y >= b.top && p.y <= b.bottom;
  }();
  VSKCImageSample* sample = record_.sample.get();
  if (!overPanel && sample && record_.shown &&
      (cursor.action == kOGLActionPress || cursor.action == kOGLActionRepeat)) {
    const OGLTPoint p = record_.picture->worldToLocal(cursor.point);
    const OGLTRect b = record_.picture->bounds();
    if (p.x >= b.left && p.x <= b.right && p.y >= b.top && p.y <= b.bottom && sample->rows() > 0) {
      // The picture box centres the image: the sample is in the image's pixels.
      const OGLTPoint origin = VSKFVisionViewPictureOrigin(*record_.picture);
      std::string status;
      VSKLabelingClick click;
      {
        // A save of the sample may still be writing it out.
        std::lock_guard lock(sample->monitor());
        click = VSKFLabelingClick(*sample, record_.cursor, {p.x - origin.x, p.y - origin.y}, cursor.mods, &status);
      }
      if (click == VSKLabelingClick::compared) {
        setStatus(status);
      } else if (click == VSKLabelingClick::toggled || click == VSKLabelingClick::picked) {
        VSKFLabelingViewStatusUpdate(&record_, this);
        VSKFLabelingViewContourUpdate(&record_, this);
      }
      if (click != VSKLabelingClick::missed) record_.overlay->redraw();
    }
  }
  return ZRVBView::onInputWithCursor(cursor);
}

void VSKFLabelingViewStatusUpdate(const VSKCLabelingView::private_t* record, QELBView* view) {
  char text[48] = "";
  if (record->sample) std::snprintf(text, sizeof text, "%u objects labeled", record->sample->labeled());
  view->setStatus(text);
}

void VSKFLabelingViewContourUpdate(VSKCLabelingView::private_t* record, VSKCLabelingView* view) {
  if (!record->sample || !record->shown) return;
  const uint32_t ticket = ++record->outlineTicket;
  const uint32_t object = record->cursor.selectedObject;
  if (record->cursor.currentLabel == 0 || object == 0) return;
  Ref<LLKCObjectDeque> polygons = record->sample->polygonsForObject(object);
  if (!polygons || polygons->isEmpty()) return;
  if (!view->submit(VSKCOperationOutline::operationWithPolygons(polygons), kVSKLabelingOutlined, ticket))
    view->setStatus("the object's outline cannot be made");
}

void VSKCLabelingView::onOutlined(const LLKCMessage& message) {
  if (message.ctx() != record_.outlineTicket || !record_.sample || !record_.shown) return;
  Ref<LLKCObjectDeque> contours = message.payloadAs<LLKCObjectDeque>();
  if (Ref<LLKCString> note = message.details().objectForKeyAs<LLKCString>("note")) {
    LLKFLog("%s - object %u of sample %s: %s", alias().c_str(), record_.cursor.selectedObject,
            record_.sample->name().c_str(), note->string().c_str());
    if (!contours) setStatus("the object is not outlined: " + note->string());
  }
  if (contours) record_.contours = contours;
  record_.overlay->redraw();
}

void VSKCLabelingView::onControl(const LLKCMessage& message) {
  switch (message.tag()) {
    case kVSKLabelingBoxChangedTag:
      if (message.ctx() == kVSKLabelingObjectsBox) {
        record_.contours = nullptr;
        const uint64_t selected = message.details().uintForKey("selected", 0);
        if (selected >= kVSKObjectSlots) return;
        record_.cursor.selectedObject = static_cast<uint32_t>(selected) + 1;
        record_.cursor.currentLabel = record_.sample ? record_.sample->objects()[selected] : 0;
        record_.labels->setSelected(record_.cursor.currentLabel);
        VSKFLabelingViewContourUpdate(&record_, this);
      } else if (message.ctx() == kVSKLabelingSamplesBox) {
        Ref<LLKCString> name = message.details().objectForKeyAs<LLKCString>("value");
        if (!name || (record_.sample && record_.sample->name() == name->string())) return;
        submitLoad(record_.sampleFolder, name->string());
      } else if (message.ctx() == kVSKLabelingLabelBox) {
        const uint64_t n = message.details().uintForKey("selected", 0);
        if (n == record_.cursor.currentLabel || n > 0xFF) return;
        record_.cursor.currentLabel = static_cast<uint32_t>(n);
        const uint32_t object = record_.cursor.selectedObject;
        if (!record_.sample || object < 1 || object > kVSKObjectSlots) return;
        {
          std::lock_guard lock(record_.sample->monitor());
          record_.sample->objects()[object - 1] = static_cast<uint8_t>(n);
        }
        record_.sample->setTouched(true);
        VSKFLabelingViewStatusUpdate(&record_, this);
        VSKFLabelingViewContourUpdate(&record_, this);
      }
      return;
    case kVSKLabelingNextTag:
      return next();
    case kVSKLabelingSaveTag:
      if (record_.sample) save(kVSKLabelingSaved);
      return;
    case kVSKLabelingLoadedTag:
      return loaded(message);
    case kVSKLabelingRevertTag:
      return revert();
    case kVSKLabelingCloneTag:
      return cloneSample();
    case kVSKLabelingLoadTag:
      return pickFile();
    default:
      return;
  }
}

void VSKCLabelingView::revert() {
  if (record_.sample) {
    std::lock_guard lock(record_.sample->monitor());
    record_.sample->revert();
  }
  record_.contours = nullptr;
  ++record_.outlineTicket;  // an outline on its way is of the sample as it was
  const uint32_t object = record_.cursor.selectedObject;
  record_.cursor.currentLabel =
      record_.sample && object >= 1 && object <= kVSKObjectSlots ? record_.sample->objects()[object - 1] : 0;
  record_.labels->setSelected(record_.cursor.currentLabel);
  VSKFLabelingViewContourUpdate(&record_, this);
  record_.overlay->redraw();
  setStatus("sample reset");
}

bool VSKCLabelingView::save(uint64_t onComplete, uint32_t delayMs) {
  if (!record_.sample) return false;
  return saveSample(record_.sample, LLKCMessage::messageWithCode(LLKTMessageCode::fromValue(onComplete, delayMs)));
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

bool VSKCLabelingView::saveUnderFreeName(const LLKCMessage& failed) {
  Ref<VSKCImageSample> sample = failed.payloadAs<VSKCImageSample>();
  if (!sample || failed.details().objectForKeyAs<LLKCString>("renamed")) return false;
  const std::string old = sample->name();
  const std::string name = VSKFImageSampleFreeName(record_.sampleFolder, old);
  if (name.empty()) return false;
  {
    std::lock_guard lock(sample->monitor());
    sample->setName(name);
  }
  if (sample == record_.sample) rememberSample(record_, name);
  Ref<LLKCMessage> again = LLKCMessage::messageWithCode(failed.code());
  if (!again) return false;
  (void)again->details().storeObject(LLKCString::stringWithString(old), "renamed");
  return saveSample(sample, again);
}

void VSKCLabelingView::next() {
  // A changed sample goes only once it is saved: the save's report moves on.
  if (record_.sample && record_.sample->touched()) {
    save(kVSKLabelingSavedForNext);
    return;
  }
  acceptNext();
}

void VSKCLabelingView::acceptNext(const std::string& note) {
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
  if (record_.autoNext && window()) (void)window()->broadcast(LLKCMessage::messageWithCode(kVSKLabelingNextImage));
  setStatus(note.empty() ? "Waiting for sample ..." : "Waiting for sample ... (the last sample was " + note + ")");
}

void VSKCLabelingView::onCompleted(const LLKCMessage& message) {
  const bool saved = message.details().boolForKey("outcome", false);
  const bool isSave = message.tag() >= kVSKLabelingSavedTag && message.tag() <= kVSKLabelingSavedForSwitchTag;
  // A new sample whose name another sample's file holds is saved under a free name instead.
  if (isSave && !saved && message.details().boolForKey("exists", false) && saveUnderFreeName(message)) return;
  const std::string note = isSave && saved ? renameNote(message, message.payloadAs<VSKCImageSample>().get()) : "";
  if (!note.empty()) LLKFLog("%s : sample %s", alias().c_str(), note.c_str());
  switch (message.tag()) {
    case kVSKLabelingLabelsLoadedTag:
      return onLabelsLoaded(message);
    case kVSKLabelingSavedTag:
      setStatus(saved ? (note.empty() ? "sample saved" : "sample " + note) : kNotSaved);
      return;
    case kVSKLabelingAutoSavedTag:
      if (!saved) {
        setStatus(kNotSaved);
      } else if (record_.autoNext) {
        (void)poke(LLKCMessage::messageWithCode(kVSKLabelingNext));
      } else if (!note.empty()) {
        setStatus("sample " + note);
      }
      return;
    case kVSKLabelingSavedForNextTag:
      if (saved) return acceptNext(note);
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
  rememberSample(record_, record_.sample->name());
}

void VSKCLabelingView::loaded(const LLKCMessage& message) {
  Ref<VSKCImageSample> sample = message.payloadAs<VSKCImageSample>();
  if (!sample) {
    LLKFLog("%s : no sample came back from its load: the file is missing, its name is unsafe or it holds no sample",
            alias().c_str());
    setStatus("the sample could not be loaded");
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
  takeSample(std::move(sample));
}

void VSKCLabelingView::showLoaded(Ref<VSKCImageSample> sample) {
  takeSample(std::move(sample));
  record_.shown = false;  // until its render reports
  const auto side = static_cast<float>(record_.fov);
  Ref<QELCBitmap> bitmap = QELCBitmap::bitmapWithSize({side, side});
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
    dialog->setLayer(8);
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
  dialog->setLayer(8);
  dialog->setAlias("dlg.error");
  dialog->setVisible(true);
  if (!attach(dialog)) LLKFLog("%s : the view refused to show that the sample folder is missing", alias().c_str());
}

bool VSKFLabelingMatchStringInContainer(LLKBObject* element, void* string) {
  auto* name = dynamic_cast<LLKCString*>(element);
  return name && string && name->string() == *static_cast<const std::string*>(string);
}
