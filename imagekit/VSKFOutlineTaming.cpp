// Outlines checked, resampled or replaced by their hulls before Clipper unites them: see
// VSKFOutlineTaming.h for why and for the bounds.
#include "imagekit/VSKFOutlineTaming.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "imagekit/curves/CurveResampling.h"

namespace {

using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;

// Crossings allowed among all the outlines of one union: per edge, and a floor for small ones.
// Neighbouring superpixels' outlines, resampled each on its own, cross where they share a seam.
constexpr size_t kCrossingsPerEdge = 2, kCrossingsFloor = 1024;
// Edge pair tests and grid entries a crossing count may take, per edge and as a floor.
constexpr size_t kTestsPerEdge = 64, kTestsFloor = size_t(1) << 16;
// How many edges the horizontal lines through the vertices may meet in all, per edge and as a
// floor: Clipper's sweep walks the edges a line meets at every such line.
constexpr size_t kStackingPerEdge = 256, kStackingFloor = size_t(1) << 20;
// Below this many edges every pair is tested; above, only those that share a cell of a grid.
constexpr size_t kPairwiseEdges = 64;
constexpr size_t kMostGridSide = 1024;

struct Edge {
  double x0, y0, x1, y1;
};

double orientation(double ax, double ay, double bx, double by, double cx, double cy) {
  return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

int sign(double value) { return (value > 0) - (value < 0); }

// The edges cross at a point inside both (touching and overlapping are not crossing).
bool cross(const Edge& a, const Edge& b) {
  if (std::max(a.x0, a.x1) < std::min(b.x0, b.x1) || std::max(b.x0, b.x1) < std::min(a.x0, a.x1) ||
      std::max(a.y0, a.y1) < std::min(b.y0, b.y1) || std::max(b.y0, b.y1) < std::min(a.y0, a.y1))
    return false;
  return sign(orientation(a.x0, a.y0, a.x1, a.y1, b.x0, b.y0)) * sign(orientation(a.x0, a.y0, a.x1, a.y1, b.x1, b.y1)) <
             0 &&
         sign(orientation(b.x0, b.y0, b.x1, b.y1, a.x0, a.y0)) * sign(orientation(b.x0, b.y0, b.x1, b.y1, a.x1, a.y1)) <
             0;
}

void appendEdges(const Path& path, std::vector<Edge>* edges) {
  for (size_t i = 0; i < path.size(); ++i) {
    const IntPoint& from = path[i];
    const IntPoint& to = path[i + 1 == path.size() ? 0 : i + 1];
    if (from == to) continue;
    edges->push_back({double(from.X), double(from.Y), double(to.X), double(to.Y)});
  }
}

std::vector<Edge> edgesOf(const Paths& paths) {
  std::vector<Edge> edges;
  for (const Path& path : paths) appendEdges(path, &edges);
  return edges;
}

size_t pairwiseCrossings(const std::vector<Edge>& edges, size_t limit) {
  size_t crossings = 0;
  for (size_t a = 0; a < edges.size(); ++a)
    for (size_t b = a + 1; b < edges.size(); ++b)
      if (cross(edges[a], edges[b]) && ++crossings > limit) return crossings;
  return crossings;
}

// The edges binned into the cells of a grid over their extent that their boxes cover: a pair is
// tested once, in the first cell both cover.
class EdgeGrid {
public:
  explicit EdgeGrid(const std::vector<Edge>& edges) : edges_(edges) {
    left_ = top_ = INFINITY;
    double right = -INFINITY, bottom = -INFINITY;
    for (const Edge& edge : edges) {
      left_ = std::min({left_, edge.x0, edge.x1});
      top_ = std::min({top_, edge.y0, edge.y1});
      right = std::max({right, edge.x0, edge.x1});
      bottom = std::max({bottom, edge.y0, edge.y1});
    }
    side_ = std::clamp<size_t>(size_t(std::sqrt(double(edges.size()))), 1, kMostGridSide);
    cellWidth_ = (right - left_) / double(side_) + 1.0;
    cellHeight_ = (bottom - top_) / double(side_) + 1.0;
  }

  // False when binning would take more than budget entries.
  bool bin(size_t budget) {
    starts_.assign(side_ * side_ + 1, 0);
    boxes_.clear();
    boxes_.reserve(edges_.size());
    size_t entries = 0;
    for (const Edge& edge : edges_) {
      const Box box = boxOf(edge);
      entries += (box.right - box.left + 1) * (box.bottom - box.top + 1);
      if (entries > budget) return false;
      forEachCell(box, [&](size_t cell) { ++starts_[cell + 1]; });
      boxes_.push_back(box);
    }
    for (size_t cell = 0; cell < side_ * side_; ++cell) starts_[cell + 1] += starts_[cell];
    members_.resize(entries);
    std::vector<size_t> filled(starts_.begin(), starts_.end() - 1);
    for (size_t e = 0; e < edges_.size(); ++e)
      forEachCell(boxes_[e], [&](size_t cell) { members_[filled[cell]++] = e; });
    return true;
  }

  size_t crossings(size_t limit, size_t budget) const {
    size_t crossings = 0, tests = 0;
    for (size_t cell = 0; cell < side_ * side_; ++cell) {
      const size_t row = cell / side_, column = cell % side_;
      for (size_t i = starts_[cell]; i < starts_[cell + 1]; ++i) {
        const Box& a = boxes_[members_[i]];
        for (size_t j = i + 1; j < starts_[cell + 1]; ++j) {
          if (++tests > budget) return limit + 1;
          const Box& b = boxes_[members_[j]];
          if (std::max(a.left, b.left) != column || std::max(a.top, b.top) != row) continue;
          if (cross(edges_[members_[i]], edges_[members_[j]]) && ++crossings > limit) return crossings;
        }
      }
    }
    return crossings;
  }

private:
  struct Box {
    size_t left, top, right, bottom;
  };
  size_t cellOf(double offset, double size) const { return std::min(side_ - 1, size_t(std::max(0.0, offset / size))); }
  Box boxOf(const Edge& edge) const {
    return {
        cellOf(std::min(edge.x0, edge.x1) - left_, cellWidth_), cellOf(std::min(edge.y0, edge.y1) - top_, cellHeight_),
        cellOf(std::max(edge.x0, edge.x1) - left_, cellWidth_), cellOf(std::max(edge.y0, edge.y1) - top_, cellHeight_)};
  }
  template <typename Visit>
  void forEachCell(const Box& box, Visit visit) const {
    for (size_t row = box.top; row <= box.bottom; ++row)
      for (size_t column = box.left; column <= box.right; ++column) visit(row * side_ + column);
  }

  const std::vector<Edge>& edges_;
  double left_, top_, cellWidth_, cellHeight_;
  size_t side_;
  std::vector<Box> boxes_;  // of each edge
  std::vector<size_t> starts_, members_;
};

// The edges met by all the horizontal lines through vertices, counted up to budget + 1.
size_t stacking(const std::vector<Edge>& edges, size_t budget) {
  std::vector<double> lines;
  lines.reserve(edges.size() * 2);
  for (const Edge& edge : edges) lines.insert(lines.end(), {edge.y0, edge.y1});
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  size_t met = 0;
  for (const Edge& edge : edges) {
    const auto first = std::lower_bound(lines.begin(), lines.end(), std::min(edge.y0, edge.y1));
    const auto last = std::upper_bound(first, lines.end(), std::max(edge.y0, edge.y1));
    met += size_t(last - first);
    if (met > budget) return met;
  }
  return met;
}

// Andrew's monotone chain, turning the way the outline does.
Path hullOf(const Path& path) {
  Path points = path;
  std::sort(points.begin(), points.end(),
            [](const IntPoint& a, const IntPoint& b) { return a.X < b.X || (a.X == b.X && a.Y < b.Y); });
  points.erase(std::unique(points.begin(), points.end()), points.end());
  if (points.size() < 3) return points;
  auto turn = [](const IntPoint& o, const IntPoint& a, const IntPoint& b) {
    return orientation(double(o.X), double(o.Y), double(a.X), double(a.Y), double(b.X), double(b.Y));
  };
  Path hull(points.size() * 2);
  size_t k = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    while (k >= 2 && turn(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  for (size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
    while (k >= lower && turn(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  hull.resize(k - 1);
  if ((ClipperLib::Area(path) < 0) != (ClipperLib::Area(hull) < 0)) std::reverse(hull.begin(), hull.end());
  return hull;
}

// The path without repeated neighbours, and without its closing copy of the first point.
void dropRepeats(Path& path) {
  path.erase(std::unique(path.begin(), path.end()), path.end());
  while (path.size() > 1 && path.back() == path.front()) path.pop_back();
}

void resampleTo(Path& path, size_t n) {
  std::vector<cv::Point> points;
  points.reserve(path.size() + 1);
  for (const IntPoint& point : path) points.emplace_back(int(point.X), int(point.Y));
  points.push_back(points.front());
  if (!Resample(points, int(n))) {
    path.resize(n);  // a curve it cannot take keeps its first n points: still bounded
    return;
  }
  path.clear();
  for (const cv::Point& point : points) path.emplace_back(point.x, point.y);
  dropRepeats(path);
}

size_t testBudget(size_t edges) { return kTestsPerEdge * edges + kTestsFloor; }

// The number of proper crossings among the edges, counted up to limit + 1; limit + 1 as well when
// telling would take more than budget edge pair tests or grid entries.
size_t crossingsAmong(const std::vector<Edge>& edges, size_t limit, size_t budget) {
  if (edges.size() <= kPairwiseEdges) return pairwiseCrossings(edges, limit);
  EdgeGrid grid(edges);
  if (!grid.bin(budget)) return limit + 1;
  return grid.crossings(limit, budget);
}

}  // namespace

bool VSKFOutlinesTame(Paths& paths, VSKTOutlineTaming* done, std::string* why) {
  VSKTOutlineTaming taming;
  size_t points = 0;
  std::vector<Edge> own;
  for (Path& path : paths) {
    dropRepeats(path);
    if (path.size() > kVSKOutlineMostPoints) {
      resampleTo(path, kVSKOutlineMostPoints);
      ++taming.resampled;
    }
    own.clear();
    appendEdges(path, &own);
    if (crossingsAmong(own, kVSKOutlineSelfCrossings, testBudget(path.size())) > kVSKOutlineSelfCrossings) {
      path = hullOf(path);
      ++taming.hulled;
    }
    points += path.size();
  }
  if (done) *done = taming;
  const std::vector<Edge> edges = edgesOf(paths);
  char text[160];
  if (const size_t budget = kStackingPerEdge * edges.size() + kStackingFloor; stacking(edges, budget) > budget) {
    std::snprintf(text, sizeof text, "%zu outlines of %zu points lie stacked on one another", paths.size(), points);
    if (why) *why = text;
    return false;
  }
  if (const size_t limit = kCrossingsPerEdge * edges.size() + kCrossingsFloor;
      crossingsAmong(edges, limit, testBudget(edges.size())) > limit) {
    std::snprintf(text, sizeof text, "%zu outlines of %zu points cross one another too often", paths.size(), points);
    if (why) *why = text;
    return false;
  }
  return true;
}
