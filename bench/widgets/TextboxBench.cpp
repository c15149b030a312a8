// Typing one character into a wrapped text box of 64 KB and of 1 MB: the whole headless frame
// that takes the key, edits, re-wraps and redraws (the box re-wraps only from the changed row),
// beside the reference of wrapping the whole text again. Budgets: 2 ms at 64 KB, 16 ms (one
// frame) at 1 MB.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBTextbox.h"
#include "ui/widgets/QELBWindow.h"

namespace {

constexpr int32_t kPageUp = 266, kDown = 264;

// Words of 1 to 11 letters with a line break now and then.
std::string prose(size_t bytes) {
  std::mt19937 random(11);
  std::string text;
  text.reserve(bytes + 16);
  while (text.size() < bytes) {
    text.append(1 + random() % 11, static_cast<char>('a' + random() % 26));
    text += random() % 40 == 0 ? '\n' : ' ';
  }
  text.resize(bytes);
  return text;
}

struct Typing {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({800, 600});
  Ref<QELCTextbox> box;
  std::string text;

  explicit Typing(size_t bytes) : text(prose(bytes)) {
    box = QELCTextbox::widgetWithSize({780, 580}, {10, 10}, text, static_cast<uint32_t>(bytes + (64 << 10)));
    window->setRedrawsOnRequest(true);
    window->attach(box);
    window->click({20, 20});
    reset();
  }
  // The original text with the caret in the middle of the visible rows.
  void reset() {
    box->setValue(text);
    window->frame();
    press(kPageUp);
    for (int i = 0; i < 10; ++i) press(kDown);
  }
  void press(int32_t key) {
    window->key(key, kOGLActionPress);
    window->key(key, kOGLActionRelease);
    window->frame();
  }
};

void BM_TypeIntoWrappedText(benchmark::State& state) {
  Typing typing(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    if (typing.box->value().size() + 4 > typing.box->capacity()) {
      state.PauseTiming();
      typing.reset();
      state.ResumeTiming();
    }
    typing.window->character('x');
    typing.window->frame();
  }
  state.SetLabel(std::to_string(typing.box->layout().rows.size()) + " rows");
}
BENCHMARK(BM_TypeIntoWrappedText)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// The reference: wrapping the whole text again at every keystroke.
void BM_WrapWholeText(benchmark::State& state) {
  Typing typing(static_cast<size_t>(state.range(0)));
  OGLC2DContext* ctx = typing.window->context();
  QELFControlStandardText(ctx, *typing.window->tweaks());
  OGLF2DTextAlignment(ctx, kOGLAlignLeft | kOGLAlignTop);
  QELTTextboxLayout layout;
  for (auto _ : state) benchmark::DoNotOptimize(QELFTextboxLayoutSetup(&layout, ctx, typing.text.c_str(), 774, 1.1f));
}
BENCHMARK(BM_WrapWholeText)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
