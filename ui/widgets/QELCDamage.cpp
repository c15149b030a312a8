#include "ui/widgets/QELCDamage.h"

#include <cmath>

#include "ui/widgets/QELFGeometry.h"

void QELCDamage::add(const OGLTRect& rect) {
  bool finite =
      std::isfinite(rect.left) && std::isfinite(rect.top) && std::isfinite(rect.right) && std::isfinite(rect.bottom);
  if (!finite || !(rect.right > rect.left) || !(rect.bottom > rect.top)) return;
  if (empty_) {
    area_ = rect;
    empty_ = false;
    return;
  }
  area_ = QELFRectUnion(area_, rect);
}
