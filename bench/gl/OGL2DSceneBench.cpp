// The cost of a typical workbench frame on the 2D layer: six translucent views with shadows,
// title bars and borders holding 240 text cards, at 1280 x 800 on one core; the upload of the
// finished surface into a GL texture (on the display, or a private Xvfb without one); and
// text layout per glyph.
#include <benchmark/benchmark.h>

#include <epoxy/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLCPassCompositor.h"
#include "ui/gl/OGLF2D.h"
#include "tests/gl/OGLTestXServer.h"
#include "ui/gl/OGLFBuiltinFonts.h"

namespace {

constexpr float kWidth = 1280, kHeight = 800;

std::unique_ptr<OGLC2DContext> makeContext() {
  std::unique_ptr<OGLC2DContext> context = OGLC2DContext::make();
  size_t count = 0;
  const OGLTBuiltinFont* fonts = OGLFBuiltinFonts(&count);
  for (size_t i = 0; context && i < count; ++i)
    OGLF2DFontMake(context.get(), fonts[i].name, const_cast<unsigned char*>(fonts[i].bytes),
                   static_cast<int>(fonts[i].size), 0);
  return context;
}

const std::vector<std::string>& cardLines() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> made;
    for (int i = 0; i < 240; ++i) {
      char line[64];
      std::snprintf(line, sizeof line, "tweet(%03d) weight 0.%02d mood +%d", i, (i * 37) % 100, i % 7);
      made.emplace_back(line);
    }
    return made;
  }();
  return lines;
}

void drawView(OGLC2DContext* ctx, const OGLTRect& frame, int firstCard, int cards) {
  float w = frame.right - frame.left, h = frame.bottom - frame.top;
  // Drop shadow.
  OGLTPaint shadow;
  OGLTColor dark{0, 0, 0, 0.5f}, none{0, 0, 0, 0};
  OGLF2DMakeBoxGradient(ctx, &shadow, &dark, &none, frame.left, frame.top + 2, w, h, 6, 10);
  OGLF2DPathBegin(ctx);
  OGLF2DPathRect(ctx, frame.left - 10, frame.top - 10, w + 20, h + 30);
  OGLF2DPathRoundedRect(ctx, frame.left, frame.top, w, h, 6);
  OGLF2DPathWinding(ctx, kOGLWindingHole);
  OGLF2DPathFillPaint(ctx, &shadow);
  OGLF2DPathFill(ctx);

  OGLF2DClipEnter(ctx, &frame, true);
  OGLTColor panel{0.16f, 0.17f, 0.2f, 0.85f}, border{1, 1, 1, 0.3f}, title{0.3f, 0.35f, 0.5f, 0.9f};
  OGLF2DPathBegin(ctx);
  OGLF2DPathRoundedRect(ctx, 0, 0, w, h, 6);
  OGLF2DPathFillColor(ctx, &panel);
  OGLF2DPathFill(ctx);
  OGLF2DPathBegin(ctx);
  OGLF2DPathRoundedRect(ctx, 0.5f, 0.5f, w - 1, 22, 6);
  OGLF2DPathFillColor(ctx, &title);
  OGLF2DPathFill(ctx);
  OGLTColor white{1, 1, 1, 0.9f};
  OGLF2DPathFillColor(ctx, &white);
  OGLF2DTextFontFace(ctx, "mono");
  OGLF2DTextFontSize(ctx, 12);
  OGLF2DTextAlignment(ctx, kOGLAlignLeft | kOGLAlignMiddle);
  OGLF2DTextDraw(ctx, "Conscious contents", 30, 11);
  OGLF2DTextFontFace(ctx, "symbols");
  OGLF2DTextFontSize(ctx, 18);
  OGLF2DTextDraw(ctx, "\xEE\xA0\x80", w - 20, 11);

  // Cards in two columns.
  OGLTColor card{0.25f, 0.27f, 0.33f, 0.8f}, ink{1, 1, 1, 0.62f};
  OGLF2DTextFontFace(ctx, "mono");
  OGLF2DTextFontSize(ctx, 10);
  OGLF2DTextAlignment(ctx, kOGLAlignLeft | kOGLAlignTop);
  float cardWidth = (w - 24) / 2, cardHeight = (h - 40) / static_cast<float>((cards + 1) / 2) - 4;
  for (int i = 0; i < cards; ++i) {
    float x = 8 + static_cast<float>(i % 2) * (cardWidth + 8);
    float y = 30 + static_cast<float>(i / 2) * (cardHeight + 4);
    OGLF2DPathBegin(ctx);
    OGLF2DPathRoundedRect(ctx, x, y, cardWidth, cardHeight, 3);
    OGLF2DPathFillColor(ctx, &card);
    OGLF2DPathFill(ctx);
    OGLF2DPathFillColor(ctx, &ink);
    OGLF2DTextDraw(ctx, cardLines()[static_cast<size_t>(firstCard + i)].c_str(), x + 4, y + 3);
  }
  OGLF2DClipLeave(ctx);

  OGLF2DPathBegin(ctx);
  OGLF2DPathRoundedRect(ctx, frame.left + 0.5f, frame.top + 0.5f, w - 1, h - 1, 6);
  OGLF2DPathStrokeColor(ctx, &border);
  OGLF2DPathStrokeWidth(ctx, 1);
  OGLF2DPathStroke(ctx);
}

