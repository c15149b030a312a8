#include "modules/vision/algorithms/graph/sqrt-and-colour.h"

#include <cstdlib>

namespace graphseg {

rgb random_rgb() {
  rgb c;
  c.r = static_cast<unsigned char>(std::rand());
  c.g = static_cast<unsigned char>(std::rand());
  c.b = static_cast<unsigned char>(std::rand());
  return c;
}

void build_fsqrt_table() {}

}  // namespace graphseg
