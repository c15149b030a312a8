#include "ui/widgets/QELBGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>

#include "framework/core/LLKFLog.h"
#include "ui/gl/OGLF2D.h"

namespace {

float finiteOrZero(float value) { return std::isfinite(value) ? value : 0; }

float clampTo(float value, float low, float high) { return std::max(low, std::min(value, high)); }

// a / b as a height fraction: 0 to 1, 0 when it is not a number.
float ratio(float a, float b) {
  float f = a / b;
  return std::isfinite(f) ? clampTo(f, 0, 1) : 0;
}

}  // namespace

float QELFGraphComputeAverage(const QELTGraphRecord* record) {
  if (!record) return 0;
  size_t count = record->full ? record->samples.size() : std::min<size_t>(record->position, record->samples.size());
  if (count == 0) return 0;
  double sum = 0;
  for (size_t i = 0; i < count; ++i) sum += record->samples[i];
  return static_cast<float>(sum / count);
}

void QELFGraphComputeRange(QELTGraphRecord* record) {
  if (!record) return;
  float low = std::numeric_limits<float>::max(), high = std::numeric_limits<float>::min();
  for (float s : record->samples) {
    if (!std::isfinite(s)) continue;
    low = std::min(low, s);
    high = std::max(high, s);
  }
  record->setup.min = low - 0.25f * low;
  record->setup.max = high + 0.25f * high;
}

Ref<QELCGraph> QELCGraph::widgetWithSize(OGLTSize size, OGLTPoint position, const QELTGraphSetup* setup,
                                         std::string label) {
  Ref<QELCGraph> graph = makeRef<QELCGraph>(size, position, setup, std::move(label));
  return graph->made() ? graph : nullptr;
}

QELBGraph::QELBGraph(OGLTSize size, OGLTPoint position, const QELTGraphSetup* setup, std::string label)
    : QELBControl(size, position) {
  record_.label = std::move(label);
  record_.setup = setup ? *setup : QELTGraphSetup{};
  try {
    record_.samples.assign(record_.setup.capacity, 0.0f);
  } catch (const std::bad_alloc&) {
    LLKFLog("QELBGraph : no room for %u samples", record_.setup.capacity);
  }
}

bool QELBGraph::made() const { return record_.samples.size() == record_.setup.capacity; }

void QELBGraph::sync(float s) {
  QELTGraphRecord& r = record_;
  if (r.samples.empty() || r.position >= r.samples.size()) return;
  r.last = s;
  redraw();
  r.samples[r.position++] = s;
  bool ranging = r.setup.dynamic && r.setup.kind > 2;
  if (r.position >= r.samples.size()) {
    r.position = 0;
    r.full = true;
    if (ranging) QELFGraphComputeRange(&r);
  } else if (ranging && std::isfinite(s)) {
    r.setup.max = std::max(r.setup.max, s);
    r.setup.min = std::min(r.setup.min, s);
  }
}

float QELBGraph::fraction(float s) const {
  const QELTGraphSetup& g = record_.setup;
  s = finiteOrZero(s);
  auto bounded = [&](float v) { return g.dynamic ? v : clampTo(v, g.min, g.max); };
  switch (g.kind) {
    case 0:
      return ratio(clampTo(1 / (s + 0.00001f), g.min, g.max) - g.min, g.max);
    case 1:
    case 3:
      return ratio(bounded(s), g.max);
    case 2:
      return clampTo(s, 0, 100) / 100;
    case 4:
      return ratio(bounded(s) - g.min, g.max - g.min);
    default:
      return 0;
  }
}

bool QELBGraph::valueTexts(char first[64], char second[64]) const {
  float v = record_.setup.mean ? QELFGraphComputeAverage(&record_) : record_.last;
  first[0] = second[0] = 0;
  switch (record_.setup.kind) {
    case 0:
      std::snprintf(first, 64, "%.2f FPS", 1 / v);
      std::snprintf(second, 64, "%.2f ms", v * 1000);
      return true;
    case 1:
      std::snprintf(first, 64, "%.2f ms", v * 1000);
      return true;
    case 2:
      std::snprintf(first, 64, "%.1f %%", v);
      return true;
    case 3:
      std::snprintf(first, 64, "%0.f", v);
      return true;
    case 4:
      if (record_.units.empty()) std::snprintf(first, 64, "%0.2f", v);
      else std::snprintf(first, 64, "%0.2f %s", v, record_.units.c_str());
      return true;
    default:
      return false;
  }
}

