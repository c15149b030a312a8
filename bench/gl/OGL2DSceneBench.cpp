// The cost of workbench frames on the 2D layer, at 1280 x 800 on one core: translucent views
// with shadows, title bars, borders and text cards, 6 to 40 of them, at pixel ratios 1 and 2;
// one view dragged across 24 others, drawing again only what it damaged (and, beside it, the
// same drag drawn whole as before); an idle frame; the upload of the finished surface into a
// GL texture (on the display, or a private Xvfb without one), whole and after a drag; and text
// layout per glyph.
#include <benchmark/benchmark.h>

#include <epoxy/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cstdio>
#include <algorithm>
#include <cmath>
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
  if (context) (void)OGLFBuiltinFontsRegister(context.get());
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

// The view's pixels reach beyond its frame by its shadow.
OGLTRect withShadow(const OGLTRect& frame) {
  return {frame.left - 10, frame.top - 10, frame.right + 10, frame.bottom + 20};
}

bool overlap(const OGLTRect& a, const OGLTRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

OGLTRect unite(const OGLTRect& a, const OGLTRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Views of 240 x 170 in five columns; the rows overlap more the more views there are.
std::vector<OGLTRect> layout(int views) {
  std::vector<OGLTRect> frames;
  int rows = (views + 4) / 5;
  float step = rows > 1 ? std::min(190.0f, (kHeight - 40 - 170) / static_cast<float>(rows - 1)) : 0;
  for (int v = 0; v < views; ++v) {
    float x = 20 + static_cast<float>(v % 5) * 250, y = 20 + std::floor(static_cast<float>(v / 5) * step);
    frames.push_back({x, y, x + 240, y + 170});
  }
  return frames;
}

void drawViews(OGLC2DContext* ctx, const std::vector<OGLTRect>& frames) {
  for (size_t v = 0; v < frames.size(); ++v) drawView(ctx, frames[v], static_cast<int>(v * 5 % 232), 8);
}

// The six large views of the upload benchmarks, 240 cards in all.
void drawSixLargeViews(OGLC2DContext* ctx) {
  for (int v = 0; v < 6; ++v) {
    float x = 20 + static_cast<float>(v % 3) * 420, y = 20 + static_cast<float>(v / 3) * 390;
    drawView(ctx, {x, y, x + 400, y + 370}, v * 40, 40);
  }
}

// The six large views drawn whole, the scene measured before views were counted.
void BM_SceneDraw(benchmark::State& state) {
  std::unique_ptr<OGLC2DContext> context = makeContext();
  for (auto _ : state) {
    context->beginFrame(kWidth, kHeight, 1);
    drawSixLargeViews(context.get());
    context->endFrame();
  }
}
BENCHMARK(BM_SceneDraw)->Unit(benchmark::kMillisecond);

float ratioOf(const benchmark::State& state) { return static_cast<float>(state.range(1)); }

// A frame that changed: every view drawn (glyphs and shadows made once before, as after the
// first frame).
void BM_SceneFrame(benchmark::State& state) {
  std::unique_ptr<OGLC2DContext> context = makeContext();
  std::vector<OGLTRect> frames = layout(static_cast<int>(state.range(0)));
  for (int warm = 0; warm < 2; ++warm) {
    context->beginFrame(kWidth, kHeight, ratioOf(state));
    drawViews(context.get(), frames);
    context->endFrame();
  }
  for (auto _ : state) {
    context->beginFrame(kWidth, kHeight, ratioOf(state));
    drawViews(context.get(), frames);
    context->endFrame();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SceneFrame)
    ->ArgsProduct({{6, 16, 24, 40}, {1, 2}})
    ->ArgNames({"views", "ratio"})
    ->Unit(benchmark::kMillisecond);

// One view dragged back and forth across 24 others, 9 units a frame. Drawn whole, as every
// frame was before; or partly: the area the view left and took, with the views reaching into it.
struct Drag {
  std::vector<OGLTRect> frames = layout(25);
  float x = 20, dx = 9;

  OGLTRect move() {
    OGLTRect& dragged = frames.back();
    OGLTRect before = withShadow(dragged);
    if (x + dx < 0 || x + dx + 240 > kWidth) dx = -dx;
    x += dx;
    dragged = {x, 300, x + 240, 470};
    return unite(before, withShadow(dragged));
  }
  void drawPartly(OGLC2DContext* ctx, float ratio, const OGLTRect& damage) {
    ctx->beginFrame(kWidth, kHeight, ratio);
    OGLTRect area = ctx->pixelAligned(damage), reach = area;
    std::vector<size_t> touched;
    for (size_t v = 0; v < frames.size(); ++v)
      if (overlap(withShadow(frames[v]), area)) {
        touched.push_back(v);
        reach = unite(reach, withShadow(frames[v]));
      }
    if (ctx->redrawOnly(area, reach)) {
      for (size_t v : touched) drawView(ctx, frames[v], static_cast<int>(v * 5 % 232), 8);
    } else {
      drawViews(ctx, frames);
    }
    ctx->endFrame();
  }
};

void BM_SceneDrag(benchmark::State& state) {
  std::unique_ptr<OGLC2DContext> context = makeContext();
  Drag drag;
  drag.drawPartly(context.get(), ratioOf(state), {0, 0, kWidth, kHeight});
  for (auto _ : state) drag.drawPartly(context.get(), ratioOf(state), drag.move());
}
BENCHMARK(BM_SceneDrag)->ArgsProduct({{24}, {1, 2}})->ArgNames({"others", "ratio"})->Unit(benchmark::kMillisecond);

void BM_SceneDragDrawnWhole(benchmark::State& state) {
  std::unique_ptr<OGLC2DContext> context = makeContext();
  Drag drag;
  for (auto _ : state) {
    drag.move();
    context->beginFrame(kWidth, kHeight, ratioOf(state));
    drawViews(context.get(), drag.frames);
    context->endFrame();
  }
}
BENCHMARK(BM_SceneDragDrawnWhole)
    ->ArgsProduct({{24}, {1, 2}})
    ->ArgNames({"others", "ratio"})
    ->Unit(benchmark::kMillisecond);

// A frame in which nothing changed, on the 40-view scene: both layers kept as they are.
void BM_SceneIdle(benchmark::State& state) {
  std::unique_ptr<OGLC2DContext> context = makeContext();
  std::vector<OGLTRect> frames = layout(40);
  context->beginFrame(kWidth, kHeight, ratioOf(state));
  drawViews(context.get(), frames);
  context->endFrame();
  for (auto _ : state) {
    for (int layer = 0; layer < OGLC2DContext::kLayers; ++layer) {
      context->beginFrame(kWidth, kHeight, ratioOf(state), layer);
      context->redrawOnly({}, {});
      context->endFrame();
      benchmark::DoNotOptimize(context->takeChangedRows());
    }
  }
}
BENCHMARK(BM_SceneIdle)->ArgsProduct({{40}, {1, 2}})->ArgNames({"views", "ratio"})->Unit(benchmark::kMicrosecond);

// A hidden GL window to upload into, made once for the run (GLFW started again after it was
// stopped cannot always reach the display); null, and the reason given to the state, without one.
GLFWwindow* openGLWindow(benchmark::State& state) {
  static GLFWwindow* const window = [] {
    glfwSetErrorCallback(
        [](int code, const char* description) { std::fprintf(stderr, "glfw %x: %s\n", code, description); });
    if (!OGLTestEnsureDisplay() || !glfwInit()) return static_cast<GLFWwindow*>(nullptr);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    GLFWwindow* made = glfwCreateWindow(static_cast<int>(kWidth), static_cast<int>(kHeight), "bench", nullptr, nullptr);
    if (!made) return made;
    glfwMakeContextCurrent(made);
    glViewport(0, 0, static_cast<int>(kWidth), static_cast<int>(kHeight));
    return made;
  }();
  if (!window) state.SkipWithError("no display (and no Xvfb to start), or no GL window");
  return window;
}

// The scene's surface into its texture and over the framebuffer. With changing, every row
// differs from the frame before (the worst case); without, the scene is redrawn the same, as a
// workbench at rest does, and only the comparison is paid.
void uploadScene(benchmark::State& state, bool changing) {
  float ratio = static_cast<float>(state.range(0));
  if (!openGLWindow(state)) return;
  {
    std::unique_ptr<OGLCPassCompositor> compositor = OGLCPassCompositor::make();
    std::unique_ptr<OGLC2DContext> context = makeContext();
    int frame = 0;
    for (auto _ : state) {
      state.PauseTiming();
      context->beginFrame(kWidth, kHeight, ratio);
      drawSixLargeViews(context.get());
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
}

// The software driver's floor: every row differs and is uploaded.
void BM_SceneUpload(benchmark::State& state) { uploadScene(state, true); }
BENCHMARK(BM_SceneUpload)->Arg(1)->Arg(2)->ArgName("ratio")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SceneUploadAtRest(benchmark::State& state) { uploadScene(state, false); }
BENCHMARK(BM_SceneUploadAtRest)->Arg(1)->Arg(2)->ArgName("ratio")->Unit(benchmark::kMillisecond)->UseRealTime();

// Frames through the GL side: first draws the frame to start from; each turn of the loop, next
// draws a frame, whose changed rows are uploaded and whose layer is composed.
template <typename First, typename Next>
void composeFrames(benchmark::State& state, First first, Next next) {
  if (!openGLWindow(state)) return;
  float ratio = static_cast<float>(state.range(0));
  std::unique_ptr<OGLCPassCompositor> compositor = OGLCPassCompositor::make();
  std::unique_ptr<OGLC2DContext> context = makeContext();
  first(context.get(), ratio);
  compositor->compose(*context, 0);
  for (auto _ : state) {
    next(context.get(), ratio);
    compositor->compose(*context, 0);
    glFinish();
  }
}

// A dragged view's partial frame, uploaded and composed: what a changed frame costs in all.
void BM_SceneDragComposed(benchmark::State& state) {
  Drag drag;
  composeFrames(
      state,
      [&](OGLC2DContext* ctx, float ratio) {
        drag.drawPartly(ctx, ratio, {0, 0, kWidth, kHeight});
      },
      [&](OGLC2DContext* ctx, float ratio) { drag.drawPartly(ctx, ratio, drag.move()); });
}
BENCHMARK(BM_SceneDragComposed)->Arg(1)->Arg(2)->ArgName("ratio")->Unit(benchmark::kMillisecond)->UseRealTime();

// A frame in which nothing changed, on the GL side: nothing uploaded, the layer's texture drawn
// over the framebuffer again (what the window pays per pass for an idle frame it still shows).
void BM_SceneComposeIdle(benchmark::State& state) {
  composeFrames(
      state,
      [](OGLC2DContext* ctx, float ratio) {
        ctx->beginFrame(kWidth, kHeight, ratio);
        drawViews(ctx, layout(40));
        ctx->endFrame();
      },
      [](OGLC2DContext* ctx, float ratio) {
        ctx->beginFrame(kWidth, kHeight, ratio);
        ctx->redrawOnly({}, {});
        ctx->endFrame();
      });
}
BENCHMARK(BM_SceneComposeIdle)->Arg(1)->Arg(2)->ArgName("ratio")->Unit(benchmark::kMillisecond)->UseRealTime();

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
