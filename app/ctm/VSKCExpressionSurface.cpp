#include "app/ctm/VSKCExpressionSurface.h"

#include <algorithm>
#include <new>

#include "ui/widgets/QELBWindow.h"

namespace {

constexpr float kGap = 8, kLevelGap = 16;
constexpr float kCaptionWrap = 0.8f;

float width(const OGLTRect& r) { return r.right - r.left; }
float height(const OGLTRect& r) { return r.bottom - r.top; }

// The caption keeps its size whatever the zoom.
VSKTDrawingContext unscaled(const VSKTDrawingContext& record) {
  VSKTDrawingContext copy = record;
  copy.scale = 1;
  return copy;
}

}  // namespace

Ref<VSKCExpressionSurface> VSKCExpressionSurface::surface() { return makeRef<VSKCExpressionSurface>(); }

VSKCExpressionSurface::~VSKCExpressionSurface() { freeTree(); }

void VSKCExpressionSurface::freeTree() {
  VSKFExpressionNodeFree(iTree);
  iTree = nullptr;
}

void VSKCExpressionSurface::setExpr(Ref<MRKBTerm> expr) {
  freeTree();
  iExpr = std::move(expr);
  iChanged = true;
  redraw();
}

void VSKCExpressionSurface::setScale(float scale) {
  freeTree();
  iScale = scale;
  iChanged = true;
  redraw();
}

bool VSKCExpressionSurface::drawingRecord(VSKTDrawingContext* record) {
  QELBWindow* owner = window();
  OGLC2DContext* context = owner ? owner->context() : nullptr;
  const QELTWindowTweaks* theme = owner ? owner->tweaks() : nullptr;
  if (!context || !theme) return false;
  *record = {context, theme, iScale, kGap, kLevelGap};
  return true;
}

void VSKCExpressionSurface::setCaptionFont(const VSKTDrawingContext& record) const {
  const VSKTDrawingContext caption = unscaled(record);
  VSKFSetFont(&caption, kVSKTextFont);
}

void VSKCExpressionSurface::onUpdateWithStep(float) {
  VSKTDrawingContext record{};
  if (!iExpr || iTree || !drawingRecord(&record)) return;
  iTree = VSKFExpressionNodeBuild(&record, nullptr, iExpr.get());
  if (!iTree) return;
  iSRect = {};
  if (!iString.empty()) {
    const VSKTDrawingContext caption = unscaled(record);
    iSRect = VSKFGetBoundsForStringWithLimit(&caption, kVSKTextFont, iString, kCaptionWrap * size().w);
  }
  fitContent();
}

void VSKCExpressionSurface::fitContent() {
  if (!iTree) return;
  const OGLTSize shown = size();
  const float treeWidth = width(iTree->box), treeHeight = height(iTree->box);
  setContent({std::max({treeWidth, shown.w, width(iSRect)}), std::max(treeHeight + height(iSRect), shown.h)});
  iChanged = true;
}

void VSKCExpressionSurface::onRenderWithStepAndRect(float, const OGLTRect& visible) {
  VSKTDrawingContext record{};
  if (!iExpr || !iTree || !drawingRecord(&record)) return;
  drawContent(record, visible, fade());
}

void VSKCExpressionSurface::drawContent(const VSKTDrawingContext& record, const OGLTRect& visible, float fadeBy) {
  const OGLTSize area = content();
  const float cx = area.w / 2, cy = area.h / 2;
  if (!iString.empty()) {
    setCaptionFont(record);
    OGLF2DTextDrawWithWidth(record.context, iString.c_str(), cx - width(iSRect) / 2, height(iSRect) / 2,
                            kCaptionWrap * size().w);
  }
  const OGLTPoint origin{cx - width(iTree->box) / 2, cy + iSRect.bottom - height(iTree->box) / 2};
  VSKFExpressionNodeDrawVisible(&record, iTree, origin, fadeBy, visible);
}
