// Paths: built in device space as points are added, filled with each sub-path turned to its
// winding (solid or hole) under the non-zero rule, stroked with butt caps and miter joins.
#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLXform.h"

namespace {

constexpr float kPi = 3.14159265358979323846f;
constexpr float kKappa90 = 0.5522847493f;  // control length of a quarter circle of radius 1

}  // namespace

void OGLC2DContext::point(float x, float y, float& dx, float& dy) const { OGLFXformPoint(state().xform, x, y, dx, dy); }

void OGLC2DContext::beginPath() { path_.clear(); }

void OGLC2DContext::moveTo(float x, float y) {
  Subpath subpath{};
  point(x, y, subpath.x, subpath.y);
  path_.push_back(std::move(subpath));
}

void OGLC2DContext::lineTo(float x, float y) {
  if (path_.empty()) return;
  Segment segment{};
  point(x, y, segment.x, segment.y);
  path_.back().segments.push_back(segment);
}

void OGLC2DContext::bezierTo(float c1x, float c1y, float c2x, float c2y, float x, float y) {
  if (path_.empty()) return;
  Segment segment{};
  segment.curve = true;
  point(c1x, c1y, segment.c1x, segment.c1y);
  point(c2x, c2y, segment.c2x, segment.c2y);
  point(x, y, segment.x, segment.y);
  path_.back().segments.push_back(segment);
}

void OGLC2DContext::closePath() {
  if (!path_.empty()) path_.back().closed = true;
}

void OGLC2DContext::pathWinding(int dir) {
  if (!path_.empty()) path_.back().winding = dir;
}

void OGLC2DContext::rect(float x, float y, float w, float h) {
  moveTo(x, y);
  lineTo(x, y + h);
  lineTo(x + w, y + h);
  lineTo(x + w, y);
  closePath();
}

void OGLC2DContext::roundedRect(float x, float y, float w, float h, float radius) {
  if (!(radius >= 0.1f)) {
    rect(x, y, w, h);
    return;
  }
  float rx = std::min(radius, std::fabs(w) * 0.5f) * (w < 0 ? -1.0f : 1.0f);
  float ry = std::min(radius, std::fabs(h) * 0.5f) * (h < 0 ? -1.0f : 1.0f);
  float k = 1 - kKappa90;
  moveTo(x, y + ry);
  lineTo(x, y + h - ry);
  bezierTo(x, y + h - ry * k, x + rx * k, y + h, x + rx, y + h);
  lineTo(x + w - rx, y + h);
  bezierTo(x + w - rx * k, y + h, x + w, y + h - ry * k, x + w, y + h - ry);
  lineTo(x + w, y + ry);
  bezierTo(x + w, y + ry * k, x + w - rx * k, y, x + w - rx, y);
  lineTo(x + rx, y);
  bezierTo(x + rx * k, y, x, y + ry * k, x, y + ry);
  closePath();
}

void OGLC2DContext::ellipse(float cx, float cy, float rx, float ry) {
  float kx = rx * kKappa90, ky = ry * kKappa90;
  moveTo(cx - rx, cy);
  bezierTo(cx - rx, cy + ky, cx - kx, cy + ry, cx, cy + ry);
  bezierTo(cx + kx, cy + ry, cx + rx, cy + ky, cx + rx, cy);
  bezierTo(cx + rx, cy - ky, cx + kx, cy - ry, cx, cy - ry);
  bezierTo(cx - kx, cy - ry, cx - rx, cy - ky, cx - rx, cy);
  closePath();
}

// Angles grow clockwise on screen (y down); dir hole (2) sweeps that way, solid (1) the other.
// The arc continues the current sub-path with a line, or starts one.
void OGLC2DContext::arc(float cx, float cy, float r, float a0, float a1, int dir) {
  float sweep = a1 - a0;
  if (dir == kOGLWindingHole) {
    if (std::fabs(sweep) >= kPi * 2) sweep = kPi * 2;
    else
      while (sweep < 0) sweep += kPi * 2;
  } else {
    if (std::fabs(sweep) >= kPi * 2) sweep = -kPi * 2;
    else
      while (sweep > 0) sweep -= kPi * 2;
  }
  if (!std::isfinite(sweep)) return;
  int divisions = std::clamp(static_cast<int>(std::fabs(sweep) / (kPi * 0.5f) + 0.5f), 1, 5);
  float half = sweep / static_cast<float>(divisions) / 2;
  float kappa = std::fabs(4.0f / 3.0f * (1.0f - std::cos(half)) / std::sin(half));
  if (!std::isfinite(kappa)) kappa = 0;
  if (dir != kOGLWindingHole) kappa = -kappa;
  float px = 0, py = 0, ptx = 0, pty = 0;
  for (int i = 0; i <= divisions; ++i) {
    float a = a0 + sweep * (static_cast<float>(i) / static_cast<float>(divisions));
    float dx = std::cos(a), dy = std::sin(a);
    float x = cx + dx * r, y = cy + dy * r;
    float tx = -dy * r * kappa, ty = dx * r * kappa;
    if (i == 0) {
      if (path_.empty()) moveTo(x, y);
      else lineTo(x, y);
    } else {
      bezierTo(px + ptx, py + pty, x - tx, y - ty, x, y);
    }
    px = x;
    py = y;
    ptx = tx;
    pty = ty;
  }
}

