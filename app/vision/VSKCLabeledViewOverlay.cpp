#include "app/vision/VSKCLabeledViewOverlay.h"

#include <cstring>
#include <vector>

#include "app/vision/VSKFVisionView.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKFTerms.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"

namespace {
constexpr OGLTColor kColorFuschia = {1, 0, 1, 1};
constexpr int kCentred = kOGLAlignCenter | kOGLAlignMiddle;
// A label without a colour of its own: a detection is never left undrawn.
constexpr OGLTColor kFallbackColour = {0.5f, 0.5f, 0.5f, 0.6f};
}  // namespace

Ref<VSKCLabeledViewOverlay> VSKCLabeledViewOverlay::widgetWithSize(OGLTSize size, OGLTPoint position,
                                                                   const VSKPLabeledViewOverlaySource& source) {
  return makeRef<VSKCLabeledViewOverlay>(size, position, source);
}

void VSKCLabeledViewOverlay::onColoursChanged() {
  uncoloured_.clear();
  redraw();
}

void VSKCLabeledViewOverlay::onRenderWithStep(float) {
  QELBWindow* owner = window();
  OGLC2DContext* context = owner ? owner->context() : nullptr;
  const QELTWindowTweaks* tweaks = owner ? owner->tweaks() : nullptr;
  const MRKCList* objects = source_.objects();
  if (!context || !tweaks || !visible() || !objects || objects->count() == 0) return;
  OGLF2DStatePush(context);
  const OGLTPoint origin = VSKFVisionViewPictureOrigin(source_.picture());
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
    auto found = source_.colours().find(name->value());
    const bool coloured = found != source_.colours().end();
    if (!coloured && uncoloured_.insert(name->value()).second)
      LLKFLog("%s : no color for %s in colors.json, drawn in grey", source_.viewName().c_str(), name->value().c_str());
    const OGLTColor& colour = coloured ? found->second : kFallbackColour;
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
    OGLF2DPathFillColor(context, &colour);
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
