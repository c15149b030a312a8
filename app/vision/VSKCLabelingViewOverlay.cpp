#include "app/vision/VSKCLabelingViewOverlay.h"

#include "app/vision/VSKFVisionView.h"
#include "imagekit/VSKFPolygon.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"

namespace {
constexpr OGLTColor kGreen = {0, 1, 0, 0.5f};
constexpr OGLTColor kBlue = {0, 0, 1, 0.5f};
constexpr OGLTColor kRed = {1, 0, 0, 1};

void fill(OGLC2DContext* context, const VSKTSuperpixel& record, const OGLTColor& colour) {
  if (record.points.empty()) return;
  OGLF2DPathBegin(context);
  OGLF2DPathPolyline(context, &record.points[0].x, static_cast<int>(record.pointCount()), false);
  OGLF2DPathFillColor(context, &colour);
  OGLF2DPathFill(context);
}

bool under(const VSKTSuperpixel& record, const OGLTPoint* hover) {
  if (!hover) return false;
  const NRKTPoint p = {hover->x, hover->y};
  return p.x >= record.bbox[0] && p.x <= record.bbox[2] && p.y >= record.bbox[1] && p.y <= record.bbox[3] &&
         VSKFPolygonTestPoint(record.points.data(), record.pointCount(), p);
}
}  // namespace

Ref<VSKCLabelingViewOverlay> VSKCLabelingViewOverlay::widgetWithSize(OGLTSize size, OGLTPoint position,
                                                                     const VSKPLabelingViewOverlaySource& source) {
  return makeRef<VSKCLabelingViewOverlay>(size, position, source);
}

bool VSKCLabelingViewOverlay::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (key.action == kOGLActionPress && (key.key == kOGLKeyLeftAlt || key.key == kOGLKeyRightAlt)) {
    altPressed_ = true;
    redraw();
    return true;
  }
  if (altPressed_ && key.action == kOGLActionRelease) {
    altPressed_ = false;
    redraw();
    return true;
  }
  return false;
}

void VSKCLabelingViewOverlay::onRenderWithStep(float) {
  QELBWindow* owner = window();
  OGLC2DContext* context = owner ? owner->context() : nullptr;
  const VSKCImageSample* sample = source_.shownSample();
  if (!sample || !context || !owner->tweaks() || !visible()) return;
  // The picture box centres the image: the overlay draws and hovers in the image's pixels.
  const OGLTPoint origin = VSKFVisionViewPictureOrigin(source_.picture());
  OGLTPoint hoverPoint;
  const OGLTPoint* hover = nullptr;
  for (uint32_t i = 0; i < inputs().count && i < kQELInputSlots; ++i) {
    if (inputs().records[i].type != kOGLInputCursor) continue;
    hoverPoint = {inputs().records[i].cursor.point.x - origin.x, inputs().records[i].cursor.point.y - origin.y};
    hover = &hoverPoint;
    break;
  }
  const uint32_t object = source_.selectedObject();
  const uint32_t bit = object >= 1 && object <= kVSKObjectSlots ? 1u << (object - 1) : 0u;
  const bool labelled = bit && sample->objects()[object - 1] != 0;
  OGLF2DStatePush(context);
  OGLF2DTranslate(context, origin.x, origin.y);
  for (const VSKTSuperpixel& record : sample->superpixels()) {
    if (record.id == kVSKEmptySuperpixel) continue;
    if (altPressed_) {
      if (record.mask) fill(context, record, kGreen);
    } else if (record.mask & bit) {
      if (labelled) fill(context, record, kGreen);
    } else if (under(record, hover)) {
      fill(context, record, kBlue);
    }
  }
  const LLKCObjectDeque* contours = source_.contours();
  if (contours && !contours->isEmpty()) {
    OGLF2DPathBegin(context);
    for (const Ref<LLKBObject>& entry : *contours) {
      Ref<NRKCPolygon> polygon = refCast<NRKCPolygon>(entry);
      if (polygon && polygon->length() > 0)
        OGLF2DPathPolyline(context, &polygon->points()[0].x, static_cast<int>(polygon->length()), false);
    }
    OGLF2DPathStrokeColor(context, &kRed);
    OGLF2DPathStroke(context);
  }
  OGLF2DStatePull(context);
}