OGLTSize QELBGraph::preferredSizeWithWindow(QELBWindow* window) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return size();
  QELFControlStandardText(d.ctx, *d.tweaks);
  float b[4];
  float advance = record_.label.empty() ? 0 : OGLF2DTextBounds(d.ctx, record_.label.c_str(), b, 0, 0);
  float w0 = std::max(static_cast<float>(record_.setup.capacity), advance);
  float corners = 2 * d.tweaks->cornerRadius;
  return QELFControlRoundedSize({w0 + corners, w0 / 3 + corners});
}

void QELBGraph::drawArea(OGLC2DContext* ctx, float x0, float y0, float w, float h) {
  const std::vector<float>& samples = record_.samples;
  auto count = static_cast<uint32_t>(samples.size());
  // One sample spans the whole width; more are spread from the left edge to the right one.
  float step = count > 1 ? w / static_cast<float>(count - 1) : 0;
  auto top = [&](float f) { return y0 + h - f * h; };
  OGLF2DPathBegin(ctx);
  OGLF2DPathMoveTo(ctx, x0, y0 + h);
  const auto columns = static_cast<uint32_t>(std::max(1.0f, std::floor(w)));
  if (count > columns + 1) {
    // More samples than pixel columns: each column is drawn at the highest of the samples that
    // fall on it, so a spike stays in sight and the path has a point per column, not per sample.
    const float width = w / static_cast<float>(columns);
    int64_t column = -1;
    float highest = 0;
    for (uint32_t i = 0; i < count; ++i) {
      const float f = fraction(samples[(record_.position + i) % count]);
      const int64_t at = std::lround(static_cast<float>(i) * step / width);
      if (at == column) {
        highest = std::max(highest, f);
        continue;
      }
      if (column >= 0) OGLF2DPathLineTo(ctx, x0 + static_cast<float>(column) * width, top(highest));
      column = at;
      highest = f;
    }
    OGLF2DPathLineTo(ctx, x0 + static_cast<float>(column) * width, top(highest));
  } else {
    for (uint32_t i = 0; i < count; ++i) {
      const float y = top(fraction(samples[(record_.position + i) % count]));
      OGLF2DPathLineTo(ctx, x0 + static_cast<float>(i) * step, y);
      if (count == 1) OGLF2DPathLineTo(ctx, x0 + w, y);
    }
  }
  OGLF2DPathLineTo(ctx, x0 + w, y0 + h);
  QELFControlFill(ctx, record_.setup.colour, tint());
}

void QELBGraph::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  const QELTWindowTweaks& tw = *d.tweaks;
  // The bounds less the 1-pixel inset on the left and top, so nothing is drawn past them.
  float x0 = 1, y0 = 1, w = size().w - 1, h = size().h - 1;
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathRect(d.ctx, x0, y0, w, h);
  QELFControlFill(d.ctx, tw.panelColor, 0);
  bool any = record_.full || record_.position > 0;
  if (any && record_.setup.kind >= 0 && record_.setup.kind <= 4) drawArea(d.ctx, x0, y0, w, h);
  QELFControlStandardText(d.ctx, tw);
  if (!record_.label.empty())
    QELFControlDrawText(d.ctx, record_.label.c_str(), x0 + 3, y0 + 1, kOGLAlignLeft | kOGLAlignTop, tw.hoverColor,
                        tint());
  char first[64], second[64];
  if (!any || !valueTexts(first, second)) return;
  QELFControlDrawText(d.ctx, first, x0 + w - 3, y0 + 1, kOGLAlignRight | kOGLAlignTop, tw.hoverColor, tint());
  if (second[0])
    QELFControlDrawText(d.ctx, second, x0 + w - 3, y0 + h - 1, kOGLAlignRight | kOGLAlignBottom, tw.hoverColor, tint());
}
