// The virtualised collection box scrolled by one page per frame, at a thousand and a million
// rows (the frame time should not depend on the row count), and a menu bar of 8 menus of 30
// items: opening one menu and drawing the frame. A widget list built of many thousand items,
// and a drop box over as many names opening its menu: both should grow linearly with the count.
#include <benchmark/benchmark.h>

#include <vector>

#include "framework/core/LLKCObjectList.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/widgets/QELBCollectionbox.h"
#include "ui/widgets/QELBDropbox.h"
#include "ui/widgets/QELBMenu.h"
#include "ui/widgets/QELBMenuItem.h"
#include "ui/widgets/QELBMenuList.h"

namespace {

// Rows of height 19 from a pool: the cost of a row is handing it out, not making it.
class PoolSource : public QELPCollectionboxSource {
public:
  explicit PoolSource(uint32_t rows) : rows_(rows) {}
  float height() override { return 19; }
  uint32_t count() override { return rows_; }
  bool requireWidget(Ref<QELBWidget>& widget, uint32_t, QELBWindow*) override {
    ++required;
    if (pool_.empty()) {
      widget = QELCWidget::widgetWithSize({150, 19}, {0, 0});
    } else {
      widget = pool_.back();
      pool_.pop_back();
    }
    return true;
  }
  void recycleWidget(const Ref<QELBWidget>& widget, uint32_t) override { pool_.push_back(widget); }
  uint64_t required = 0;

private:
  uint32_t rows_;
  std::vector<Ref<QELBWidget>> pool_;
};

void BM_CollectionboxPagePerFrame(benchmark::State& state) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({400, 400});
  Ref<QELCCollectionbox> box = QELCCollectionbox::widgetWithSize({200, 305}, {10, 10});
  Ref<PoolSource> source = makeRef<PoolSource>(static_cast<uint32_t>(state.range(0)));
  box->setSource(source);
  window->attach(box);
  window->frame();
  source->required = 0;
  uint64_t frames = 0;
  for (auto _ : state) {
    window->cursorEvent({100, 100});
    window->key(267, kOGLActionPress);  // Page Down
    window->frame();
    ++frames;
    OGLTRect shown = box->visibleRect();
    if (shown.bottom >= box->contentRect().bottom) box->clear();  // at the end: from the top again
  }
  state.counters["rows_made_per_frame"] = static_cast<double>(source->required) / static_cast<double>(frames);
}
BENCHMARK(BM_CollectionboxPagePerFrame)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_MenuBarOpenAndDraw(benchmark::State& state) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({1280, 800});
  const QELTGroupSetup row = {kQELGroupRow, 0, 0, 2, kQELGroupUniformCross};
  const QELTGroupSetup column = {kQELGroupColumn, 0, 0, 2, kQELGroupUniformCross};
  Ref<QELCMenu> bar = QELCMenu::widgetWithSize({10, 10}, {0, 0});
  bar->setFlags(kQELMenuPersistent);
  Ref<QELCMenuList> top = QELCMenuList::widgetWithSize({10, 10}, {0, 0}, &row);
  top->setFlags(kQELMenuListOwnWidths);
  std::vector<Ref<QELCMenuItem>> heads;
  for (int m = 0; m < 8; ++m) {
    Ref<QELCMenuItem> head = QELCMenuItem::widgetWithSize({70, 22}, {0, 0}, "Menu " + std::to_string(m));
    head->setFlags(kQELMenuItemNoArrow | kQELMenuItemOpensBelow);
    Ref<QELCMenuList> list = QELCMenuList::widgetWithSize({10, 10}, {0, 0}, &column);
    for (int i = 0; i < 30; ++i) {
      Ref<QELCMenuItem> item = QELCMenuItem::widgetWithSize({10, 22}, {0, 0}, "Entry number " + std::to_string(i));
      item->setShortcut({65 + i % 26, kOGLModControl});
      item->setOnClick(LLKCMessage::messageWithCode(static_cast<uint64_t>(i)));
      list->attach(item);
    }
    head->setChild(list);
    top->attach(head);
    heads.push_back(head);
  }
  bar->attach(top);
  window->attach(bar);
  window->frame();
  window->frame();
  int m = 0;
  for (auto _ : state) {
    heads[m]->expand();
    window->frame();  // measures, lays out and draws the open menu
    heads[m]->topple();
    m = (m + 1) % 8;
  }
}
BENCHMARK(BM_MenuBarOpenAndDraw)->Unit(benchmark::kMicrosecond);

void BM_WidgetListAppend(benchmark::State& state) {
  std::vector<Ref<QELBWidget>> widgets;
  for (int64_t i = 0; i < state.range(0); ++i) widgets.push_back(QELCWidget::widgetWithSize({10, 10}, {0, 0}));
  for (auto _ : state) {
    Ref<QELCWidgets> list = QELCWidgets::widgets();
    for (const Ref<QELBWidget>& widget : widgets) list->append(widget);
    benchmark::DoNotOptimize(list->count());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WidgetListAppend)->RangeMultiplier(10)->Range(2000, 200000)->Complexity()->Unit(benchmark::kMillisecond);

// A click on the box, the frames of its tenth of a second, the menu open and drawn; Escape
// closes it.
void BM_DropboxOpensOverManyNames(benchmark::State& state) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({800, 600});
  Ref<LLKCObjectList> names = LLKCObjectList::list();
  for (int64_t i = 0; i < state.range(0); ++i) names->append(LLKCString::stringWithChars(("name " + std::to_string(i)).c_str()));
  Ref<QELCDropbox> box = QELCDropbox::widgetWithSize({120, 24}, {20, 20}, names);
  window->attach(box);
  window->frame();
  for (auto _ : state) {
    window->click({80, 32});
    while (!box->openMenu()) window->frame();
    window->key(256, kOGLActionPress);  // Escape
    window->key(256, kOGLActionRelease);
    while (box->openMenu()) window->frame();
  }
}
BENCHMARK(BM_DropboxOpensOverManyNames)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
