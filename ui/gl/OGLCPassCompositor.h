#pragma once
// Puts the 2D passes of a window into its GL framebuffer: each layer of the 2D context is kept
// in a texture and drawn over the framebuffer with premultiplied alpha. A frame redraws only
// what changed, and often the same pixels again: of the rows it changed, only those that differ
// from what the texture holds are uploaded. Lives on the window's thread, with its GL context
// current.
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/gl/OGLC2DContext.h"

class OGLCPassCompositor {
public:
  // Null when the GL objects cannot be made.
  static std::unique_ptr<OGLCPassCompositor> make();
  ~OGLCPassCompositor();
  OGLCPassCompositor(const OGLCPassCompositor&) = delete;
  OGLCPassCompositor& operator=(const OGLCPassCompositor&) = delete;

  // The context's current layer over the framebuffer's viewport; nothing at all when the
  // layer's frame drew nothing.
  void compose(OGLC2DContext& context, int layer);

private:
  OGLCPassCompositor() = default;
  void upload(const OGLC2DContext& context, int layer, OGLTRowSpan rows);

  unsigned program_ = 0;
  unsigned vertexArray_ = 0;
  unsigned textures_[OGLC2DContext::kLayers] = {};
  int widths_[OGLC2DContext::kLayers] = {};
  int heights_[OGLC2DContext::kLayers] = {};
  std::vector<uint8_t> shadows_[OGLC2DContext::kLayers];  // what each texture holds
};
