// The labelling view's sample as it arrives and is worked on: frames taken from the feed, the
// background operations that map, paint and outline the sample, the cursor on it, the controls
// row's boxes and buttons, and the list of recent samples.
#include <cstdio>
#include <mutex>

#include "app/vision/VSKCLabelingView.h"
#include "app/vision/VSKCOutlineOperation.h"
#include "app/vision/VSKCSampleOperations.h"
#include "app/vision/VSKFLabelingLabels.h"
#include "app/vision/VSKFVisionView.h"
#include "framework/core/JSKCFrame.h"
#include "framework/core/LLKCObjectTuple.h"
#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFUniqueString.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKFImageFormat.h"
#include "modules/vision/statement/QAVFImageStatement.h"
#include "ui/widgets/QELBApplication.h"
#include "ui/widgets/QELFGeometry.h"

namespace {
constexpr uint32_t kSamplesKept = 10;
constexpr uint32_t kAutoSaveDelayMs = 125;
}  // namespace

bool VSKCLabelingView::submit(const Ref<QELBOperation>& operation, LLKTMessageCode onComplete, uint32_t ctx) {
  onComplete.ctx = ctx;
  return submit(operation, LLKCMessage::messageWithCode(onComplete));
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
  VSKFLabelingViewOnNewFrame();
  record_.waiting = false;
}

void VSKCLabelingView::VSKFLabelingViewOnNewFrame() {
  QAVTImageStatement image;
  if (QAVFImageStatementRead(record_.statement.get(), &image) != kQAVImageValid ||
      image.pixelFormat != IMKPixelFormatBGR)
    return;
  Ref<QELCBitmap> bitmap =
      QELCBitmap::bitmapWithSize({static_cast<float>(image.width), static_cast<float>(image.height)});
  if (!bitmap) return;
  MRKCString* name = MRKFFrameFetchString(image.meta, "sample");
  Ref<LLKCString> random = name ? nullptr : LLKFUniqueStringWithLength(16);
  const std::string sampleName = name ? name->value() : random ? random->string() : std::string();
  record_.sample = VSKCImageSample::sampleFromStatement(record_.statement.get(), sampleName, 0);
  record_.shown = false;
  record_.contours = nullptr;
  if (!record_.sample) {
    setStatus("no sample could be made of this image");
    return;
  }
  rememberSample(record_.sample->name());
  MRKCBinary* received = asBinary(MRKFFrameFetchTerm(image.ancillary, "image"));
  Ref<QELBOperation> operation;
  if (!received || !record_.useImage) {
    operation = VSKCOperationImageSampleRender::operationWithImageSample(record_.sample, bitmap, record_.labelsTable);
  } else {
    (void)IMKFImageConvert(image.width, image.height, received->bytes(), received->length(), IMKPixelFormatBGR,
                           bitmap->bytes(), bitmap->length(), IMKPixelFormatRGBA);
    operation = VSKCOperationImageSampleProcess::operationWithImageSample(record_.sample, bitmap, record_.labelsTable);
  }
  record_.pending = bitmap;
  if (!submit(operation, kVSKLabelingShown)) setStatus("the sample cannot be shown");
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
  VSKFLabelingViewStatusUpdate(record_.sample.get(), this);
  VSKFLabelingViewContourUpdate();
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
  const bool overPanel =
      record_.panel->visible() && QELFRectContains(record_.panel->bounds(), record_.panel->worldToLocal(cursor.point));
  VSKCImageSample* sample = record_.sample.get();
  if (!overPanel && sample && record_.shown &&
      (cursor.action == kOGLActionPress || cursor.action == kOGLActionRepeat)) {
    const OGLTPoint p = record_.picture->worldToLocal(cursor.point);
    if (QELFRectContains(record_.picture->bounds(), p) && sample->rows() > 0) {
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
        VSKFLabelingViewStatusUpdate(record_.sample.get(), this);
        VSKFLabelingViewContourUpdate();
      }
      if (click != VSKLabelingClick::missed) record_.overlay->redraw();
    }
  }
  return ZRVBView::onInputWithCursor(cursor);
}

void VSKFLabelingViewStatusUpdate(const VSKCImageSample* sample, QELBView* view) {
  char text[48] = "";
  if (sample) std::snprintf(text, sizeof text, "%u objects labeled", sample->labeled());
  view->setStatus(text);
}

void VSKCLabelingView::VSKFLabelingViewContourUpdate() {
  if (!record_.sample || !record_.shown) return;
  const uint32_t ticket = ++record_.outlineTicket;
  const uint32_t object = record_.cursor.selectedObject;
  Ref<LLKCObjectDeque> polygons =
      record_.cursor.currentLabel != 0 && object != 0 ? record_.sample->polygonsForObject(object) : nullptr;
  if (!polygons || polygons->isEmpty()) {
    // The outline shows what the object holds: with nothing, none.
    record_.contours = nullptr;
    record_.overlay->redraw();
    return;
  }
  if (!submit(VSKCOperationOutline::operationWithPolygons(polygons), kVSKLabelingOutlined, ticket))
    setStatus("the object's outline cannot be made");
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
        VSKFLabelingViewContourUpdate();
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
        VSKFLabelingViewStatusUpdate(record_.sample.get(), this);
        VSKFLabelingViewContourUpdate();
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

void VSKCLabelingView::rememberSample(const std::string& name) {
  std::string wanted = name;
  size_t index = 0;
  while (index < record_.sampleNames->count() &&
         !VSKFLabelingMatchStringInContainer(record_.sampleNames->fetchAtIndex(index).get(), &wanted))
    ++index;
  if (index < record_.sampleNames->count()) {
    record_.samples->setSelected(static_cast<uint32_t>(index));
  } else {
    if (record_.sampleNames->count() >= kSamplesKept) (void)record_.sampleNames->removeHead();
    (void)record_.sampleNames->append(LLKCString::stringWithString(name));
    record_.samples->setSelected(static_cast<uint32_t>(record_.sampleNames->count() - 1));
  }
  record_.samples->setEnabled(true);
}

bool VSKFLabelingMatchStringInContainer(LLKBObject* element, void* string) {
  auto* name = dynamic_cast<LLKCString*>(element);
  return name && string && name->string() == *static_cast<const std::string*>(string);
}
