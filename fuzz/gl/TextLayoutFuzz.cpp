// Text from outside (typed, pasted, read from files) measured, wrapped and drawn: the first
// bytes set the size, wrap width, spacing, blur and alignment; the rest is the text, taken
// as it comes, malformed UTF-8 included.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLF2D.h"
#include "ui/gl/OGLFBuiltinFonts.h"

namespace {

OGLC2DContext* sharedContext() {
  static std::unique_ptr<OGLC2DContext> context = [] {
    std::unique_ptr<OGLC2DContext> made = OGLC2DContext::make();
    if (made) (void)OGLFBuiltinFontsRegister(made.get());
    return made;
  }();
  return context.get();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OGLC2DContext* ctx = sharedContext();
  if (!ctx || size < 6) return 0;
  std::string text(reinterpret_cast<const char*>(data + 6), size - 6);
  ctx->beginFrame(160, 120, 1);
  const char* faces[] = {"mono", "symbols", "icons", "mono-bold"};
  OGLF2DTextFontFace(ctx, faces[data[0] % 4]);
  OGLF2DTextFontSize(ctx, static_cast<float>(data[1]) / 4.0f);
  float width = static_cast<float>(static_cast<int8_t>(data[2])) * 2.0f;
  OGLF2DTextFontSpacing(ctx, static_cast<float>(static_cast<int8_t>(data[3])) / 16.0f);
  OGLF2DTextFontBlur(ctx, static_cast<float>(data[4] % 32));
  OGLF2DTextAlignment(ctx, data[5]);
  OGLF2DTextLineHeight(ctx, 1.25f);
  OGLTColor ink{1, 1, 1, 1};
  OGLF2DPathFillColor(ctx, &ink);

  float bounds[4];
  OGLF2DTextBounds(ctx, text.c_str(), bounds, 3, 40);
  OGLF2DTextBoundsWithLength(ctx, text.c_str(), static_cast<int>(text.size() / 2 + 1), bounds, 0, 0);
  OGLF2DTextBoundsWithWidth(ctx, text.c_str(), bounds, 0, 0, width);
  int rows = OGLF2DTextBreaksWithWidth(ctx, text.c_str(), nullptr, 0, width);
  std::vector<OGLTTextRow> stored(static_cast<size_t>(rows) + 1);
  OGLF2DTextBreaksWithWidth(ctx, text.c_str(), stored.data(), static_cast<int>(stored.size()), width);
  std::vector<OGLTGlyphPosition> positions(text.size() + 1);
  OGLF2DTextGlyphPositions(ctx, text.c_str(), positions.data(), static_cast<int>(positions.size()), 0, 0);
  OGLF2DTextDraw(ctx, text.c_str(), 5, 60);
  OGLF2DTextDrawWithWidth(ctx, text.c_str(), 0, 0, width);
  ctx->endFrame();
  return 0;
}
