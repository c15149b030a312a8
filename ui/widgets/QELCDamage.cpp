#include "ui/widgets/QELCDamage.h"

#include <algorithm>
#include <cmath>

void QELCDamage::add(const OGLTRect& rect) {
  bool finite =
      std::isfinite(rect.left) && std::isfinite(rect.top) && std::isfinite(rect.right) && std::isfinite(rect.bottom);
  if (!finite || !(rect.right > rect.left) || !(rect.bottom > rect.top)) return;
  if (empty_) {
    area_ = rect;
    empty_ = false;
    return;
  }
  area_ = {std::min(area_.left, rect.left), std::min(area_.top, rect.top), std::max(area_.right, rect.right),
           std::max(area_.bottom, rect.bottom)};
}
