// Font files from outside (OGLF2DFontLoad and OGLFLoadFontFromFile read any path): the bytes
// become a face of a fresh context, which then measures, wraps and draws text in it at a few
// sizes, with and without blur.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLF2D.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > (1u << 20)) return 0;
  std::unique_ptr<OGLC2DContext> context = OGLC2DContext::make();
  if (!context) return 0;
  OGLC2DContext* ctx = context.get();
  auto* bytes = static_cast<unsigned char*>(std::malloc(size));
  if (!bytes) return 0;
  std::memcpy(bytes, data, size);
  if (OGLF2DFontMake(ctx, "fuzzed", bytes, static_cast<int>(size), 1) < 0) return 0;

  const char* text = "AB x\xC3\xA9 BA\nA";
  OGLTColor ink{1, 1, 1, 1};
  for (float fontSize : {11.0f, 40.0f, 120.0f}) {
    ctx->beginFrame(96, 64, 1);
    OGLF2DTextFontFace(ctx, "fuzzed");
    OGLF2DTextFontSize(ctx, fontSize);
    OGLF2DTextFontBlur(ctx, fontSize < 20 ? 2.0f : 0.0f);
    OGLF2DPathFillColor(ctx, &ink);
    float bounds[4];
    OGLF2DTextBounds(ctx, text, bounds, 2, 30);
    OGLTTextRow rows[4];
    OGLF2DTextBreaksWithWidth(ctx, text, rows, 4, 60);
    OGLTGlyphPosition positions[16];
    OGLF2DTextGlyphPositions(ctx, text, positions, 16, 0, 0);
    OGLF2DTextDraw(ctx, text, 2, 30);
    OGLF2DTextDrawWithWidth(ctx, text, 0, 10, 60);
    ctx->endFrame();
  }
  return 0;
}
