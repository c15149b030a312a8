// The text and value controls and the graph: ticker and spinner timing by frame steps, slider
// drags that leave and come back, label wrapping and padding, the graph's ring, mean and range,
// and a pixel check per family (hovered, tinted).
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <cstdio>
#include <limits>

#include <sys/resource.h>
#include <unistd.h>

#include "tests/widgets/QELControlTestKit.h"
#include "ui/widgets/QELBButton.h"
#include "ui/widgets/QELBCheckbox.h"
#include "ui/widgets/QELBGraph.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBSeparator.h"
#include "ui/widgets/QELBSlider.h"
#include "ui/widgets/QELBSpacer.h"
#include "ui/widgets/QELBSpinner.h"
#include "ui/widgets/QELBTicker.h"

namespace {

using ValueControls = ControlTest;

TEST_F(ValueControls, ATickerAdvancesOnceEachTimeMoreThanItsIntervalPassed) {
  Ref<QELCTicker> t = QELCTicker::widgetWithSize({100, 30}, {0, 0}, 0x11, {"a", "b", "c"});
  ASSERT_TRUE(catcher->attach(t));  // no frame yet: time starts at the first step
  window->frame(0.15f);             // exactly the interval: no advance
  EXPECT_EQ(t->index(), 0u);
  window->frame(0.16f);
  EXPECT_EQ(t->index(), 1u);
  window->frame(0.16f);
  window->frame(0.16f);
  EXPECT_EQ(t->index(), 0u);
  window->frame(0.16f);
  t->setInterval(1);
  EXPECT_EQ(t->index(), 1u);
  t->setTexts({"x"});
  EXPECT_EQ(t->index(), 0u);
  // Without texts it neither divides by nothing nor reads past the end.
  t->setTexts({});
  t->setInterval(0.01f);
  window->frame(0.5f);
  EXPECT_EQ(t->index(), 0u);
}

TEST_F(ValueControls, ASpinnerTurnsTwicePerSecondAtFullSpeedAndStaysWithinOneTurn) {
  Ref<QELCSpinner> s = QELCSpinner::widgetWithSize({40, 40}, {0, 0}, 1);
  ASSERT_TRUE(catcher->attach(s));
  window->frame(0.125f);
  EXPECT_NEAR(s->angle(), M_PI / 2, 1e-4);
  s->setSpeed(2);
  EXPECT_FLOAT_EQ(s->speed(), 1);
  s->setSpeed(NAN);
  EXPECT_FLOAT_EQ(s->speed(), 0);
  s->setSpeed(1);
  window->frame(1000.3f);
  EXPECT_GE(s->angle(), 0);
  EXPECT_LT(s->angle(), 2 * M_PI);
  Ref<QELCSpinner> zero = QELCSpinner::widgetWithSize({0, 0}, {0, 0}, 1);
  EXPECT_FLOAT_EQ(zero->preferredSizeWithWindow(window.get()).w, 34);
  EXPECT_FLOAT_EQ(zero->preferredSizeWithWindow(nullptr).w, 0);
  EXPECT_FLOAT_EQ(s->preferredSizeWithWindow(nullptr).w, 40);
}

// Slider (50, 50) 100 × 30: inner 98 × 28, knob radius 9, track from x 60 over 80.
class Sliders : public ControlTest {
protected:
  Ref<QELCSlider> slider(float value) {
    Ref<QELCSlider> s = QELCSlider::widgetWithSize({100, 30}, {50, 50}, value);
    s->setOnChange(LLKCMessage::messageWithCode(3));
    return place(s);
  }
  // Every value sent lies in 0..1.
  void expectSentValuesInRange() {
    for (const Ref<LLKCMessage>& m : catcher->messages) {
      double v = m->details().realForKey("value", -1);
      EXPECT_GE(v, 0);
      EXPECT_LE(v, 1);
    }
  }
};

TEST_F(Sliders, TheKnobDragsTheValueAndAPressOnTheTrackJumps) {
  Ref<QELCSlider> s = slider(0.5f);
  window->drag({100, 65}, {120, 65});
  EXPECT_NEAR(s->value(), 0.75f, 1e-5);
  EXPECT_NEAR(catcher->last().realForKey("value"), 0.75, 1e-5);
  EXPECT_EQ(catcher->last().objectForKey("sender").get(), s.get());
  window->click({70, 65});
  EXPECT_NEAR(s->value(), 0.125f, 1e-5);
  expectSentValuesInRange();
}

TEST_F(Sliders, ADragThatLeavesEndsAndOneThatComesBackJumps) {
  Ref<QELCSlider> s = slider(0.5f);
  window->cursorEvent({100, 65}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_TRUE(s->dragging());
  window->cursorEvent({138, 65}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_NEAR(s->value(), 0.975f, 1e-5);
  window->cursorEvent({300, 65}, kOGLButtonLeft, kOGLActionPress);  // left the slider
  window->frame();
  EXPECT_FALSE(s->dragging());
  EXPECT_LE(s->value(), 1);
  window->cursorEvent({80, 65}, kOGLButtonLeft, kOGLActionPress);  // back, on the track away from the knob
  window->frame();
  EXPECT_NEAR(s->value(), 0.25f, 1e-5);
  expectSentValuesInRange();
}

TEST_F(Sliders, AValueSetOutsideIsClampedAtTheNextFrameSilently) {
  struct Case {
    float set, expected;
  } cases[] = {{5, 1}, {-2, 0}, {NAN, 0}, {0.25f, 0.25f}};
  Ref<QELCSlider> s = slider(0);
  for (const Case& c : cases) {
    s->setValue(c.set);
    window->frame();
    EXPECT_FLOAT_EQ(s->value(), c.expected) << c.set;
  }
  EXPECT_TRUE(catcher->messages.empty());
  // A drag far past the end reports 1, never more.
  s->setValue(0.9f);
  window->frame();
  window->drag({50 + 10 + 72, 65}, {148, 65}, 1);
  expectSentValuesInRange();
  EXPECT_FLOAT_EQ(s->preferredSizeWithWindow(window.get()).w, 102);
  EXPECT_FLOAT_EQ(s->preferredSizeWithWindow(window.get()).h, 22);
}

TEST_F(ValueControls, ALabelWrapsOnlyWithAWidthAndPadsUnlessPlain) {
  const std::string text = "one two three four five six seven";
  Ref<QELCLabel> label = place(QELCLabel::widgetWithAlignment(0x11, text));
  OGLTSize line = label->preferredSizeWithWindow(window.get());
  label->setWidth(80);
  OGLTSize wrapped = label->preferredSizeWithWindow(window.get());
  EXPECT_LT(wrapped.w, line.w);
  EXPECT_GT(wrapped.h, line.h);
  EXPECT_LE(wrapped.w, 80 - 2 * 6 + 2 * 6 + 2 + 1);
  label->setWidth(-1);
  label->setFlags(kQELControlPlain);
  OGLTSize plain = label->preferredSizeWithWindow(window.get());
  EXPECT_NEAR(line.w - plain.w, 14, 1);  // 2 × max(cornerRadius, padding) + 2
  EXPECT_FLOAT_EQ(QELCLabel::widgetWithAlignment(0x11, "")->preferredSizeWithWindow(window.get()).w, 14);
  EXPECT_FLOAT_EQ(label->preferredSizeWithWindow(nullptr).w, 0);
}

TEST_F(ValueControls, SeparatorsAndSpacersTakeNoInput) {
  Ref<QELCSeparator> sep = place(QELCSeparator::widgetWithSize({100, 8}, {0, 0}));
  Ref<QELCSpacer> spacer = place(QELCSpacer::widgetWithSize({100, 8}, {0, 20}));
  window->moveTo({50, 4});
  window->moveTo({50, 24});
  EXPECT_FALSE(sep->hovered());
  EXPECT_FALSE(spacer->hovered());
  EXPECT_NE(dynamic_cast<QELPSpacer*>(spacer.get()), nullptr);
}

// Graphs.
QELTGraphSetup setup(int32_t kind, uint32_t capacity, float min, float max, bool dynamic = false, bool mean = false) {
  return {kind, {0, 1, 0, 1}, capacity, min, max, mean, dynamic};
}

TEST(Graph, TheRingKeepsTheLastSamplesAndTheMeanCountsOnlyWritten) {
  QELTGraphSetup s = setup(3, 10, 0, 100, false, true);
  Ref<QELCGraph> g = QELCGraph::widgetWithSize({100, 40}, {0, 0}, &s, "count");
  for (float v : {3.0f, 6.0f, 9.0f}) g->sync(v);
  EXPECT_FLOAT_EQ(QELFGraphComputeAverage(&g->record()), 6);
  EXPECT_EQ(g->record().position, 3u);
  for (int i = 0; i < 7; ++i) g->sync(1);
  EXPECT_TRUE(g->record().full);
  EXPECT_EQ(g->record().position, 0u);
  EXPECT_FLOAT_EQ(QELFGraphComputeAverage(&g->record()), 2.5f);
  char first[64], second[64];
  ASSERT_TRUE(g->valueTexts(first, second));
  EXPECT_STREQ(first, "2");
}

// An address space too small for the samples: the factory answers null rather than throwing.
// The sanitizers' allocators end the process on a failed allocation, so they cannot run it.
TEST(Graph, ACapacityThatCannotBeAllocatedMakesNoGraph) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' allocators do not fail an allocation";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
  GTEST_SKIP() << "the sanitizers' allocators do not fail an allocation";
#endif
#endif
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &before), 0);
  unsigned long pages = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  ASSERT_NE(statm, nullptr);
  ASSERT_EQ(std::fscanf(statm, "%lu", &pages), 1);
  std::fclose(statm);
  // A gigabyte beyond what the process holds now; the samples would take 16.
  rlimit tight = before;
  tight.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{1} << 30);
  if (before.rlim_cur != RLIM_INFINITY) tight.rlim_cur = std::min(tight.rlim_cur, before.rlim_cur);
  ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
  QELTGraphSetup s = setup(3, std::numeric_limits<uint32_t>::max(), 0, 100);
  Ref<QELCGraph> huge;
  bool threw = false;
  try {
    huge = QELCGraph::widgetWithSize({100, 40}, {0, 0}, &s, "huge");
  } catch (...) {
    threw = true;
  }
  ASSERT_EQ(setrlimit(RLIMIT_AS, &before), 0);
  EXPECT_FALSE(threw);
  EXPECT_EQ(huge, nullptr);
  QELTGraphSetup small = setup(3, 10, 0, 100);
  EXPECT_NE(QELCGraph::widgetWithSize({100, 40}, {0, 0}, &small, "small"), nullptr);
}

