#include "app/vision/VSKCLabeledView.h"

#include <cstdio>

#include "app/base/VSKFPaths.h"
#include "app/vision/VSKCFileOperations.h"
#include "app/vision/VSKFVisionView.h"
#include "framework/core/LLKCObjectTuple.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageFormat.h"
#include "ui/widgets/QELBApplication.h"
#include "ui/widgets/QELBWindow.h"

VSKCLabeledView::VSKCLabeledView(OGLTSize size, OGLTPoint position, std::string feed, Ref<ZRVCObserver> observer,
                                 Ref<JSKCFrame> config)
    : VSKBFeedView(size, position, std::move(feed), std::move(observer), std::move(config)) {}

Ref<VSKCLabeledView> VSKCLabeledView::viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                   std::string feed, uint32_t fov, Ref<JSKCFrame> config) {
  if (feed.empty()) return nullptr;
  Ref<ZRVCObserver> observer = VSKFVisionViewObserver(alias);
  Ref<VSKCLabeledView> view =
      makeRef<VSKCLabeledView>(size, position, std::move(feed), std::move(observer), std::move(config));
  private_t& record = view->record_;
  const auto side = static_cast<float>(fov);
  record.picture = QELCPicturebox::widgetWithSize({side, side}, {0, 0});
  record.overlay = VSKCLabeledViewOverlay::widgetWithSize({side, side}, {0, 0}, *view);
  if (!view->attach(record.picture) || !view->attach(record.overlay)) return nullptr;
  view->setAlias(std::move(alias));
  return view;
}

void VSKCLabeledView::onAttachedIntoWindow() {
  Ref<VSKCOperationJSONLoad> load = VSKCOperationJSONLoad::operationWithFilePaths({VSKFResourcePath("colors.json")});
  ZRVBView::onAttachedIntoWindow();
  follow(kVSKFeedSquib, std::nullopt, {feed()});
  resizeWithWindow(window());
  QELBApplication* application = QELBApplication::shared();
  if (!load || !application || !application->scheduler()) {
    LLKFLog("%s : failed to load colors", alias().c_str());
    return;
  }
  load->setTarget(Ref<QELBWidget>(this));
  load->setOnComplete(LLKCMessage::messageWithCode(kVSKLabeledColoursLoaded));
  if (!application->scheduler()->submit(load)) LLKFLog("%s : failed to load colors", alias().c_str());
}

void VSKCLabeledView::onToggleMenu() { VSKFVisionViewToggleMenu(this, false); }

void VSKCLabeledView::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message || VSKFVisionViewMenuMessaged(this, *message)) return;
  if (message->is(kVSKFeedSquib)) return onSquib(*message);
  if (message->is(kVSKLabeledColoursLoaded)) return onColoursLoaded(*message);
}

void VSKCLabeledView::onColoursLoaded(const LLKCMessage& message) {
  Ref<LLKCObjectTuple> frames = message.payloadAs<LLKCObjectTuple>();
  Ref<JSKCFrame> file = frames && frames->count() > 0 ? frames->fetchAtIndexAs<JSKCFrame>(0) : nullptr;
  if (!file) {
    LLKFLog("%s : failed to load colors", alias().c_str());
    return;
  }
  (void)VSKFLabelColoursRead(*file, &record_.colours);
  record_.overlay->onColoursChanged();
}

void VSKCLabeledView::onSquib(const LLKCMessage& message) {
  MRKCStatement* statement = VSKFVisionViewFirstStatement(message, nullptr);
  QAVTImageStatement image;
  if (!statement || statement->label() != feed() || QAVFImageStatementRead(statement, &image) != kQAVImageValid) return;
  // The picture is the image the segmenter received, kept in the ancillary frame in the format
  // and size the meta frame gives.
  MRKCBinary* received = asBinary(MRKFFrameFetchTerm(image.ancillary, "image"));
  if (!received || image.pixelFormat != IMKPixelFormatBGR) return;
  if (!VSKFVisionViewShow(record_.picture.get(), image.width, image.height, image.pixelFormat, *received)) return;
  MRKCList* objects = asList(MRKFFrameFetchTerm(image.ancillary, "objects"));
  const double elapsed = MRKFFrameFetchReal(image.ancillary, "elapsed", 0.0);
  char status[96];
  std::snprintf(status, sizeof status, "max p.time: %.4lfs, %u objects detected", elapsed,
                objects ? static_cast<unsigned>(objects->count()) : 0u);
  setStatus(status);
  record_.objects = objects ? Ref<MRKCList>(objects) : nullptr;
  record_.overlay->redraw();
}