// Twice the signed area of the sub-path's control polygon (shoelace); a solid sub-path is
// made positive, a hole negative.
template <typename Subpath>
static double signedArea(const Subpath& subpath) {
  double area = 0;
  float px = subpath.x, py = subpath.y;
  auto edgeTo = [&](float x, float y) {
    area += static_cast<double>(px) * y - static_cast<double>(x) * py;
    px = x;
    py = y;
  };
  for (const auto& s : subpath.segments) {
    if (s.curve) {
      edgeTo(s.c1x, s.c1y);
      edgeTo(s.c2x, s.c2y);
    }
    edgeTo(s.x, s.y);
  }
  edgeTo(subpath.x, subpath.y);
  return area;
}

void OGLC2DContext::emitPath(bool forFill) {
  cairo_new_path(layer().cairo);
  for (const Subpath& subpath : path_) {
    bool reverse = false;
    if (forFill) {
      double area = signedArea(subpath);
      reverse = (subpath.winding == kOGLWindingHole) ? area > 0 : area < 0;
    }
    if (!reverse) {
      cairo_move_to(layer().cairo, subpath.x, subpath.y);
      for (const Segment& s : subpath.segments) {
        if (s.curve) cairo_curve_to(layer().cairo, s.c1x, s.c1y, s.c2x, s.c2y, s.x, s.y);
        else cairo_line_to(layer().cairo, s.x, s.y);
      }
    } else {
      const auto& segments = subpath.segments;
      auto endOf = [&](size_t i, float& x, float& y) {
        if (i == 0) {
          x = subpath.x;
          y = subpath.y;
        } else {
          x = segments[i - 1].x;
          y = segments[i - 1].y;
        }
      };
      float x, y;
      endOf(segments.size(), x, y);
      cairo_move_to(layer().cairo, x, y);
      for (size_t i = segments.size(); i-- > 0;) {
        endOf(i, x, y);
        const Segment& s = segments[i];
        if (s.curve) cairo_curve_to(layer().cairo, s.c2x, s.c2y, s.c1x, s.c1y, x, y);
        else cairo_line_to(layer().cairo, x, y);
      }
    }
    if (subpath.closed || forFill) cairo_close_path(layer().cairo);
  }
}

void OGLC2DContext::fill() {
  if (path_.empty() || !applyScissor()) return;
  emitPath(true);
  cairo_set_fill_rule(layer().cairo, CAIRO_FILL_RULE_WINDING);
  double x0, y0, x1, y1;
  cairo_path_extents(layer().cairo, &x0, &y0, &x1, &y1);
  if (x1 <= x0 || y1 <= y0) return;
  startDrawing();
  if (applyPaint(state().fill)) {
    markDirtyRows(y0, y1);
    paintPath(true);
  }
  cairo_new_path(layer().cairo);
}

void OGLC2DContext::stroke() {
  if (path_.empty() || !applyScissor()) return;
  float width = state().strokeWidth * OGLFXformAverageScale(state().xform);
  if (!(width > 0) || !std::isfinite(width)) return;
  emitPath(false);
  cairo_set_line_width(layer().cairo, width);
  cairo_set_line_cap(layer().cairo, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(layer().cairo, CAIRO_LINE_JOIN_MITER);
  cairo_set_miter_limit(layer().cairo, 10);
  double x0, y0, x1, y1;
  cairo_path_extents(layer().cairo, &x0, &y0, &x1, &y1);
  // A miter reaches at most half the limit times the width beyond the path.
  double reach = width * 5.0;
  startDrawing();
  if (applyPaint(state().stroke)) {
    markDirtyRows(y0 - reach, y1 + reach);
    paintPath(false);
  }
  cairo_new_path(layer().cairo);
}

// Fills or strokes the emitted path with the source; a translucent texture goes through a
// group so that its alpha applies once.
void OGLC2DContext::paintPath(bool forFill) {
  if (sourceAlpha_ >= 1) {
    if (forFill) cairo_fill(layer().cairo);
    else cairo_stroke(layer().cairo);
    return;
  }
  cairo_pattern_t* source = cairo_pattern_reference(cairo_get_source(layer().cairo));
  cairo_push_group(layer().cairo);
  cairo_set_source(layer().cairo, source);
  if (forFill) cairo_fill(layer().cairo);
  else cairo_stroke(layer().cairo);
  cairo_pop_group_to_source(layer().cairo);
  cairo_paint_with_alpha(layer().cairo, sourceAlpha_);
  cairo_pattern_destroy(source);
}
