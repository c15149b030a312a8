#include "app/ctm/VSKCGistSurface.h"

#include <new>

Ref<VSKCGistSurface> VSKCGistSurface::surface() {
  try {
    Ref<VSKCGistSurface> made = makeRef<VSKCGistSurface>();
    return made->made() ? made : nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void VSKCGistSurface::onRenderWithStepAndRect(float, const OGLTRect&) {
  VSKTDrawingContext record{};
  if (!expr() || !tree() || !drawingRecord(&record)) return;
  const float fadeBy = fade();
  OGLF2DStatePush(record.context);
  if (!string().empty()) OGLF2DPathFillColorWithTint(record.context, &record.theme->textColor, fadeBy);
  drawContent(record, fadeBy);
  OGLF2DStatePull(record.context);
}
