// The scanline fill behind VSKFPolygonFillRows. Each row keeps only the edges that reach it (an
// active-edge table over the edges sorted by their upper end). Of one edge, the point test turns
// the pixels of a row over from the left up to where the edge crosses the row and no further, so
// each crossing edge gives one threshold found next to its crossing, and the row's pixels inside
// are those left of an odd number of thresholds; the few pixels the test calls boundary (next to
// a vertex, on a horizontal edge, exactly on an edge) are filled where they lie. A row costs its
// crossing edges and its filled pixels, never pixels times edges.
#include "imagekit/VSKFPolygon.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/core/NRKFPolygonTestPoint.h"

namespace {

// How far above or below a row an edge may end and still take part in its point tests (more than
// the test's boundary tolerance of 0.1).
constexpr float kRowReach = 0.25f;
constexpr float kTolerance = 0.1f;

struct Edge {
  NRKTPoint from, to;
  float top, bottom;
};

enum class Verdict { turns, boundary, none };

Verdict verdictOf(const Edge& edge, int64_t x, float py) {
  int inside = 0;
  if (NRKFPolygonTestEdge(edge.from.x, edge.from.y, edge.to.x, edge.to.y, float(x), py, inside) < 0)
    return Verdict::boundary;
  return inside ? Verdict::turns : Verdict::none;
}

int64_t clamped(double value, int64_t low, int64_t high) {
  if (!(value >= double(low))) return low;
  if (value >= double(high)) return high;
  return int64_t(value);
}

class RowFill {
public:
  RowFill(int64_t left, int64_t right, uint32_t y, const VSKTFillRun& fill)
      : left_(left), right_(right), y_(y), py_(float(y)), fill_(fill) {}

  void run(int64_t from, int64_t to) {
    from = std::max(from, left_);
    to = std::min(to, right_);
    if (from <= to) fill_(y_, uint32_t(from), uint32_t(to));
  }

  // The pixels the edge puts on the boundary of this row away from its crossing: next to its end
  // vertex, and along it when it lies on the row.
  void boundaryOf(const Edge& edge) {
    const NRKTPoint& c = edge.from;
    const NRKTPoint& n = edge.to;
    if (!(std::fabs(n.y - py_) < kTolerance)) return;
    const int64_t vertex = clamped(std::nearbyint(double(n.x)), left_ - 1, right_ + 1);
    if (verdictOf(edge, vertex, py_) == Verdict::boundary) run(vertex, vertex);
    if (!(std::fabs(c.y - py_) < kTolerance)) return;
    // Between its ends: strictly when it runs right, ends included when it runs left.
    if (c.x < n.x) run(clamped(std::floor(double(c.x)) + 1, left_ - 1, right_ + 1),
                       clamped(std::ceil(double(n.x)) - 1, left_ - 1, right_ + 1));
    else run(clamped(std::ceil(double(n.x)), left_ - 1, right_ + 1),
             clamped(std::floor(double(c.x)), left_ - 1, right_ + 1));
  }

  // For an edge that crosses the row: the first pixel from which on it turns no pixel over,
  // searched from the crossing; boundary pixels met on the way are filled.
  int64_t thresholdOf(const Edge& edge) {
    const NRKTPoint& c = edge.from;
    const NRKTPoint& n = edge.to;
    const double crossing = double(c.x) + (double(py_) - c.y) * (double(n.x) - c.x) / (double(n.y) - c.y);
    int64_t at = clamped(std::ceil(crossing), left_, right_ + 1);
    for (; at > left_; --at) {
      const Verdict verdict = verdictOf(edge, at - 1, py_);
      if (verdict == Verdict::turns) break;
      if (verdict == Verdict::boundary) run(at - 1, at - 1);
    }
    for (; at <= right_; ++at) {
      const Verdict verdict = verdictOf(edge, at, py_);
      if (verdict == Verdict::none) break;
      if (verdict == Verdict::boundary) run(at, at);
    }
    return at;
  }

  // Pixels left of an odd number of thresholds are inside.
  void inside(std::vector<int64_t>& thresholds) {
    std::sort(thresholds.begin(), thresholds.end());
    int64_t from = left_;
    for (size_t i = 0; i < thresholds.size(); ++i) {
      if ((thresholds.size() - i) % 2 == 1) run(from, thresholds[i] - 1);
      from = thresholds[i];
    }
  }

  float py() const { return py_; }

private:
  int64_t left_, right_;
  uint32_t y_;
  float py_;
  const VSKTFillRun& fill_;
};

}  // namespace

void VSKFPolygonFillRows(const NRKTPoint* points, size_t count, uint32_t left, uint32_t top, uint32_t right,
                         uint32_t bottom, const VSKTFillRun& fill) {
  if (!points || count == 0 || left > right || top > bottom) return;
  std::vector<Edge> edges;
  edges.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const NRKTPoint& from = points[i];
    const NRKTPoint& to = points[i + 1 == count ? 0 : i + 1];
    if (std::isfinite(from.x) && std::isfinite(from.y) && std::isfinite(to.x) && std::isfinite(to.y))
      edges.push_back({from, to, std::min(from.y, to.y), std::max(from.y, to.y)});
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.top < b.top; });
  std::vector<const Edge*> active;
  std::vector<int64_t> thresholds;
  size_t next = 0;
  for (uint64_t y = top; y <= bottom; ++y) {
    RowFill row(left, right, uint32_t(y), fill);
    const float py = row.py();
    for (; next < edges.size() && edges[next].top <= py + kRowReach; ++next) active.push_back(&edges[next]);
    std::erase_if(active, [py](const Edge* edge) { return edge->bottom < py - kRowReach; });
    if (active.empty() && next == edges.size()) break;
    thresholds.clear();
    for (const Edge* edge : active) {
      row.boundaryOf(*edge);
      if ((edge->from.y < py) != (edge->to.y < py)) thresholds.push_back(row.thresholdOf(*edge));
    }
    row.inside(thresholds);
  }
}
