#include "app/vision/VSKCCocoFeedView.h"

#include "app/vision/VSKFVisionView.h"
#include "framework/core/LLKCString.h"
#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFLog.h"
#include "ui/widgets/QELBButton.h"
#include "ui/widgets/QELBCheckbox.h"
#include "ui/widgets/QELBGroup.h"
#include "ui/widgets/QELBPickDialog.h"
#include "ui/widgets/QELBWindow.h"

#include <chrono>

namespace {
const QELTGroupSetup kSetupSurface = {kQELGroupColumn, 1.0f, 1.0f, 0.0f, kQELGroupUniformCross | kQELGroupUniformMain};
constexpr const char* kSourcePath = "src.path";
// How long closing the feed waits for its worker to end.
constexpr std::chrono::milliseconds kWorkerGrace{500};

Ref<LLKCMessage> feedMessage(uint32_t tag, Ref<LLKBObject> payload = nullptr) {
  return LLKCMessage::messageWithCode({kVSKCocoFeedUid, tag, 0}, std::move(payload));
}
}  // namespace

VSKCCocoFeedView::VSKCCocoFeedView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config)
    : ZRVBView(size, position, "COCO feeder",
               kQELViewTitleBar | kQELViewStatusBar | kQELViewCloseButton | kQELViewDraggable | kQELViewMenuButton,
               std::move(config)) {}

VSKCCocoFeedView::~VSKCCocoFeedView() {
  if (worker_) worker_->stopAndJoin();
}

Ref<VSKCCocoFeedView> VSKCCocoFeedView::viewWithSize(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config) {
  Ref<VSKCCocoFeedView> view = makeRef<VSKCCocoFeedView>(size, position, std::move(config));
  return view->build() ? view : nullptr;
}

bool VSKCCocoFeedView::build() {
  Ref<QELCGroup> group = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupSurface);
  const struct {
    const char* label;
    uint32_t tag;
  } buttons[] = {{"Set source folder", kVSKCocoFeedFolder},
                 {"Submit", kVSKCocoFeedNext},
                 {"Repeat", kVSKCocoFeedRepeat},
                 {"Rewind", kVSKCocoFeedRewind}};
  for (const auto& entry : buttons) {
    Ref<QELCButton> button = QELCButton::widgetWithSize({0, 0}, {0, 0}, entry.label);
    button->setOnClick(feedMessage(entry.tag));
    if (!group->attach(button)) return false;
  }
  Ref<QELCCheckbox> random = QELCCheckbox::widgetWithSize({0, 0}, {0, 0}, "random sample");
  random->setOnClick(feedMessage(kVSKCocoFeedRandom));
  worker_ = VSKCCocoFeedWorker::workerWithTarget(this);
  return group->attach(random) && attach(group);
}

void VSKCCocoFeedView::onAttachedIntoWindow() {
  const std::string path = config()->stringForLabel(kSourcePath, "");
  Ref<LLKCFSFolder> folder = path.empty() ? nullptr : LLKCFSFolder::folderWithFullPath(path.c_str());
  ZRVBView::onAttachedIntoWindow();
  resizeWithWindow(window());
  // A worker runs once: a view attached again gets one that goes on with the random order its
  // check box shows and the frame count.
  if (worker_->getUid() != 0) worker_ = VSKCCocoFeedWorker::workerFollowing(*worker_);
  if (!worker_->start()) {
    setStatus("the feed cannot start");
    LLKFLog("cocofeed : the worker cannot start");
    return;
  }
  if (folder) toWorker(kVSKCocoFeedFolder, folder);
  else if (!path.empty()) setStatus("the source folder " + path + " is gone: choose another");
}

void VSKCCocoFeedView::onLeavingWindow() {
  // Reading an image must hold neither the window's closing nor the program's end: a worker still
  // busy after the grace is let go, forgetting this view, and a successor takes its place.
  if (worker_->stopAndJoinWithin(kWorkerGrace)) return;
  Ref<VSKCCocoFeedWorker> successor = VSKCCocoFeedWorker::workerFollowing(*worker_);
  worker_->forgetTarget();
  LLKFLog("cocofeed : the worker is still reading an image: the feed closes without waiting for it");
  worker_ = std::move(successor);
}

void VSKCCocoFeedView::onToggleMenu() { VSKFVisionViewToggleMenu(this, false); }

void VSKCCocoFeedView::onBroadcast(const Ref<LLKBObject>& object) {
  auto* message = dynamic_cast<LLKCMessage*>(object.get());
  if (message && message->is(kVSKCocoFeedNextImage)) toWorker(kVSKCocoFeedNext);
}

void VSKCCocoFeedView::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message || VSKFVisionViewMenuMessaged(this, *message) || message->uid() != kVSKCocoFeedUid) return;
  switch (message->tag()) {
    case kVSKCocoFeedFolder:
      openFolderDialog();
      break;
    case kVSKCocoFeedNext:
    case kVSKCocoFeedRepeat:
    case kVSKCocoFeedRewind:
    case kVSKCocoFeedRandom:
      setStatus("");
      toWorker(message->tag());
      break;
    case kVSKCocoFeedPicked:
      if (Ref<LLKCFSFolder> folder = message->details().objectForKeyAs<LLKCFSFolder>("folder")) {
        (void)config()->storeString(folder->absFullPath(), kSourcePath);
        setStatus("");
        toWorker(kVSKCocoFeedFolder, folder);
      }
      break;
    case kVSKCocoFeedTell:
      if (Ref<LLKCString> text = message->payloadAs<LLKCString>()) setStatus(text->string());
      break;
    default:
      break;
  }
}

void VSKCCocoFeedView::openFolderDialog() {
  Ref<QELCFolderPickDialog> dialog =
      QELCFolderPickDialog::widgetWithSize({0, 0}, {0, 0}, "Where is the source folder located?");
  if (!dialog) {
    LLKFConsolePrintf("sorry, out of memory\n");
    return;
  }
  dialog->setPath("./");
  dialog->setLayer(kQELDialogLayer);
  dialog->setVisible(true);
  dialog->setTarget(Ref<QELBWidget>(this));
  dialog->setOnSelect(feedMessage(kVSKCocoFeedPicked));
  if (!window() || !window()->attach(dialog)) setStatus("the folder dialog cannot be opened");
}

void VSKCCocoFeedView::toWorker(uint32_t tag, Ref<LLKBObject> payload) {
  if (!worker_->post(feedMessage(tag, std::move(payload)))) setStatus("the feed is not running");
}
