#pragma once
// The labelling view's object outline, made in the background: the union of an object's
// superpixel outlines may take milliseconds on a large object, which the window's thread does not
// spend. The outlines are copied from the sample before the operation is submitted, so the work
// never reads the sample the cursor changes.
//
// Delivers a message with onComplete's code whose payload is the outline (an LLKCObjectDeque of
// 64-point polygons; none when the object has no outline) and, when the union resampled,
// simplified or refused outlines, the text saying so under "note" in its details.
#include "framework/core/LLKCObjectDeque.h"
#include "ui/widgets/QELBOperation.h"

class VSKCOperationOutline : public QELBOperation {
public:
  // Null without polygons.
  [[nodiscard]] static Ref<VSKCOperationOutline> operationWithPolygons(Ref<LLKCObjectDeque> polygons);
  void onExecute() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  explicit VSKCOperationOutline(Ref<LLKCObjectDeque> polygons) : polygons_(std::move(polygons)) {}
  Ref<LLKCObjectDeque> polygons_;
};