TEST(Graph, ADynamicRangeIsRecomputedAtEveryWrap) {
  struct Case {
    float sample, min, max;
  } cases[] = {{10, 7.5f, 12.5f}, {-4, -3, 1.25f * std::numeric_limits<float>::min()}};
  for (const Case& c : cases) {
    QELTGraphSetup s = setup(4, 4, 0, 1, true);
    Ref<QELCGraph> g = QELCGraph::widgetWithSize({100, 40}, {0, 0}, &s, "");
    for (int i = 0; i < 4; ++i) g->sync(c.sample);
    EXPECT_FLOAT_EQ(g->record().setup.min, c.min) << c.sample;
    EXPECT_FLOAT_EQ(g->record().setup.max, c.max) << c.sample;
  }
}

// Samples that are not finite are left out of the range, so it stays a pair of numbers.
TEST(Graph, TheRangeIgnoresSamplesThatAreNotFinite) {
  QELTGraphSetup s = setup(4, 4, 0, 1, true);
  Ref<QELCGraph> g = QELCGraph::widgetWithSize({100, 40}, {0, 0}, &s, "");
  for (float v : {NAN, std::numeric_limits<float>::infinity(), 8.0f, -std::numeric_limits<float>::infinity()})
    g->sync(v);
  EXPECT_FLOAT_EQ(g->record().setup.min, 6);
  EXPECT_FLOAT_EQ(g->record().setup.max, 10);
  for (float v : {1.0f, 2.0f, 3.0f, 4.0f}) EXPECT_TRUE(std::isfinite(g->fraction(v)));
}

