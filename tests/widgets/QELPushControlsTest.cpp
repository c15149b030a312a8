// The push controls: which cursor records they take and what they send, radio groups, the
// press flash, the segmented button's segments and the symbol's icon text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "tests/widgets/QELControlTestKit.h"
#include "ui/widgets/QELBButton.h"
#include "ui/widgets/QELBCheckbox.h"
#include "ui/widgets/QELBRadiobox.h"
#include "ui/widgets/QELBSegmentedButton.h"
#include "ui/widgets/QELBSymbol.h"
#include "ui/widgets/QELBToggle.h"

namespace {

constexpr OGLTSize kSize = {100, 30};
constexpr OGLTPoint kAt = {50, 50};

// Each push control, made with its onClick set.
struct Maker {
  const char* name;
  std::function<Ref<QELBControl>(Ref<LLKCMessage>)> make;
  const char* key;  // the detail besides "sender", or null
  double value;     // its value after one click at the centre
};

const Maker kMakers[] = {
    {"checkbox",
     [](Ref<LLKCMessage> m) {
       auto c = QELCCheckbox::widgetWithSize(kSize, kAt, "check");
       c->setOnClick(m);
       return Ref<QELBControl>(c);
     },
     "value", 1},
    {"radiobox",
     [](Ref<LLKCMessage> m) {
       auto c = QELCRadiobox::widgetWithSize(kSize, kAt, "radio");
       c->setOnClick(m);
       return Ref<QELBControl>(c);
     },
     "value", 1},
    {"button",
     [](Ref<LLKCMessage> m) {
       auto c = QELCButton::widgetWithSize(kSize, kAt, "push");
       c->setOnClick(m);
       return Ref<QELBControl>(c);
     },
     nullptr, 0},
    {"symbol",
     [](Ref<LLKCMessage> m) {
       auto c = QELCSymbol::widgetWithSize(kSize, kAt, nullptr, 0xE800u);
       c->setOnClick(m);
       return Ref<QELBControl>(c);
     },
     nullptr, 0},
    {"toggle",
     [](Ref<LLKCMessage> m) {
       auto c = QELCToggle::widgetWithSize(kSize, kAt, "on", "off");
       c->setOnClick(m);
       return Ref<QELBControl>(c);
     },
     "value", 1},
    {"segmented",
     [](Ref<LLKCMessage> m) {
       auto c = QELCSegmentedButton::widgetWithSize(kSize, kAt, {"a", "bbb", "cc"});
       c->setOnClick(m);
       return Ref<QELBControl>(c);
     },
     "selected", 1},
};

using PushControls = ControlTest;

TEST_F(PushControls, EachTakesOnlyRecordsInsideItsInnerRectAndSendsOnAClick) {
  enum Gesture { kClick, kPressOnly, kReleaseAfterLeaving };
  struct Case {
    const char* what;
    Gesture gesture;
    OGLTPoint point;
    bool sends, hovered;
  } cases[] = {
      {"centre", kClick, {100, 65}, true, true},
      {"just inside", kClick, {51.4f, 65}, true, true},
      {"just outside", kClick, {50.4f, 65}, false, false},
      {"press only", kPressOnly, {100, 65}, false, true},
      {"release after leaving", kReleaseAfterLeaving, {100, 65}, false, false},
  };
  for (const Maker& maker : kMakers) {
    for (const Case& c : cases) {
      Ref<QELBControl> control = place(maker.make(LLKCMessage::messageWithCode(42)));
      catcher->messages.clear();
      switch (c.gesture) {
        case kClick:
          window->click(c.point);
          break;
        case kPressOnly:
          window->cursorEvent(c.point, kOGLButtonLeft, kOGLActionPress);
          window->frame();
          break;
        case kReleaseAfterLeaving:
          window->drag(c.point, {300, 250});
          break;
      }
      SCOPED_TRACE(std::string(maker.name) + ": " + c.what);
      EXPECT_EQ(control->hovered(), c.hovered);
      ASSERT_EQ(catcher->messages.size(), c.sends ? 1u : 0u);
      if (c.sends) {
        const LLKCDictionary& details = catcher->last();
        EXPECT_EQ(catcher->messages.back()->codeValue(), 42u);
        EXPECT_EQ(details.objectForKey("sender").get(), control.get());
        // Just inside the edge is outside every segment: the selection stays 0 there.
        if (maker.key && std::string(maker.key) == "selected") {
          EXPECT_EQ(details.sintForKey(maker.key, -9), c.point.x == 100 ? static_cast<int64_t>(maker.value) : 0);
        } else if (maker.key) {
          EXPECT_EQ(details.boolForKey(maker.key, false), maker.value != 0);
        }
      }
      catcher->detach(control);
      window->frame();
    }
  }
}

TEST_F(PushControls, NothingIsSentWithoutATemplate) {
  for (const Maker& maker : kMakers) {
    Ref<QELBControl> control = place(maker.make(nullptr));
    window->click({100, 65});
    EXPECT_TRUE(catcher->messages.empty()) << maker.name;
    catcher->detach(control);
  }
}

TEST_F(PushControls, ACheckboxSendsEachNewValueButNotForSetValue) {
  Ref<QELCCheckbox> box = QELCCheckbox::widgetWithSize(kSize, kAt, "check");
  box->setOnClick(LLKCMessage::messageWithCode(1));
  place(box);
  box->setValue(true);
  box->setValue(false);
  EXPECT_TRUE(catcher->messages.empty());
  window->click({100, 65});
  window->click({100, 65});
  ASSERT_EQ(catcher->messages.size(), 2u);
  EXPECT_TRUE(catcher->messages[0]->details().boolForKey("value", false));
  EXPECT_FALSE(catcher->messages[1]->details().boolForKey("value", true));
}

TEST_F(PushControls, ARadioboxClearsOnlyItsSiblings) {
  Ref<Catcher> other = Catcher::make({100, 100});
  other->setPosition({250, 150});
  ASSERT_TRUE(window->attach(other));
  Ref<QELCRadiobox> a = QELCRadiobox::widgetWithSize(kSize, {50, 10}, "a");
  Ref<QELCRadiobox> b = QELCRadiobox::widgetWithSize(kSize, {50, 50}, "b");
  Ref<QELCRadiobox> elsewhere = QELCRadiobox::widgetWithSize(kSize, {0, 0}, "c");
  b->setOnClick(LLKCMessage::messageWithCode(1));
  place(a);
  place(b);
  other->attach(elsewhere);
  a->setValue(true);
  elsewhere->setValue(true);
  window->click({100, 65});
  EXPECT_TRUE(b->value());
  EXPECT_FALSE(a->value());
  EXPECT_TRUE(elsewhere->value());
  ASSERT_EQ(catcher->messages.size(), 1u);
  window->click({100, 65});  // already selected: nothing changes, nothing is sent
  EXPECT_EQ(catcher->messages.size(), 1u);
  a->setValue(true);  // setting clears the siblings too, silently
  EXPECT_FALSE(b->value());
  EXPECT_EQ(catcher->messages.size(), 1u);
}

TEST_F(PushControls, ThePressFlashLastsATenthOfASecondOfFrames) {
  Ref<QELCButton> button = place(QELCButton::widgetWithSize(kSize, kAt, "push"));
  Ref<QELCSymbol> symbol = place(QELCSymbol::widgetWithSize(kSize, {50, 100}, nullptr, 0xE800u));
  Ref<QELCSegmentedButton> segmented = place(QELCSegmentedButton::widgetWithSize(kSize, {50, 150}, {"a", "b"}));
  struct Case {
    std::function<bool()> pressed;
    OGLTPoint at;
  } cases[] = {{[&] { return button->pressed(); }, {100, 65}},
               {[&] { return symbol->pressed(); }, {100, 115}},
               {[&] { return segmented->pressed(); }, {70, 165}}};
  for (const Case& c : cases) {
    window->cursorEvent(c.at, kOGLButtonLeft, kOGLActionPress);
    window->frame(0.05f);
    EXPECT_FALSE(c.pressed());
    window->cursorEvent(c.at, kOGLButtonLeft, kOGLActionRelease);
    window->frame(0.05f);  // the click, then 0.05 s counted
    EXPECT_TRUE(c.pressed());
    window->frame(0.04f);
    EXPECT_TRUE(c.pressed());
    window->frame(0.02f);
    EXPECT_FALSE(c.pressed());
  }
}

TEST_F(PushControls, ASymbolConsumesOnlyTheRelease) {
  Ref<QELCSymbol> symbol = place(QELCSymbol::widgetWithSize(kSize, kAt, nullptr, 0xE800u));
  EXPECT_FALSE(symbol->onInputWithCursor({kOGLButtonLeft, kOGLActionPress, 0, {100, 65}}));
  EXPECT_TRUE(symbol->onInputWithCursor({kOGLButtonLeft, kOGLActionRelease, 0, {100, 65}}));
  EXPECT_TRUE(symbol->round());
  EXPECT_FLOAT_EQ(symbol->scale(), 1);
  EXPECT_STREQ(symbol->fontName(), "symbols");
  Ref<QELCSymbol> big = QELCSymbol::widgetWithSize(kSize, kAt, &QELBSymbol::kSetupSymbol, "OK");
  EXPECT_FALSE(big->round());
  EXPECT_FLOAT_EQ(big->scale(), 2);
  EXPECT_EQ(big->fontName(), nullptr);
}

// The icon text is always valid UTF-8: code points without a UTF-8 form become U+FFFD.
TEST(Symbol, IconTextsAreValidUtf8) {
  struct Case {
    uint32_t icon;
    const char* text;
  } cases[] = {{0x41, "A"},
               {0xE800, "\xEE\xA0\x80"},
               {0x10FFFF, "\xF4\x8F\xBF\xBF"},
               {0x110000, "\xEF\xBF\xBD"},
               {0xD800, "\xEF\xBF\xBD"},
               {0xFFFFFFFF, "\xEF\xBF\xBD"}};
  Ref<QELCSymbol> symbol = QELCSymbol::widgetWithSize(kSize, kAt, nullptr, 0u);
  for (const Case& c : cases) {
    symbol->setIcon(c.icon);
    EXPECT_EQ(symbol->icon(), c.icon);
    EXPECT_STREQ(symbol->iconText(), c.text) << std::hex << c.icon;
  }
}

TEST_F(PushControls, SegmentsSelectOnlyWhatTheyHold) {
  EXPECT_EQ(QELFSegmentedButtonFindLongestLabel({"a", "bbb", "cc"}), 1u);
  EXPECT_EQ(QELFSegmentedButtonFindLongestLabel({"ab", "cd"}), 0u);
  EXPECT_EQ(QELFSegmentedButtonFindLongestLabel({}), 0u);
  Ref<QELCSegmentedButton> s = QELCSegmentedButton::widgetWithSize(kSize, kAt, {"a", "bbb", "cc"});
  s->setOnClick(LLKCMessage::messageWithCode(1));
  place(s);
  s->setSelected(3);
  EXPECT_EQ(s->selected(), 0);
  s->setSelected(-1);
  EXPECT_EQ(s->selected(), -1);
  s->setSelected(2);
  // Segments of round-even(96 / 3) = 32 from the inner left; the last ends at the inner right.
  EXPECT_FLOAT_EQ(s->segment(0).left, 1);
  EXPECT_FLOAT_EQ(s->segment(1).left, 33);
  EXPECT_FLOAT_EQ(s->segment(2).right, 99);
  window->click({50 + 33, 65});  // on the edge between the first two segments
  EXPECT_EQ(catcher->last().sintForKey("selected", -9), 2);
  window->click({50 + 20, 65});
  EXPECT_EQ(catcher->last().sintForKey("selected", -9), 0);
}

// A segmented button without labels divides by nothing and selects nothing.
TEST_F(PushControls, ASegmentedButtonWithoutLabelsStaysSound) {
  Ref<QELCSegmentedButton> s = QELCSegmentedButton::widgetWithSize(kSize, kAt, {});
  s->setOnClick(LLKCMessage::messageWithCode(1));
  place(s);
  EXPECT_EQ(s->selected(), -1);
  EXPECT_FLOAT_EQ(s->preferredSizeWithWindow(window.get()).w, 0);
  window->click({100, 65});
  EXPECT_EQ(catcher->last().sintForKey("selected", -9), -1);
}

TEST_F(PushControls, AToggleSlidesItsKnobAtEightPerSecond) {
  Ref<QELCToggle> t = place(QELCToggle::widgetWithSize(kSize, kAt, "on", "off"));
  t->setValue(true);
  window->frame(0.0625f);
  EXPECT_NEAR(t->knob(), 0.5f, 1e-5);
  window->frame(0.1f);
  EXPECT_FLOAT_EQ(t->knob(), 1);
  window->click({100, 65});
  EXPECT_FALSE(t->value());
}

TEST_F(PushControls, PreferredSizesAreEvenAndZeroWithoutAWindow) {
  for (const Maker& maker : kMakers) {
    Ref<QELBControl> control = maker.make(nullptr);
    OGLTSize none = control->preferredSizeWithWindow(nullptr);
    EXPECT_EQ(none.w, 0) << maker.name;
    EXPECT_EQ(none.h, 0) << maker.name;
    OGLTSize s = control->preferredSizeWithWindow(window.get());
    EXPECT_GT(s.w, 0) << maker.name;
    EXPECT_EQ(static_cast<int>(s.w) % 2, 0) << maker.name;
    EXPECT_EQ(static_cast<int>(s.h) % 2, 0) << maker.name;
    EXPECT_EQ(s.w, std::round(s.w)) << maker.name;
  }
}

// The label's text bounds in the standard text setting plus each control's margins, rounded to
// whole pixels (halves away from zero) and raised to even.
TEST_F(PushControls, PreferredSizesAreTheLabelsTextAndTheControlsMargins) {
  QELTControlDrawing d = QELFControlDrawingOf(window.get());
  ASSERT_TRUE(d);
  QELFControlStandardText(d.ctx, *d.tweaks);
  const float frame = 4 * std::max(d.tweaks->cornerRadius, d.tweaks->padding) + 1;
  auto even = [](float v) {
    const float whole = std::round(v);
    return std::fmod(whole, 2.0f) != 0 ? whole + 1 : whole;
  };
  const OGLTSize longest = QELFControlTextSize(d.ctx, "bbbb");
  const struct Case {
    const char* name;
    Ref<QELBControl> control;
    const char* label;    // the text measured
    float width, height;  // added to its bounds
    float segments;       // the segmented button's width is per segment
  } cases[] = {
      {"checkbox", QELCCheckbox::widgetWithSize(kSize, kAt, "check me"), "check me", 29, 4, 1},
      {"radiobox", QELCRadiobox::widgetWithSize(kSize, kAt, "radio"), "radio", 28, 8, 1},
      {"button", QELCButton::widgetWithSize(kSize, kAt, "Push it"), "Push it", frame, frame, 1},
      {"toggle, the longer label", QELCToggle::widgetWithSize(kSize, kAt, "on", "offish"), "offish", 58, 3, 1},
      {"toggle, label 1 of two as long", QELCToggle::widgetWithSize(kSize, kAt, "abc", "WWW"), "WWW", 58, 3, 1},
      {"segmented", QELCSegmentedButton::widgetWithSize(kSize, kAt, {"a", "bbbb", "cc"}), "bbbb", 2 * d.tweaks->padding,
       frame, 3},
  };
  for (const Case& c : cases) {
    const OGLTSize text = QELFControlTextSize(d.ctx, c.label);
    const OGLTSize got = c.control->preferredSizeWithWindow(window.get());
    const float width = c.segments > 1 ? (longest.w + c.width) * c.segments + frame : text.w + c.width;
    EXPECT_EQ(got.w, even(width)) << c.name;
    EXPECT_EQ(got.h, even(text.h + c.height)) << c.name;
  }
}

}  // namespace
