#pragma once
// The chunk viewer's surface: the expression surface whose caption is drawn in the theme's text
// colour, faded with the tree, inside a saved drawing state. Window's thread only.
#include "app/ctm/VSKCExpressionSurface.h"

class VSKCGistSurface : public VSKCExpressionSurface {
public:
  [[nodiscard]] static Ref<VSKCGistSurface> surface();

  void onRenderWithStepAndRect(float step, const OGLTRect& rect) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCGistSurface() = default;
};
