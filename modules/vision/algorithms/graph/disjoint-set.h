#pragma once
// A disjoint-set forest with union by rank and the size of every set.
#include <cstddef>
#include <utility>
#include <vector>

namespace graphseg {

struct uni_elt {
  int rank;
  int p;  // parent
  int size;
};

class universe {
public:
  // n singleton sets (std::bad_alloc when memory runs out).
  explicit universe(int n) { reuse(n); }

  // The root of x's set. Every element on the way is re-linked straight to it, which keeps later
  // walks short; roots, and so every partition, depend only on the joins.
  int find(int x) {
    int root = x;
    while (root != elts[size_t(root)].p) root = elts[size_t(root)].p;
    while (x != root) x = std::exchange(elts[size_t(x)].p, root);
    return root;
  }
  // Unites the sets of the roots x and y.
  void join(int x, int y);
  int size(int x) const { return elts[size_t(x)].size; }
  // Asks the processor to start loading x's element (a hint; x need not be valid). Walks over
  // edges in weight order touch scattered vertices, so they ask this many edges ahead.
  void prefetch(int x) const { __builtin_prefetch(elts.data() + x); }
  static constexpr int prefetch_ahead = 16;
  int num_sets() const { return num; }
  int capacity() const { return int(elts.size()); }
  // Starts again from n singleton sets, growing the storage only when it is too small.
  void reuse(int n);

private:
  std::vector<uni_elt> elts;
  int num = 0;
};

}  // namespace graphseg
