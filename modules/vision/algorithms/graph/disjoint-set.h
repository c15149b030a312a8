#pragma once
// A disjoint-set forest with union by rank and the size of every set.
#include <cstddef>
#include <vector>

struct uni_elt {
  int rank;
  int p;     // parent
  int size;
};

class universe {
public:
  // n singleton sets (std::bad_alloc when memory runs out).
  explicit universe(int n) { reuse(n); }

  // The root of x's set; x is re-linked straight to it.
  int find(int x) {
    int root = x;
    while (root != elts[size_t(root)].p) root = elts[size_t(root)].p;
    elts[size_t(x)].p = root;
    return root;
  }
  // Unites the sets of the roots x and y.
  void join(int x, int y);
  int size(int x) const { return elts[size_t(x)].size; }
  int num_sets() const { return num; }
  int capacity() const { return int(elts.size()); }
  // Starts again from n singleton sets, growing the storage only when it is too small.
  void reuse(int n);

private:
  std::vector<uni_elt> elts;
  int num = 0;
};
