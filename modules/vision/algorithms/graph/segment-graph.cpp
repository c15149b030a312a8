#include "modules/vision/algorithms/graph/segment-graph.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace graphseg {

namespace {

// An unsigned key that orders like the float (−0 and +0 alike).
uint32_t sortKey(float w) {
  const uint32_t bits = w == 0.0f ? 0u : std::bit_cast<uint32_t>(w);
  return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

float threshold(int size, float c) { return c / float(size); }

}  // namespace

// Least-significant-digit radix sort in three passes of 11 bits: stable, and linear in the
// number of edges. A pass in which every key has the same digit moves nothing and is skipped
// (weights from the fast square root have no low mantissa bits, so their first pass goes).
void sort_edges(edge* edges, int num_edges) {
  if (num_edges < 2) return;
  constexpr int kBits = 11;
  constexpr int kPasses = 3;
  constexpr uint32_t kBuckets = 1u << kBits;
  const size_t count = size_t(num_edges);
  auto digit = [](const edge& e, int pass) { return (sortKey(e.w) >> (pass * kBits)) & (kBuckets - 1); };
  std::vector<std::array<uint32_t, kBuckets>> histograms(kPasses);
  for (size_t i = 0; i < count; ++i)
    for (int pass = 0; pass < kPasses; ++pass) histograms[size_t(pass)][digit(edges[i], pass)]++;

  // Every slot of the scratch array is written before it is read, so nothing is zero-filled.
  std::unique_ptr<edge[]> scratch;
  edge* from = edges;
  edge* to = nullptr;
  for (int pass = 0; pass < kPasses; ++pass) {
    std::array<uint32_t, kBuckets>& start = histograms[size_t(pass)];
    if (start[digit(edges[0], pass)] == count) continue;
    if (!to) {
      scratch = std::make_unique_for_overwrite<edge[]>(count);
      to = scratch.get();
    }
    uint32_t sum = 0;
    for (uint32_t& bucket : start) sum += std::exchange(bucket, sum);
    for (size_t i = 0; i < count; ++i) to[start[digit(from[i], pass)]++] = from[i];
    std::swap(from, to);
  }
  if (from != edges) std::copy(from, from + count, edges);
}

bool segment_graph(universe& u, int num_vertices, int num_edges, edge* edges, float c) {
  if (num_vertices < 0 || num_edges < 0 || (num_edges > 0 && !edges)) return false;
  for (int i = 0; i < num_edges; ++i)
    if (edges[i].a < 0 || edges[i].a >= num_vertices || edges[i].b < 0 || edges[i].b >= num_vertices) return false;
  std::vector<float> thresholds(static_cast<size_t>(num_vertices), threshold(1, c));
  sort_edges(edges, num_edges);
  u.reuse(num_vertices);
  for (int i = 0; i < num_edges; ++i) {
    prefetch_ahead(u, edges, i, num_edges);
    const edge& e = edges[i];
    int a = u.find(e.a);
    const int b = u.find(e.b);
    if (a != b && e.w <= thresholds[size_t(a)] && e.w <= thresholds[size_t(b)]) {
      u.join(a, b);
      a = u.find(a);
      thresholds[size_t(a)] = e.w + threshold(u.size(a), c);
    }
  }
  return true;
}

}  // namespace graphseg
