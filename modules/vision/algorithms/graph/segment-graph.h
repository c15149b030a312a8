#pragma once
// Felzenszwalb-Huttenlocher graph segmentation: regions merge along edges of increasing weight
// while the edge is no heavier than each region's internal difference plus c / size.
#include "modules/vision/algorithms/graph/disjoint-set.h"

namespace graphseg {

struct edge {
  float w;
  int a, b;
};

inline bool operator<(const edge& a, const edge& b) { return a.w < b.w; }

// Starts loading the ends of the edge a walk over sorted edges reaches a little later.
inline void prefetch_ahead(const universe& u, const edge* edges, int i, int num_edges) {
  if (i + universe::prefetch_ahead >= num_edges) return;
  u.prefetch(edges[i + universe::prefetch_ahead].a);
  u.prefetch(edges[i + universe::prefetch_ahead].b);
}

// Sorts the edges by weight (stable: equal weights keep their order, so results never depend on
// the sort) and segments num_vertices vertices into u. False, with u untouched, for negative
// counts or an edge whose ends are not vertices.
bool segment_graph(universe& u, int num_vertices, int num_edges, edge* edges, float c);

// Sorts edges by weight, keeping the order of equal weights.
void sort_edges(edge* edges, int num_edges);

}  // namespace graphseg
