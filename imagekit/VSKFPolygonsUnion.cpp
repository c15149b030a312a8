// The union of outlines with Clipper: offsetting out by one unit and back in by one closes gaps
// narrower than about two units while the outer shape stays. The outlines are tamed first
// (VSKFOutlineTaming.h), so that no input makes Clipper's work grow out of bounds.
#include "imagekit/VSKFPolygon.h"

#include <clipper.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "imagekit/VSKFOutlineTaming.h"

namespace {

// Coordinates beyond this are refused: Clipper's range ends at 2^62, and the outlines go back to
// floats and to the 32-bit points of resampling.
constexpr double kMaxCoordinate = 1 << 30;

bool toClipperPath(const NRKCPolygon& polygon, ClipperLib::Path& path) {
  path.reserve(polygon.length());
  for (uint32_t i = 0; i < polygon.length(); ++i) {
    const NRKTPoint point = polygon.points()[i];
    if (!(std::fabs(point.x) <= kMaxCoordinate && std::fabs(point.y) <= kMaxCoordinate)) return false;
    path.emplace_back(static_cast<ClipperLib::cInt>(std::round(point.x)),
                      static_cast<ClipperLib::cInt>(std::round(point.y)));
  }
  return true;
}

bool toClipperPaths(const LLKCObjectDeque& input, ClipperLib::Paths& paths) {
  paths.resize(input.count());
  for (size_t i = 0; i < input.count(); ++i) {
    const Ref<NRKCPolygon> polygon = input.fetchAtIndexAs<NRKCPolygon>(i);
    if (!polygon || !toClipperPath(*polygon, paths[i])) return false;
  }
  return true;
}

void offset(ClipperLib::Paths& paths, double delta) {
  ClipperLib::ClipperOffset offsetter(2.0, 0.25);
  offsetter.AddPaths(paths, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
  offsetter.Execute(paths, delta);
}

Ref<NRKCPolygon> closedOutline(const ClipperLib::Path& path) {
  Ref<NRKCPolygon> outline = NRKCPolygon::polygonWithLength(static_cast<uint32_t>(path.size() + 1));
  if (!outline) return nullptr;
  for (size_t i = 0; i < path.size(); ++i)
    outline->points()[i] = {static_cast<float>(path[i].X), static_cast<float>(path[i].Y)};
  outline->points()[path.size()] = outline->points()[0];
  return outline;
}

// What the taming did, in words; "" for nothing.
std::string noteOf(const VSKTOutlineTaming& taming) {
  char text[160] = "";
  if (taming.resampled)
    std::snprintf(text, sizeof text, "%zu outline%s of more than %zu points resampled to that many%s", taming.resampled,
                  taming.resampled == 1 ? "" : "s", kVSKOutlineMostPoints, taming.hulled ? ", " : "");
  if (taming.hulled) {
    const size_t used = std::strlen(text);
    std::snprintf(text + used, sizeof text - used, "%zu outline%s crossing %s taken as %s hull%s", taming.hulled,
                  taming.hulled == 1 ? "" : "s", taming.hulled == 1 ? "itself" : "themselves",
                  taming.hulled == 1 ? "its" : "their", taming.hulled == 1 ? "" : "s");
  }
  return text;
}

}  // namespace

bool VSKFPolygonsUnion(const LLKCObjectDeque* input, LLKCObjectDeque* output, std::string* note) {
  if (note) note->clear();
  if (!input || !output) return false;
  try {
    ClipperLib::Paths paths;
    if (!toClipperPaths(*input, paths)) return false;
    VSKTOutlineTaming taming;
    if (!VSKFOutlinesTame(paths, &taming, note)) return false;
    if (note) *note = noteOf(taming);
    offset(paths, 1.0);
    offset(paths, -1.0);
    ClipperLib::CleanPolygons(paths, 1.0);
    if (paths.empty()) return false;
    for (const ClipperLib::Path& path : paths) {
      if (path.empty() || ClipperLib::Area(path) <= 0) continue;
      Ref<NRKCPolygon> outline = closedOutline(path);
      if (!outline || output->append(outline) != 0) return false;
    }
    return true;
  } catch (...) {
    return false;
  }
}
