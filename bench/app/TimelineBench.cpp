// The timeline's drawing on a headless 2D context at 640 x 450 (the surface of the default
// view): a frame of the timeline holding 1 024 ticks of 8 chunks each (gists of 20-node terms),
// stepping to another kept tick and scrolling every frame; and a term of 10 000 nodes laid out
// as an expression tree, then drawn. Targets: under 8 ms a frame, under 5 ms a layout.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ctm/VSKFExpression.h"
#include "app/ctm/VSKFTimelineCards.h"
#include "app/ctm/VSKFTimelineChunks.h"
#include "app/ctm/VSKTTimelineTicks.h"
#include "framework/substrate/MRKCReader.h"
#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLFBuiltinFonts.h"

namespace {

constexpr float kWidth = 640, kHeight = 450;

std::unique_ptr<OGLC2DContext> makeContext() {
  std::unique_ptr<OGLC2DContext> context = OGLC2DContext::make();
  if (context) (void)OGLFBuiltinFontsRegister(context.get());
  return context;
}

Ref<MRKBTerm> read(const std::string& text) { return MRKCReader::reader()->readTermFromString(text); }

// A 20-node gist: a func of 19 atoms.
std::string gist(uint64_t n) {
  std::string text = "colour(";
  for (int i = 0; i < 19; ++i) text += (i ? ", c" : "c") + std::to_string(n + i);
  return text + ")";
}

VSKTTimelineTicks fullTimeline() {
  VSKTTimelineTicks ticks;
  for (uint64_t t = 1; t <= kVSKTimelineCapacity; ++t) {
    std::string chunks = "[";
    for (int c = 0; c < 8; ++c)
      chunks += (c ? ", [" : "[") + std::string("actor") + std::to_string(c) + ", " + std::to_string(t) + ", u" +
                std::to_string(t) + "x" + std::to_string(c) + ", " + (c % 2 ? "query" : "reply(q1)") + ", " +
                gist(t * 8 + c) + ", 1.0, 0.5, 0.25]";
    chunks += "]";
    Ref<MRKBTerm> statement =
        read("<ctm.tick [" + std::to_string(t) + ", [], {\"chunks\": " + chunks + ", \"links\": []}] 1.0>");
    ticks.receive(VSKCTimelineTick::tickWithStatement(statement->asStatement(), nullptr));
  }
  ticks.toggleLive();
  return ticks;
}

void BM_TimelineFrame(benchmark::State& state) {
  std::unique_ptr<OGLC2DContext> context = makeContext();
  VSKTTimelineTicks ticks = fullTimeline();
  QELTWindowTweaks theme = kWindowTweaks;
  std::vector<MRKCList*> chunks;
  std::vector<OGLTPoint> centres;
  float scroll = 0;
  for (auto _ : state) {
    // Step back through the kept ticks, from the first round to the last again.
    if (ticks.cursor() == 0) ticks.last();
    else ticks.previous();
    VSKCTimelineTick* tick = ticks.shown().get();
    VSKFTimelineViewFilterChunks(tick->submitted(), false, chunks);
    OGLTSize content = VSKFTimelineContentSize(chunks.size(), {kWidth, kHeight});
    VSKFTimelineCardCentres(chunks.size(), content.w, centres);
    scroll = scroll > 40 ? 0 : scroll + 3;
    context->beginFrame(kWidth, kHeight, 1);
    OGLF2DTranslate(context.get(), 0, -scroll);
    for (size_t i = 0; i < chunks.size(); ++i)
      VSKFTimelineViewDrawChunk(
          context.get(), &theme, centres[i], chunks[i], nullptr,
          VSKFTimelineViewChunkInList(chunks[i], tick->broadcast()) ? kVSKCardBroadcast : kVSKCardSubmitted, 0);
    context->endFrame();
  }
}
BENCHMARK(BM_TimelineFrame)->Unit(benchmark::kMillisecond)->MinTime(0.5);

// 100 lists of 99 numbers, in a list: 10 001 nodes.
Ref<MRKBTerm> bigTerm() {
  std::string text = "[";
  for (int i = 0; i < 100; ++i) {
    text += i ? ", [" : "[";
    for (int j = 0; j < 99; ++j) text += (j ? ", " : "") + std::to_string(i * 100 + j);
    text += "]";
  }
  return read(text + "]");
}

void BM_ExpressionLayout10000(benchmark::State& state) {
  std::unique_ptr<OGLC2DContext> context = makeContext();
  QELTWindowTweaks theme = kWindowTweaks;
  VSKTDrawingContext record{context.get(), &theme, 1.0f, 8.0f, 16.0f};
  Ref<MRKBTerm> term = bigTerm();
  context->beginFrame(kWidth, kHeight, 1);
  for (auto _ : state) {
    VSKTExpressionNode* tree = VSKFExpressionNodeBuild(&record, nullptr, term.get());
    benchmark::DoNotOptimize(tree);
    VSKFExpressionNodeFree(tree);
  }
  context->endFrame();
}
BENCHMARK(BM_ExpressionLayout10000)->Unit(benchmark::kMillisecond)->MinTime(0.5);

void BM_ExpressionDraw10000(benchmark::State& state) {
  std::unique_ptr<OGLC2DContext> context = makeContext();
  QELTWindowTweaks theme = kWindowTweaks;
  VSKTDrawingContext record{context.get(), &theme, 1.0f, 8.0f, 16.0f};
  Ref<MRKBTerm> term = bigTerm();
  VSKTExpressionNode* tree = VSKFExpressionNodeBuild(&record, nullptr, term.get());
  for (auto _ : state) {
    context->beginFrame(kWidth, kHeight, 1);
    VSKFExpressionNodeDraw(&record, tree, {0, 0}, 0);
    context->endFrame();
  }
  VSKFExpressionNodeFree(tree);
}
BENCHMARK(BM_ExpressionDraw10000)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace
