#include "app/vision/VSKCLabeledView.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/base/VSKFPaths.h"
#include "app/vision/VSKCFileOperations.h"
#include "app/vision/VSKFVisionView.h"
#include "framework/core/LLKCObjectTuple.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageFormat.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBApplication.h"
#include "ui/widgets/QELBWindow.h"

namespace {
enum : uint64_t {
  kColoursLoaded = 0x100001000,
  kSquibArrived = 0x10000C000,
};
constexpr OGLTColor kColorFuschia = {1, 0, 1, 1};
constexpr int kCentred = 0x12;
}  // namespace

VSKCLabeledView::VSKCLabeledView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config)
    : VSKBFeedView(size, position, std::move(config)) {}

Ref<VSKCLabeledView> VSKCLabeledView::viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                   std::string feed, uint32_t fov, Ref<JSKCFrame> config) {
  if (feed.empty()) return nullptr;
  Ref<VSKCLabeledView> view = makeRef<VSKCLabeledView>(size, position, std::move(config));
  private_t& record = view->record_;
  record.feed = std::move(feed);
  const auto side = static_cast<float>(fov);
  record.picture = QELCPicturebox::widgetWithSize({side, side}, {0, 0});
  record.overlay = VSKCLabeledViewOverlay::widgetWithSize({side, side}, {0, 0}, &record);
  record.observer = VSKFVisionViewObserver(alias);
  if (!record.picture || !record.overlay || !record.observer) return nullptr;
  if (!view->attach(record.picture) || !view->attach(record.overlay)) return nullptr;
  view->setAlias(std::move(alias));
  return view;
}

void VSKCLabeledView::onAttachedIntoWindow() {
  Ref<VSKCOperationJSONLoad> load = VSKCOperationJSONLoad::operationWithFilePaths({VSKFResourcePath("colors.json")});
  ZRVBView::onAttachedIntoWindow();
  follow(kSquibArrived, 0, {record_.feed});
  resizeWithWindow(window());
  QELBApplication* application = QELBApplication::shared();
  if (!load || !application || !application->scheduler()) {
    LLKFLog("%s : failed to load colors", alias().c_str());
    return;
  }
  load->setTarget(Ref<QELBWidget>(this));
  load->setOnComplete(LLKCMessage::messageWithCode(kColoursLoaded));
  if (!application->scheduler()->submit(load)) LLKFLog("%s : failed to load colors", alias().c_str());
}

void VSKCLabeledView::onToggleMenu() { VSKFVisionViewToggleMenu(this, false); }

void VSKCLabeledView::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message || VSKFVisionViewMenuMessaged(this, *message)) return;
  if (message->codeValue() == kSquibArrived) return onSquib(*message);
  if (message->codeValue() == kColoursLoaded) return onColoursLoaded(*message);
}

void VSKCLabeledView::onColoursLoaded(const LLKCMessage& message) {
  Ref<LLKCObjectTuple> frames = message.payloadAs<LLKCObjectTuple>();
  Ref<JSKCFrame> file = frames && frames->count() > 0 ? frames->fetchAtIndexAs<JSKCFrame>(0) : nullptr;
  if (!file) {
    LLKFLog("%s : failed to load colors", alias().c_str());
    return;
  }
  (void)VSKFLabelColoursRead(*file, &record_.colours);
  record_.uncoloured.clear();
  record_.overlay->redraw();
}

void VSKCLabeledView::onSquib(const LLKCMessage& message) {
  MRKCStatement* statement = VSKFVisionViewFirstStatement(message, nullptr);
  QAVTImageStatement image;
  if (!statement || statement->label() != record_.feed || QAVFImageStatementRead(statement, &image) != kQAVImageValid)
    return;
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

Ref<VSKCLabeledViewOverlay> VSKCLabeledViewOverlay::widgetWithSize(OGLTSize size, OGLTPoint position,
                                                                   VSKCLabeledView::private_t* record) {
  return makeRef<VSKCLabeledViewOverlay>(size, position, record);
}

void VSKCLabeledViewOverlay::onRenderWithStep(float) {
  QELBWindow* owner = window();
  OGLC2DContext* context = owner ? owner->context() : nullptr;
  const QELTWindowTweaks* tweaks = owner ? owner->tweaks() : nullptr;
  MRKCList* objects = record_->objects.get();
  if (!context || !tweaks || !visible() || !objects || objects->count() == 0) return;
  OGLF2DStatePush(context);
  const OGLTPoint origin = VSKFVisionViewPictureOrigin(*record_->picture);
  OGLF2DTranslate(context, origin.x, origin.y);
  OGLF2DTextFontSize(context, tweaks->largeFontSize * 0.8f);
  OGLF2DTextFontFace(context, tweaks->largeFontFace);
  OGLF2DTextAlignment(context, kCentred);
  std::vector<float> points;
  for (size_t i = 0; i < objects->count(); ++i) {
    MRKCList* object = asList(objects->fetchAtIndex(i));
    MRKCSymbol* name = object ? asSymbol(object->fetchAtIndex(1)) : nullptr;
    MRKCList* polygons = object ? asList(object->fetchAtIndex(2)) : nullptr;
    if (!name) continue;
    auto colour = record_->colours.find(name->value());
    if (colour == record_->colours.end()) {
      if (record_->uncoloured.insert(name->value()).second) LLKFLog("no color for %s", name->value().c_str());
      continue;
    }
    const size_t count = polygons ? polygons->count() : 0;
    // The mean of the polygons' centroids; a polygon without points counts as (0, 0).
    double x = 0, y = 0;
    OGLF2DPathBegin(context);
    for (size_t p = 0; p < count; ++p) {
      MRKCData* data = asData(polygons->fetchAtIndex(p));
      const size_t pairs = data ? data->bytes().size() / (2 * sizeof(float)) : 0;
      if (pairs == 0) continue;
      points.resize(pairs * 2);
      std::memcpy(points.data(), data->bytes().data(), pairs * 2 * sizeof(float));
      OGLF2DPathPolyline(context, points.data(), static_cast<int>(pairs), false);
      const OGLTPoint centre = VSKFComputeCentroid(points.data(), pairs);
      x += centre.x;
      y += centre.y;
    }
    OGLF2DPathFillColor(context, &colour->second);
    OGLF2DPathFill(context);
    OGLF2DPathStrokeColor(context, &kColorFuschia);
    OGLF2DPathStroke(context);
    const OGLTPoint at =
        count ? OGLTPoint{static_cast<float>(x / count), static_cast<float>(y / count)} : OGLTPoint{0, 0};
    OGLF2DPathFillColor(context, &kColorFuschia);
    OGLF2DTextDraw(context, name->value().c_str(), at.x, at.y);
  }
  OGLF2DStatePull(context);
}
