// The conversation feed: entries stacked in the content, user bubbles held at the right edge,
// widgets only for the entries in view, a viewport that stays where the user put it, and the
// view's title menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/ctm/VSKFConversationBubbles.h"
#include "framework/substrate/MRKCString.h"
#include "ui/widgets/QELBRadiobox.h"
#include "tests/app/ConversationWindow.h"
#include "tests/ctm_views/ViewMenuLabels.h"
#include "ui/widgets/QELBTextbox.h"

namespace {

class ConversationFeedTest : public ::testing::Test, public ConversationWindow {
protected:
  void SetUp() override { ASSERT_TRUE(open()); }
  void TearDown() override { close(); }
  Ref<VSKCConversationEntry> append(uint32_t speaker, OGLTSize size) {
    return feed().VSKFConversationAppendBubble(size, MRKCString::stringWithValue("x"), {speaker, kVSKEntryMessage, 0},
                                               0, nullptr);
  }
  void say(uint32_t speaker, const std::string& text) {
    ASSERT_TRUE(feed().VSKFConversationAppendMessage({speaker, kVSKEntryMessage, 0}, 0, text, nullptr));
  }
  // The widgets of the class under the root (itself included), in tree order.
  template <typename T>
  static std::vector<T*> widgetsOf(QELBWidget* root) {
    std::vector<T*> found;
    std::function<void(QELBWidget*)> look = [&](QELBWidget* widget) {
      if (auto* match = dynamic_cast<T*>(widget)) found.push_back(match);
      if (auto* parent = dynamic_cast<QELBParent*>(widget))
        for (const Ref<QELBWidget>& child : parent->childs()) look(child.get());
    };
    look(root);
    return found;
  }
  size_t wraps() {
    size_t count = 0;
    for (const Ref<VSKCConversationEntry>& entry : record().entries) count += entry->wrap() ? 1 : 0;
    return count;
  }
};

TEST_F(ConversationFeedTest, EntriesStackDownwardsAndUserBubblesKeepToTheRightEdge) {
  Ref<VSKCConversationEntry> ctm = append(kVSKSpeakerCTM, {100, 40});
  Ref<VSKCConversationEntry> user = append(kVSKSpeakerUser, {200, 60});
  EXPECT_EQ(ctm->frame().top, 10);
  EXPECT_EQ(ctm->frame().left, 10);
  EXPECT_EQ(user->frame().top, 56);
  EXPECT_EQ(record().canvas->content().h, 10 + 46 + 66);
  EXPECT_EQ(user->frame().left, 640 - 10 - 200);
  record().canvas->setContent({800, record().canvas->content().h});
  feed().VSKFConversationFeedSyncUp();
  EXPECT_EQ(user->frame().left, 590);
  ASSERT_TRUE(user->wrap());
  EXPECT_EQ(user->wrap()->position().x, 590);
}

TEST_F(ConversationFeedTest, AShortMessageIsMeasuredOnceIntoAtLeastTheSmallestBubble) {
  say(kVSKSpeakerCTM, "hi");
  const VSKCConversationEntry& entry = *record().entries.back();
  EXPECT_GE(entry.width(), 128);
  EXPECT_GE(entry.height(), 48);
  EXPECT_LT(entry.contentSize().w, 128);  // the measure itself is kept, not the raised size
}

TEST_F(ConversationFeedTest, OnlyTheEntriesInViewHaveWidgetsAndTheyComeBackTheSame) {
  for (int i = 0; i < 40; ++i) say(i % 2 ? kVSKSpeakerUser : kVSKSpeakerCTM, "message " + std::to_string(i));
  window->frame();
  size_t shown = wraps();
  EXPECT_GT(shown, 0u);
  EXPECT_LT(shown, 40u);
  EXPECT_TRUE(record().vbar->visible());
  const Ref<VSKCConversationEntry> first = record().entries.front();
  // Home shows the first bubble, End the last.
  record().vbar->setScroll(0);
  (void)record().vbar->trigger();
  ASSERT_TRUE(first->wrap());
  OGLTSize size = first->wrap()->size();
  record().vbar->setScroll(1);
  (void)record().vbar->trigger();
  EXPECT_FALSE(first->wrap());
  EXPECT_TRUE(record().entries.back()->wrap());
  record().vbar->setScroll(0);
  (void)record().vbar->trigger();
  ASSERT_TRUE(first->wrap());
  EXPECT_EQ(first->wrap()->size().w, size.w);
  EXPECT_EQ(first->wrap()->size().h, size.h);
}

TEST_F(ConversationFeedTest, AppendingKeepsTheViewportWhereTheUserScrolledIt) {
  for (int i = 0; i < 40; ++i) say(kVSKSpeakerCTM, "message " + std::to_string(i));
  window->frame();
  record().vbar->setScroll(0.5f);
  (void)record().vbar->trigger();
  window->frame();
  float where = record().canvas->offset().y;
  say(kVSKSpeakerCTM, "one more");
  window->frame();
  EXPECT_EQ(record().canvas->offset().y, where);
  // At the end, the end stays in view.
  record().vbar->setScroll(1);
  (void)record().vbar->trigger();
  window->frame();
  say(kVSKSpeakerCTM, "and another");
  window->frame();
  OGLTSize canvas = record().canvas->size();
  EXPECT_EQ(record().canvas->offset().y + canvas.h, record().canvas->content().h);
}

// A full feed whose oldest entry is 300 high, the others 40: one more lets the oldest go, and
// the viewport moves up by the room it took, so that it keeps showing what it showed (or the
// feed's start, when it showed the one let go). Near the end, the content shrinks by more than
// the new entry added: the viewport must not be held within the shorter content first.
TEST_F(ConversationFeedTest, LettingTheOldestGoKeepsWhatTheViewportShowed) {
  struct Case {
    const char* what;
    float aboveEnd;  // how far the viewport's bottom stands above the content's end
  };
  const Case cases[] = {
      {"at the start", 1e6f},
      {"in the middle", 10000},
      {"a little above the end", 100},
  };
  constexpr float kOldest = 300, kOthers = 40, kRoom = kOldest + kVSKFeedGap;
  for (const Case& c : cases) {
    feed().VSKFConversationFeedClear();
    (void)append(kVSKSpeakerCTM, {100, kOldest});
    while (record().entries.size() < kVSKFeedCapacity) (void)append(kVSKSpeakerCTM, {100, kOthers});
    window->frame();
    const OGLTSize canvas = record().canvas->size();
    const float content = record().canvas->content().h;
    record().vbar->setScroll((content - canvas.h * 0.5f - c.aboveEnd) / content);
    (void)record().vbar->trigger();
    window->frame();
    const float before = record().canvas->offset().y;
    ASSERT_LT(before + canvas.h, record().canvas->content().h) << c.what << ": not at the end";
    (void)append(kVSKSpeakerCTM, {100, kOthers});
    window->frame();
    ASSERT_EQ(record().entries.size(), kVSKFeedCapacity) << c.what;
    EXPECT_EQ(record().canvas->offset().y, std::max(0.0f, before - kRoom)) << c.what;
    for (const Ref<VSKCConversationEntry>& entry : record().entries)
      EXPECT_EQ(static_cast<bool>(entry->wrap()), feed().VSKFConversationFeedIsVisible(*entry)) << c.what;
  }
}

// Three entries 40, 60 and 30 high; taking one out or giving it a new height moves the later
// ones (and their wraps) and the content's end by the same amount, and leaves the earlier ones.
TEST_F(ConversationFeedTest, RemovingOrResizingAnEntryMovesOnlyTheLaterOnes) {
  struct Case {
    const char* what;
    bool remove;
    int index;                // -1: an entry that is not in the feed
    float height;             // the new height when resizing
    std::vector<float> tops;  // of the entries left, in order
    float contentChange;
  };
  const Case cases[] = {
      {"removing the middle one", true, 1, 0, {10, 56}, -66},
      {"removing the first", true, 0, 0, {10, 76}, -46},
      {"removing the last", true, 2, 0, {10, 56}, -36},
      {"removing one not in the feed", true, -1, 0, {10, 56, 122}, 0},
      {"growing the middle one", false, 1, 80, {10, 56, 142}, 20},
      {"shrinking the first", false, 0, 10, {10, 26, 92}, -30},
      {"resizing to the same height", false, 1, 60, {10, 56, 122}, 0},
      {"resizing one not in the feed", false, -1, 90, {10, 56, 122}, 0},
  };
  for (const Case& c : cases) {
    feed().VSKFConversationFeedClear();
    std::vector<Ref<VSKCConversationEntry>> three = {
        append(kVSKSpeakerCTM, {100, 40}), append(kVSKSpeakerUser, {200, 60}), append(kVSKSpeakerCTM, {100, 30})};
    window->frame();
    const float content = record().canvas->content().h;
    Ref<VSKCConversationEntry> stranger =
        VSKCConversationEntry::entryWithTerm(MRKCString::stringWithValue("x"), OGLTSize{100, 20});
    VSKCConversationEntry* entry = c.index < 0 ? stranger.get() : three[static_cast<size_t>(c.index)].get();
    if (c.remove) feed().VSKFConversationFeedRemove(entry);
    else feed().VSKFConversationFeedResize(entry, c.height);
    std::vector<float> tops;
    for (const Ref<VSKCConversationEntry>& e : record().entries) {
      tops.push_back(e->frame().top);
      if (e->wrap()) {
        EXPECT_EQ(e->wrap()->position().y, e->frame().top) << c.what;
      }
    }
    EXPECT_EQ(tops, c.tops) << c.what;
    EXPECT_EQ(record().canvas->content().h, content + c.contentChange) << c.what;
    if (c.remove && c.index >= 0) {
      EXPECT_FALSE(three[static_cast<size_t>(c.index)]->wrap()) << c.what;
      window->frame();  // the canvas lets detached children go at its next frame
      EXPECT_EQ(widgetsOf<QELBBubble>(record().canvas.get()).size(), 2u) << c.what;
    }
    if (!c.remove && c.index >= 0) {
      EXPECT_EQ(entry->height(), c.index == 1 ? 60 : 40) << c.what << ": own rect kept";
    }
  }
}

TEST_F(ConversationFeedTest, FindLastLooksBackForTheSpeakerKindAndContext) {
  const struct {
    uint32_t speaker, kind, ctx;
  } appended[] = {{kVSKSpeakerCTM, kVSKEntryMessage, 0},
                  {kVSKSpeakerUser, kVSKEntryMessage, 0},
                  {kVSKSpeakerUser, kVSKEntryMessage, kVSKEntryDistraction},
                  {kVSKSpeakerCTM, kVSKEntryPickOne, 0},
                  {kVSKSpeakerUser, kVSKEntryMessage, 0}};
  for (const auto& e : appended)
    ASSERT_TRUE(feed().VSKFConversationAppendBubble({100, 40}, MRKCString::stringWithValue("x"), {e.speaker, e.kind, 0},
                                                    e.ctx, nullptr));
  const struct {
    uint32_t speaker, kind, ctx;
    int32_t found;  // -1: none
  } cases[] = {{kVSKSpeakerUser, kVSKEntryMessage, 0, 4},
               {kVSKSpeakerUser, kVSKEntryMessage, kVSKEntryDistraction, 2},
               {kVSKSpeakerCTM, kVSKEntryPickOne, 0, 3},
               {kVSKSpeakerCTM, kVSKEntryMessage, 0, 0},
               {kVSKSpeakerCTM, kVSKEntryMessage, kVSKEntryDistraction, -1},
               {kVSKSpeakerUser, kVSKEntryPickOne, 0, -1}};
  for (const auto& c : cases) {
    int32_t index = -7;
    VSKCConversationEntry* entry = feed().VSKFConversationFeedFindLast({c.speaker, c.kind, 0}, c.ctx, &index);
    if (c.found < 0) {
      EXPECT_EQ(entry, nullptr);
      EXPECT_EQ(index, -7) << "the index is left alone";
    } else {
      EXPECT_EQ(entry, record().entries[static_cast<size_t>(c.found)].get());
      EXPECT_EQ(index, c.found);
    }
  }
  EXPECT_EQ(feed().VSKFConversationFeedFindLast({kVSKSpeakerCTM, kVSKEntryPickOne, 0}, 0, nullptr),
            record().entries[3].get());
}

TEST_F(ConversationFeedTest, TheActionsArePlacedAtTheAnchorsRightEdgeAndMiddle) {
  Ref<QELCGroup> actions = VSYFActionMake(view.get());
  ASSERT_TRUE(actions);
  ASSERT_TRUE(view->attach(Ref<QELBWidget>(actions)));
  // The canvas fills the view's space from its top left, so its right edge and middle are the
  // view's own coordinates of the canvas's width and half its height.
  const OGLTSize canvas = record().canvas->size(), size = actions->size();
  ASSERT_GT(size.h, 0);
  VSYFActionPlace(view.get(), record().canvas.get(), actions.get());
  // Widgets stand on whole pixels: the middle may round by up to one.
  EXPECT_NEAR(actions->position().x, canvas.w, 1.0f);
  EXPECT_NEAR(actions->position().y, canvas.h / 2 - size.h / 2, 1.0f);
}

// Following the newest message as the feed grows, under the window's own partial redrawing: the
// newest bubble shows whole above the horizontal bar, and nothing of the feed is drawn on the bar.
TEST_F(ConversationFeedTest, FollowingTheNewestShowsItWholeAndTheBarsStayClear) {
  window->setRedrawsOnRequest(true);
  for (int i = 0; i < 12; ++i) {
    say(kVSKSpeakerCTM, "message " + std::to_string(i) + " of a conversation that goes on");
    window->frame();
    window->frame();
    const VSKCConversationEntry& newest = *record().entries.back();
    ASSERT_TRUE(newest.wrap()) << i;
    QELBWidget& bubble = *newest.wrap();
    const OGLTRect shown{bubble.localToWorld({0, 0}).x, bubble.localToWorld({0, 0}).y,
                         bubble.localToWorld({bubble.size().w, 0}).x, bubble.localToWorld({0, bubble.size().h}).y};
    QELBScrollbar& hbar = *record().hbar;
    ASSERT_TRUE(hbar.visible()) << i << ": the content is wider than the view";
    const OGLTPoint bar = hbar.localToWorld({0, 0});
    EXPECT_LE(shown.bottom, bar.y) << i << ": the newest bubble's bottom lies under the bar";
    // Every row of the bar's band reads the same under the bubbles as beside them.
    const int beside = static_cast<int>(shown.right) + 20;
    for (int y = static_cast<int>(bar.y); y < static_cast<int>(bar.y + hbar.size().h); ++y)
      for (int x = static_cast<int>(shown.left); x < static_cast<int>(shown.right); ++x)
        ASSERT_EQ(window->pixel(x, y), window->pixel(beside, y))
            << i << ": the feed drawn on the bar at " << x << ", " << y;
  }
}

// Rolled up and down again from the title menu, again and again, the view comes back at its
// height with the feed scrolled where the user left it.
TEST_F(ConversationFeedTest, UnrollingRestoresTheHeightAndTheScroll) {
  for (int i = 0; i < 40; ++i) say(kVSKSpeakerCTM, "message " + std::to_string(i));
  window->frame();
  record().vbar->setScroll(0.5f);
  (void)record().vbar->trigger();
  window->frame();
  const float height = view->size().h, where = record().canvas->offset().y;
  ASSERT_GT(where, 0);
  // Opens the title menu and clicks its first item ("Roll-up" or "Unroll"); then frames of a
  // sixtieth of a second until the view rests in the state.
  auto choose = [&](uint32_t state) {
    view->onToggleMenu();
    window->frame();
    auto* menu = dynamic_cast<QELBParent*>(window->locate("term.menu"));
    ASSERT_TRUE(menu && !menu->childs().empty());
    auto* list = dynamic_cast<QELBParent*>(menu->childs()[0].get());
    ASSERT_TRUE(list && !list->childs().empty());
    QELBWidget* item = list->childs()[0].get();
    window->click(item->localToWorld({item->size().w / 2, item->size().h / 2}));
    for (int i = 0; i < 120 && view->rollState() != state; ++i) window->frame(1.0f / 60);
    ASSERT_EQ(view->rollState(), state);
  };
  for (int cycle = 0; cycle < 3; ++cycle) {
    choose(kQELRollRolledUp);
    choose(kQELRollOpen);
    window->frame();
    EXPECT_EQ(view->size().h, height) << "cycle " << cycle;
    EXPECT_EQ(record().canvas->offset().y, where) << "cycle " << cycle;
  }
}

// The first read-only text box shown in the widget's tree (a bubble's text), or null.
QELBTextbox* shownBubbleText(QELBWidget* widget) {
  if (auto* box = dynamic_cast<QELBTextbox*>(widget); box && (box->flags() & kQELTextboxReadOnly) && box->showing())
    return box;
  if (auto* parent = dynamic_cast<QELBParent*>(widget))
    for (const Ref<QELBWidget>& child : parent->childs())
      if (QELBTextbox* box = shownBubbleText(child.get())) return box;
  return nullptr;
}

// With the pointer over a bubble's text, the keys scroll the feed: the read-only text box,
// which does not have the keyboard, does not keep them.
TEST_F(ConversationFeedTest, KeysOverABubblesTextScrollTheFeed) {
  for (int i = 0; i < 40; ++i) say(kVSKSpeakerCTM, "message " + std::to_string(i));
  window->frame();
  record().vbar->setScroll(0.5f);
  (void)record().vbar->trigger();
  window->frame();
  const float end = record().canvas->content().h - record().canvas->size().h;
  struct Case {
    int32_t key;
    std::function<bool(float before, float after)> moved;
    const char* name;
  } cases[] = {
      {kOGLKeyEnd, [&](float, float after) { return after == end; }, "End"},
      {kOGLKeyUp, [](float before, float after) { return after < before; }, "Up"},
      {kOGLKeyDown, [](float before, float after) { return after > before; }, "Down"},
      {kOGLKeyHome, [](float, float after) { return after == 0; }, "Home"},
  };
  for (const Case& c : cases) {
    QELBTextbox* text = shownBubbleText(record().canvas.get());
    ASSERT_NE(text, nullptr);
    float before = record().canvas->offset().y;
    window->cursorEvent(text->localToWorld({text->size().w / 2, text->size().h / 2}));
    window->key(c.key, kOGLActionPress);
    window->frame();
    window->key(c.key, kOGLActionRelease);
    window->frame();
    window->frame();
    EXPECT_TRUE(c.moved(before, record().canvas->offset().y))
        << c.name << ": " << before << " to " << record().canvas->offset().y;
  }
}

// An option without text is not shown, so it takes no room: the bubble is as high as the one
// of the options that are shown.
TEST_F(ConversationFeedTest, APickOneIsSizedOverTheOptionsItShows) {
  auto height = [&](std::initializer_list<const char*> labels) {
    std::vector<Ref<MRKBTerm>> terms;
    for (const char* label : labels) terms.push_back(MRKCString::stringWithValue(label));
    EXPECT_TRUE(feed().VSKFConversationAppendPickOne({kVSKSpeakerCTM, kVSKEntryPickOne, 0}, 0, "Colour?",
                                                     MRKCList::listWithVector(terms), nullptr));
    return record().entries.back()->height();
  };
  EXPECT_EQ(height({"", "green"}), height({"green"}));
  EXPECT_EQ(height({"", ""}), height({}));
  EXPECT_LT(height({"green"}), height({"red", "green"}));
}

TEST_F(ConversationFeedTest, AChosenPickOneComesBackCheckedAndDisabled) {
  Ref<MRKCList> options =
      MRKCList::listWithTerms({MRKCString::stringWithValue("red").get(), MRKCString::stringWithValue("green").get()});
  ASSERT_TRUE(
      feed().VSKFConversationAppendPickOne({kVSKSpeakerCTM, kVSKEntryPickOne, 0}, 0, "Colour?", options, nullptr));
  Ref<VSKCConversationEntry> pick = record().entries.back();
  window->frame();
  ASSERT_TRUE(pick->wrap());
  // Laid out, the bubble keeps the size measured when it was appended.
  EXPECT_EQ(pick->wrap()->locate("bubble")->size().w, pick->width());
  // Before a choice: nothing checked, every option offered.
  std::vector<QELBRadiobox*> boxes = widgetsOf<QELBRadiobox>(pick->wrap().get());
  ASSERT_EQ(boxes.size(), 2u);
  for (QELBRadiobox* box : boxes) {
    EXPECT_FALSE(box->value()) << box->label();
    EXPECT_TRUE(box->onClick()) << box->label();
    EXPECT_TRUE(box->parent()->enabled()) << box->label();
  }
  // The user chooses "green".
  feed().VSKFConversationOnChoice(*pick, boxes[1]->parent(), options->fetchAtIndex(1), 1);
  for (int i = 0; i < 40; ++i) say(kVSKSpeakerCTM, "message " + std::to_string(i));
  window->frame();
  record().vbar->setScroll(1);
  (void)record().vbar->trigger();
  ASSERT_FALSE(pick->wrap());
  record().vbar->setScroll(0);
  (void)record().vbar->trigger();
  ASSERT_TRUE(pick->wrap());
  QELBWidget* bubble = pick->wrap()->locate("bubble");
  ASSERT_TRUE(bubble);
  EXPECT_EQ(feed().VSKFConversationFeedFind(bubble, nullptr), pick.get());
  // Built again, the chosen option is checked, the other not, and the options are disabled.
  window->frame();
  boxes = widgetsOf<QELBRadiobox>(pick->wrap().get());
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0]->label(), "red");
  EXPECT_FALSE(boxes[0]->value());
  EXPECT_EQ(boxes[1]->label(), "green");
  EXPECT_TRUE(boxes[1]->value());
  for (QELBRadiobox* box : boxes) {
    EXPECT_FALSE(box->onClick()) << box->label();
    EXPECT_FALSE(box->parent()->enabled()) << box->label();
  }
  // A click on the other option changes nothing.
  QELBRadiobox* red = boxes[0];
  window->click(red->localToWorld({red->size().w / 2, red->size().h / 2}));
  window->frame();
  EXPECT_FALSE(red->value());
  EXPECT_TRUE(boxes[1]->value());
}