void drawViews(OGLC2DContext* ctx) {
  for (int v = 0; v < 6; ++v) {
    float x = 20 + static_cast<float>(v % 3) * 420, y = 20 + static_cast<float>(v / 3) * 390;
    OGLTRect frame{x, y, x + 400, y + 370};
    drawView(ctx, frame, v * 40, 40);
  }
}

void drawScene(OGLC2DContext* ctx) {
  ctx->beginFrame(kWidth, kHeight, 1);
  drawViews(ctx);
  ctx->endFrame();
}

void BM_SceneDraw(benchmark::State& state) {
  std::unique_ptr<OGLC2DContext> context = makeContext();
  drawScene(context.get());  // glyphs and shadows made once, as after the first frame
  for (auto _ : state) drawScene(context.get());
}
BENCHMARK(BM_SceneDraw)->Unit(benchmark::kMillisecond);

// A hidden GL window to upload into; null (and the reason given to the state) without one.
GLFWwindow* openGLWindow(benchmark::State& state) {
  glfwSetErrorCallback([](int code, const char* description) { std::fprintf(stderr, "glfw %x: %s\n", code, description); });
  if (!OGLTestEnsureDisplay() || !glfwInit()) {
    state.SkipWithError("no display, and no Xvfb to start");
    return nullptr;
  }
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  GLFWwindow* window = glfwCreateWindow(static_cast<int>(kWidth), static_cast<int>(kHeight), "bench", nullptr, nullptr);
  if (!window) {
    state.SkipWithError("no GL window");
    glfwTerminate();
    return nullptr;
  }
  glfwMakeContextCurrent(window);
  glViewport(0, 0, static_cast<int>(kWidth), static_cast<int>(kHeight));
  return window;
}

// The scene's surface into its texture and over the framebuffer. With changing, every row
// differs from the frame before (the worst case); without, the scene is redrawn the same, as a
// workbench at rest does, and only the comparison is paid.
void uploadScene(benchmark::State& state, bool changing) {
  GLFWwindow* window = openGLWindow(state);
  if (!window) return;
  {
    std::unique_ptr<OGLCPassCompositor> compositor = OGLCPassCompositor::make();
    std::unique_ptr<OGLC2DContext> context = makeContext();
    int frame = 0;
    for (auto _ : state) {
      state.PauseTiming();
      context->beginFrame(kWidth, kHeight, 1);
      drawViews(context.get());
      OGLF2DPathBegin(context.get());
      OGLF2DPathRect(context.get(), 0, 0, kWidth, kHeight);
      OGLTColor veil{0, 0, 0, changing && (++frame % 2) ? 0.02f : 0.01f};
      OGLF2DPathFillColor(context.get(), &veil);
      OGLF2DPathFill(context.get());
      context->endFrame();
      glFinish();
      state.ResumeTiming();
      compositor->compose(*context, 0);
      glFinish();
    }
  }
  glfwDestroyWindow(window);
  glfwTerminate();
}

void BM_SceneUpload(benchmark::State& state) { uploadScene(state, true); }
BENCHMARK(BM_SceneUpload)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SceneUploadAtRest(benchmark::State& state) { uploadScene(state, false); }
BENCHMARK(BM_SceneUploadAtRest)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TextLayout(benchmark::State& state) {
  std::unique_ptr<OGLC2DContext> context = makeContext();
  OGLC2DContext* ctx = context.get();
  ctx->beginFrame(kWidth, kHeight, 1);
  OGLF2DTextFontFace(ctx, "mono");
  OGLF2DTextFontSize(ctx, 10);
  std::string paragraph;
  for (const std::string& line : cardLines()) paragraph += line + " ";
  std::vector<OGLTTextRow> rows(1024);
  float bounds[4];
  for (auto _ : state) {
    benchmark::DoNotOptimize(OGLF2DTextBounds(ctx, paragraph.c_str(), bounds, 0, 0));
    benchmark::DoNotOptimize(OGLF2DTextBreaksWithWidth(ctx, paragraph.c_str(), rows.data(), 1024, 300));
  }
  // Each pass measures every glyph twice: once for the bounds, once for the rows; the time
  // per glyph is the inverse of items per second.
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(paragraph.size()) * 2);
}
BENCHMARK(BM_TextLayout);

}  // namespace
