#include "modules/vision/algorithms/graph/segment-graph.h"

#include <array>
#include <bit>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace {

// An unsigned key that orders like the float (−0 and +0 alike).
uint32_t sortKey(float w) {
  const uint32_t bits = w == 0.0f ? 0u : std::bit_cast<uint32_t>(w);
  return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

float threshold(int size, float c) { return c / float(size); }

}  // namespace

// Least-significant-digit radix sort in three passes of 11 bits: stable, and linear in the
// number of edges.
void sort_edges(edge* edges, int num_edges) {
  if (num_edges < 2) return;
  constexpr int kBits = 11;
  constexpr uint32_t kBuckets = 1u << kBits;
  const size_t count = size_t(num_edges);
  std::vector<uint32_t> keys(count), keysOut(count);
  std::vector<edge> scratch(count);
  for (size_t i = 0; i < count; ++i) keys[i] = sortKey(edges[i].w);

  edge* from = edges;
  edge* to = scratch.data();
  for (int shift = 0; shift < 32; shift += kBits) {
    std::array<size_t, kBuckets + 1> start{};
    for (size_t i = 0; i < count; ++i) start[((keys[i] >> shift) & (kBuckets - 1)) + 1]++;
    for (uint32_t b = 0; b < kBuckets; ++b) start[b + 1] += start[b];
    for (size_t i = 0; i < count; ++i) {
      const size_t slot = start[(keys[i] >> shift) & (kBuckets - 1)]++;
      to[slot] = from[i];
      keysOut[slot] = keys[i];
    }
    std::swap(from, to);
    keys.swap(keysOut);
  }
  if (from != edges) std::copy(from, from + count, edges);
}

bool segment_graph(universe& u, int num_vertices, int num_edges, edge* edges, float c) {
  if (num_vertices < 0 || num_edges < 0 || (num_edges > 0 && !edges)) return false;
  for (int i = 0; i < num_edges; ++i)
    if (edges[i].a < 0 || edges[i].a >= num_vertices || edges[i].b < 0 ||
        edges[i].b >= num_vertices)
      return false;
  try {
    std::vector<float> thresholds(static_cast<size_t>(num_vertices), threshold(1, c));
    sort_edges(edges, num_edges);
    u.reuse(num_vertices);
    for (int i = 0; i < num_edges; ++i) {
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
  } catch (const std::bad_alloc&) {
    return false;
  }
}
