#pragma once
// The chunk viewer's surface: the expression surface whose caption is drawn in the theme's text
// colour, faded with the tree, inside a saved drawing state, and whose content the left button
// pans. Window's thread only.
//
// A pan follows the pointer: the content point under the pointer at the press stays under it
// wherever the pointer goes while the button is held (the surface takes every cursor event of
// the window then), and the pan ends when the button is released, over the surface or not. A
// press that a child or another widget took starts nothing.
#include "app/ctm/VSKCExpressionSurface.h"

class VSKCGistSurface : public VSKCExpressionSurface {
public:
  [[nodiscard]] static Ref<VSKCGistSurface> surface();

  bool dragging() const { return dragging_; }

  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onRenderWithStepAndRect(float step, const OGLTRect& rect) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCGistSurface() = default;

  bool dragging_ = false;
  OGLTPoint dragStart_{};   // window coordinates of the press
  OGLTPoint dragOffset_{};  // the offset at the press
};
