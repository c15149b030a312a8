#include "modules/vision/algorithms/graph/disjoint-set.h"

namespace graphseg {

void universe::join(int x, int y) {
  uni_elt& a = elts[size_t(x)];
  uni_elt& b = elts[size_t(y)];
  if (a.rank > b.rank) {
    b.p = x;
    a.size += b.size;
  } else {
    a.p = y;
    b.size += a.size;
    if (a.rank == b.rank) b.rank++;
  }
  num--;
}

void universe::reuse(int n) {
  if (n < 0) n = 0;
  if (capacity() < n) elts = std::vector<uni_elt>(size_t(n));
  for (int i = 0; i < n; ++i) elts[size_t(i)] = {0, i, 1};
  num = n;
}

}  // namespace graphseg