TEST(Graph, HeightFractionsStayWithinTheBoundsForAnySample) {
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    QELTGraphSetup setup;
    float sample, expected;
  } cases[] = {
      {setup(2, 4, 0, 100), 150, 1},      {setup(2, 4, 0, 100), -5, 0},          {setup(1, 4, 0, 0.1f), 0.05f, 0.5f},
      {setup(4, 4, 5, 5), 5, 0},          {setup(4, 4, 0, 10, true), 20, 1},     {setup(3, 4, 0, 10), NAN, 0},
      {setup(3, 4, 0, 10, true), inf, 0}, {setup(0, 4, 0, 60), 1 / 30.0f, 0.5f}, {setup(0, 4, 0, 60), -0.00001f, 1},
  };
  for (const Case& c : cases) {
    Ref<QELCGraph> g = QELCGraph::widgetWithSize({100, 40}, {0, 0}, &c.setup, "");
    float f = g->fraction(c.sample);
    EXPECT_GE(f, 0);
    EXPECT_LE(f, 1);
    EXPECT_NEAR(f, c.expected, 1e-3) << c.setup.kind << " " << c.sample;
  }
}

TEST(Graph, ValueTextsFollowTheKind) {
  struct Case {
    int32_t kind;
    const char* units;
    float sample;
    const char *first, *second;
  } cases[] = {{0, "", 0.02f, "50.00 FPS", "20.00 ms"},
               {1, "", 0.0125f, "12.50 ms", ""},
               {2, "", 42.25f, "42.2 %", ""},
               {4, "", 1.5f, "1.50", ""},
               {4, "kg", 1.5f, "1.50 kg", ""}};
  for (const Case& c : cases) {
    QELTGraphSetup s = setup(c.kind, 4, 0, 100);
    Ref<QELCGraph> g = QELCGraph::widgetWithSize({100, 40}, {0, 0}, &s, "");
    g->setUnits(c.units);
    g->sync(c.sample);
    char first[64], second[64];
    ASSERT_TRUE(g->valueTexts(first, second));
    EXPECT_STREQ(first, c.first);
    EXPECT_STREQ(second, c.second);
  }
  QELTGraphSetup other = setup(9, 4, 0, 1);
  char first[64], second[64];
  EXPECT_FALSE(QELCGraph::widgetWithSize({100, 40}, {0, 0}, &other, "")->valueTexts(first, second));
}

