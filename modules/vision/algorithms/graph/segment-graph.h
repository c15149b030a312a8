#pragma once
// Felzenszwalb-Huttenlocher graph segmentation: regions merge along edges of increasing weight
// while the edge is no heavier than each region's internal difference plus c / size.
#include "modules/vision/algorithms/graph/disjoint-set.h"

struct edge {
  float w;
  int a, b;
};

inline bool operator<(const edge& a, const edge& b) { return a.w < b.w; }

// Sorts the edges by weight (stable: equal weights keep their order, so results never depend on
// the sort) and segments num_vertices vertices into u. False, with u untouched, for negative
// counts or an edge whose ends are not vertices.
bool segment_graph(universe& u, int num_vertices, int num_edges, edge* edges, float c);

// Sorts edges by weight, keeping the order of equal weights.
void sort_edges(edge* edges, int num_edges);