TEST_F(ConversationFeedTest, AMultiByteMessageIsShownWhole) {
  const std::string text = "Grüße, café ✓ — ça va?";
  say(kVSKSpeakerCTM, text);
  window->frame();
  const Ref<VSKCConversationEntry>& entry = record().entries.back();
  ASSERT_TRUE(entry->wrap());
  std::vector<QELBTextbox*> boxes = widgetsOf<QELBTextbox>(entry->wrap().get());
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back()->value(), text);
}

TEST_F(ConversationFeedTest, TheTitleMenuOpensOnceAndOffersRollUpAndClose) {
  struct Case {
    const char* name;
    bool closable;  // the view's close flag (0x40)
    bool rolled;
    std::vector<std::string> labels;
  };
  const uint32_t flags = view->flags();
  const Case cases[] = {
      {"open", true, false, {"Roll-up", "Close"}},
      {"rolled up", true, true, {"Unroll", "Close"}},
      {"without the close flag", false, false, {"Roll-up"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view->setFlags(c.closable ? flags : flags & ~kQELViewCloseButton);
    if (c.rolled) view->rollup();
    window->frame();
    view->onToggleMenu();
    view->onToggleMenu();
    window->frame();
    size_t menus = 0;
    for (const Ref<QELBWidget>& child : window->_childs()->members()) menus += child->alias() == "term.menu" ? 1 : 0;
    EXPECT_EQ(menus, 1u);
    EXPECT_EQ(VSKTestViewMenuLabels(window.get()), c.labels);
    ASSERT_TRUE(window->detach(Ref<QELBWidget>(window->locate("term.menu"))));
    if (c.rolled) view->unroll();
    window->frame();
  }
}

}  // namespace