// Capacity 0 and 1 (and no setup at all) neither divide by zero nor read past the ring.
TEST_F(ValueControls, SmallGraphsDrawSoundly) {
  QELTGraphSetup none = setup(2, 0, 0, 100), one = setup(2, 1, 0, 100);
  Ref<QELCGraph> empty = place(QELCGraph::widgetWithSize({60, 40}, {0, 0}, &none, "none"));
  Ref<QELCGraph> single = place(QELCGraph::widgetWithSize({60, 40}, {100, 0}, &one, ""));
  Ref<QELCGraph> null = place(QELCGraph::widgetWithSize({60, 40}, {200, 0}, nullptr, ""));
  empty->sync(50);
  single->sync(100);
  single->sync(100);
  null->sync(1);
  window->frame();
  EXPECT_EQ(empty->record().position, 0u);
  EXPECT_TRUE(single->record().full);
  // The single sample fills the whole width at full height.
  EXPECT_GT(window->pixel(102, 35)[1], 200);
  EXPECT_GT(window->pixel(157, 35)[1], 200);
}

TEST_F(ValueControls, AGraphDrawsOnlyItsBackgroundBeforeTheFirstSample) {
  QELTGraphSetup s = setup(2, 10, 0, 100);
  Ref<QELCGraph> g = place(QELCGraph::widgetWithSize({100, 40}, {0, 0}, &s, ""));
  window->frame();
  auto before = window->pixel(95, 35);
  EXPECT_LT(before[1], 100);
  for (int i = 0; i < 3; ++i) g->sync(100);
  window->frame();
  // Seven zero samples first, then three full ones at the right.
  EXPECT_GT(window->pixel(95, 35)[1], 200);
  EXPECT_EQ(window->pixel(20, 35), before);
}

// Ten samples to a pixel column: the columns are drawn at their highest sample, so one spike
// among a thousand low samples still reaches the top, where it fell; the rest stay low.
TEST_F(ValueControls, AGraphWithMoreSamplesThanColumnsKeepsItsSpikes) {
  QELTGraphSetup s = setup(2, 1000, 0, 100);
  Ref<QELCGraph> g = place(QELCGraph::widgetWithSize({100, 40}, {0, 0}, &s, ""));
  for (int i = 0; i < 1000; ++i) g->sync(i == 500 ? 100.0f : 10.0f);
  window->frame();
  auto green = [&](int x, int y) { return static_cast<int>(window->pixel(x, y)[1]); };
  const int background = green(25, 10);
  int spike = 0;
  for (int x = 45; x <= 55; ++x) spike = std::max(spike, green(x, 10));
  EXPECT_GT(spike, background + 50) << "the spike, near the middle, three quarters up";
  EXPECT_EQ(green(75, 10), background);
  EXPECT_GT(green(25, 38), 150) << "the low samples";
  EXPECT_GT(green(75, 38), 150);
}

// Pixels: a hovered control draws brighter, a tinted one towards white.
TEST_F(ValueControls, HoverBrightensAndTintWhitens) {
  Ref<QELCButton> button = place(QELCButton::widgetWithSize({100, 30}, {50, 50}, "push"));
  window->moveTo({300, 250});
  auto idle = window->pixel(100, 51);  // the top edge of the outline
  window->moveTo({100, 65});
  auto hovered = window->pixel(100, 51);
  EXPECT_GT(hovered[3], idle[3]);
  Ref<QELCCheckbox> box = place(QELCCheckbox::widgetWithSize({100, 30}, {50, 150}, "check"));
  window->frame();
  auto solid = window->pixel(61, 165);  // inside the square, panel colour
  box->setOpacity(0.25f);
  window->frame();
  auto tinted = window->pixel(61, 165);
  EXPECT_GT(tinted[0], solid[0] + 50);
}

}  // namespace
