// Scroll and picture boxes, boards, sliding panels and bubbles in a headless window.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "tests/widgets/QELControlTestKit.h"
#include "tests/widgets/QELTestWidgets.h"
#include "ui/widgets/QELBBoard.h"
#include "ui/widgets/QELBBubble.h"
#include "ui/widgets/QELBCollectionbox.h"
#include "ui/widgets/QELBPanel.h"
#include "ui/widgets/QELBPicturebox.h"
#include "ui/widgets/QELBScrollbox.h"

namespace {


using ContainerTest = ControlTest;

TEST_F(ContainerTest, PanelsSlideInFromEachEdgeAndReportOnce) {
  struct Case {
    int32_t origin;
    OGLTPoint outside, shown;
  } cases[] = {
      {kQELPanelFromTop, {150, -60}, {150, 0}},
      {kQELPanelFromBottom, {150, 300}, {150, 240}},
      {kQELPanelFromLeft, {-100, 120}, {0, 120}},
      {kQELPanelFromRight, {400, 120}, {300, 120}},
  };
  for (const Case& c : cases) {
    SetUp();
    Ref<QELCPanel> panel = QELCPanel::widgetWithSize({100, 60}, {0, 0});
    panel->setOrigin(c.origin);
    panel->setSliding(0.3f);
    panel->setOnRequested(LLKCMessage::messageWithCode(1));
    panel->setOnDismissed(LLKCMessage::messageWithCode(2));
    place(panel);
    EXPECT_FALSE(panel->visible());
    panel->request();
    window->frame();
    EXPECT_TRUE(panel->visible());
    EXPECT_FLOAT_EQ(panel->position().x, c.outside.x) << c.origin;
    EXPECT_FLOAT_EQ(panel->position().y, c.outside.y) << c.origin;
    int frames = 0;
    while (catcher->messages.empty() && ++frames < 100) window->frame();
    ASSERT_EQ(catcher->messages.size(), 1u) << c.origin;
    EXPECT_EQ(catcher->messages[0]->codeValue(), 1u);
    EXPECT_EQ(catcher->last().objectForKey("sender").get(), panel.get());
    EXPECT_GT(frames, 5);  // it slid
    EXPECT_FLOAT_EQ(panel->position().x, c.shown.x) << c.origin;
    EXPECT_FLOAT_EQ(panel->position().y, c.shown.y) << c.origin;

    panel->dismiss();
    for (int i = 0; i < 30; ++i) window->frame();
    ASSERT_EQ(catcher->messages.size(), 2u) << c.origin;
    EXPECT_EQ(catcher->messages[1]->codeValue(), 2u);
    EXPECT_FALSE(panel->visible());
    EXPECT_FLOAT_EQ(panel->position().x, c.outside.x) << c.origin;
    EXPECT_FLOAT_EQ(panel->position().y, c.outside.y) << c.origin;
  }
}

TEST_F(ContainerTest, APanelSlidesWithinItsParentsSpaceAndWithoutAParentWaits) {
  const QELTGroupSetup inset = {kQELGroupFree, 9, 0, 0, kQELGroupNoBackground};
  Ref<QELCGroup> group = QELCGroup::widgetWithSize({200, 200}, {50, 50}, &inset);  // space inset by 10
  Ref<QELCPanel> panel = QELCPanel::widgetWithSize({60, 40}, {0, 0});
  panel->setOrigin(kQELPanelFromRight);
  panel->setSliding(0.1f);
  ASSERT_TRUE(group->attach(panel));
  place(group);
  panel->request();
  for (int i = 0; i < 10; ++i) window->frame();
  EXPECT_FLOAT_EQ(panel->localToWorld({panel->size().w, 0}).x, 50 + 200 - 10);  // flush with the space
  EXPECT_FLOAT_EQ(panel->localToWorld({0, panel->size().h / 2}).y, 50 + 100);

  Ref<QELCPanel> loose = QELCPanel::widgetWithSize({60, 40}, {5, 5});
  ASSERT_TRUE(window->attach(loose));
  loose->request();
  window->frame();
  EXPECT_FALSE(loose->visible());
  EXPECT_EQ(loose->state(), static_cast<uint32_t>(kQELPanelRequested));
  EXPECT_FLOAT_EQ(loose->position().x, 5);
}

class ScrollboxTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    box = QELCScrollbox::widgetWithSize({200, 200}, {0, 0});  // view 180 × 179
    for (float y : {0.0f, 300.0f, 600.0f}) {
      Ref<Probe> probe = Probe::make({100, 100}, {0, y});
      probe->consumeKeys = false;
      probes.push_back(probe);
      box->attach(probe);
    }
    place(box);
  }
  void key(int code, OGLTPoint at = {100, 100}) {
    window->cursorEvent(at);
    window->key(code, kOGLActionPress);
    window->frame();
  }
  Ref<QELCScrollbox> box;
  std::vector<Ref<Probe>> probes;
};

TEST_F(ScrollboxTest, KeysScrollWhileOverTheBox) {
  key(kOGLKeyEnd);
  EXPECT_FLOAT_EQ(box->offset().y, 700 - 179);
  key(kOGLKeyHome);
  EXPECT_FLOAT_EQ(box->offset().y, 0);
  key(kOGLKeyDown);
  EXPECT_FLOAT_EQ(box->offset().y, 60);  // 179 / 3, rounded
  key(kOGLKeyRight);
  EXPECT_FLOAT_EQ(box->offset().x, 0);  // the content is narrower than the view
  key(kOGLKeyEnd, {390, 290});
  EXPECT_FLOAT_EQ(box->offset().y, 60);  // not over the box
}

TEST_F(ScrollboxTest, PassesKeysToTheChildThatHasThem) {
  probes[0]->consumeKeys = true;
  window->setSink(probes[0]);
  key(kOGLKeyEnd);
  ASSERT_EQ(probes[0]->keys.size(), 1u);
  EXPECT_EQ(probes[0]->keys[0], kOGLKeyEnd);
  EXPECT_FLOAT_EQ(box->offset().y, 0);  // the child took it; the box did not scroll too
}

TEST_F(ScrollboxTest, ADragOnTheBarHoldsTheCursorUntilRelease) {
  OGLTRect track = box->verticalTrack();
  float x = (track.left + track.right) / 2;
  window->cursorEvent({x, track.top + 1}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_EQ(window->greedy(), box.get());
  window->cursorEvent({x + 150, track.bottom + 50}, kOGLButtonLeft, kOGLActionPress);  // far outside the box
  window->frame();
  EXPECT_FLOAT_EQ(box->offset().y, 700 - 179);
  window->cursorEvent({x, track.top}, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  EXPECT_EQ(window->greedy(), nullptr);
  EXPECT_FLOAT_EQ(box->offset().y, 0);
}

// Rows that are solid blocks, the first red, for telling where a collection box draws them.
class BlockSource : public QELPCollectionboxSource {
public:
  float height() override { return 19; }
  uint32_t count() override { return 3; }
  bool requireWidget(Ref<QELBWidget>& widget, uint32_t index, QELBWindow*) override {
    Ref<Probe> block = Probe::make({50, 19});
    block->color = index == 0 ? OGLTColor{1, 0, 0, 1} : OGLTColor{0, 0, 1, 1};
    widget = block;
    return true;
  }
  void recycleWidget(const Ref<QELBWidget>&, uint32_t) override {}
};

// The rectangle of window pixels that are mostly red (empty when none is).
OGLTRect redPixels(QELTestHeadlessWindow& window, OGLTSize size) {
  OGLTRect r{size.w, size.h, 0, 0};
  for (int y = 0; y < static_cast<int>(size.h); ++y)
    for (int x = 0; x < static_cast<int>(size.w); ++x) {
      std::array<uint8_t, 4> p = window.pixel(x, y);
      if (p[0] < 200 || p[1] > 60 || p[2] > 60 || p[3] < 200) continue;
      r = {std::min(r.left, float(x)), std::min(r.top, float(y)), std::max(r.right, float(x + 1)),
           std::max(r.bottom, float(y + 1))};
    }
  return r;
}

// A scrolled child is drawn exactly where the box says it lies, the rectangle that clicks reach.
TEST_F(ContainerTest, ScrolledChildrenAreDrawnWhereTheyAreHit) {
  enum Kind { kScroll, kScrollAutoBars, kCollection };
  for (bool partial : {false, true})
    for (Kind kind : {kScroll, kScrollAutoBars, kCollection}) {
      SetUp();
      window->setRedrawsOnRequest(partial);
      Ref<QELBWidget> child;
      if (kind == kCollection) {
        Ref<QELCCollectionbox> box = QELCCollectionbox::widgetWithSize({120, 100}, {30, 40});
        box->setSource(makeRef<BlockSource>());
        place(box);
        window->frame();
        ASSERT_FALSE(box->live().empty());
        child = box->live().at(0);
      } else {
        Ref<QELCScrollbox> box = QELCScrollbox::widgetWithSize({120, 100}, {30, 40});
        if (kind == kScrollAutoBars) box->setFlags(kQELScrollboxAutoBars);
        Ref<Probe> block = Probe::make({40, 30}, {0, 0});
        block->color = {1, 0, 0, 1};
        box->attach(block);
        place(box);
        child = block;
      }
      window->frame();
      OGLTPoint topLeft = child->localToWorld({0, 0});
      OGLTPoint bottomRight = child->localToWorld({child->size().w, child->size().h});
      OGLTRect drawn = redPixels(*window, {400, 300});
      EXPECT_FLOAT_EQ(drawn.left, topLeft.x) << kind << " partial " << partial;
      EXPECT_FLOAT_EQ(drawn.top, topLeft.y) << kind << " partial " << partial;
      EXPECT_FLOAT_EQ(drawn.right, bottomRight.x) << kind << " partial " << partial;
      EXPECT_FLOAT_EQ(drawn.bottom, bottomRight.y) << kind << " partial " << partial;
    }
}

TEST_F(ContainerTest, AnEmptyScrollBoxMovesNothing) {
  Ref<QELCScrollbox> box = place(QELCScrollbox::widgetWithSize({100, 100}, {0, 0}));
  window->cursorEvent({50, 50});
  window->key(kOGLKeyEnd, kOGLActionPress);
  window->scroll({0, -3});
  window->frame();
  EXPECT_FLOAT_EQ(box->offset().y, 0);
}

TEST_F(ContainerTest, BoardsSendFlashAndSelect) {
  struct Case {
    float border;
    uint32_t flags;
    bool selects;
  } cases[] = {{1, kQELBoardSelectable, true}, {0, 0, false}, {2, kQELBoardNoHover | kQELBoardSelectable, true}};
  for (const Case& c : cases) {
    SetUp();
    const QELTGroupSetup setup = {kQELGroupColumn, 2, 0, c.border, 0};
    Ref<QELCBoard> board = QELCBoard::widgetWithSize({100, 40}, {10, 10}, &setup);
    board->setFlags(c.flags);
    board->setOnClick(LLKCMessage::messageWithCode(7));
    place(board);
    window->click({50, 30});
    EXPECT_TRUE(board->flashing());
    ASSERT_EQ(catcher->messages.size(), 1u);
    EXPECT_EQ(catcher->last().objectForKey("sender").get(), board.get());
    EXPECT_EQ(board->selected(), c.selects);
    for (int i = 0; i < 4; ++i) window->frame();
    EXPECT_FALSE(board->flashing());
    window->click({300, 200});  // elsewhere: nothing more
    EXPECT_EQ(catcher->messages.size(), 1u);
  }
}

TEST(QELBubbleSizes, OffsetIsClampedAndSizesFollowTheTailSide) {
  Ref<QELCBubble> bubble = QELCBubble::widgetWithSize({100, 60}, {0, 0});
  for (auto [given, kept] : {std::pair{1.5f, 1.0f}, {-0.2f, 0.0f}, {0.25f, 0.25f}}) {
    bubble->setOffset(given);
    EXPECT_FLOAT_EQ(bubble->offset(), kept);
  }
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({50, 50});
  struct Case {
    int32_t origin;
    OGLTSize content, size;
  } cases[] = {{0, {10, 10}, {24, 26}},
               {1, {41, 10}, {50, 26}},
               {2, {10, 5}, {26, 24}},
               {3, {10, 30}, {26, 38}},
               {9, {10, 10}, {18, 18}}};
  for (const Case& c : cases) {
    OGLTSize s = QELBBubble::preferredSizeWithWindow(window.get(), &c.content, c.origin);
    EXPECT_FLOAT_EQ(s.w, c.size.w) << c.origin;
    EXPECT_FLOAT_EQ(s.h, c.size.h) << c.origin;
  }
  bubble->setOrigin(kQELBubbleTailBottom);
  for (auto [x, offset] : {std::pair{0.0f, 0.0f}, {50.0f, 0.5f}, {99.0f, 1.0f}}) {
    OGLTPoint p{x, 30};
    EXPECT_FLOAT_EQ(bubble->offsetForPoint(&p), offset) << x;
  }
}

TEST_F(ContainerTest, APictureBoxShowsItsBitmapCentredAndOnlyItsBackgroundWithoutOne) {
  Ref<QELCBitmap> bitmap = QELCBitmap::bitmapWithSize({10, 10});
  ASSERT_TRUE(bitmap);
  for (uint64_t i = 0; i < bitmap->length(); i += 4) std::memcpy(bitmap->bytes() + i, "\xff\x00\x00\xff", 4);
  Ref<QELCPicturebox> picture = place(QELCPicturebox::widgetWithSize({40, 40}, {50, 50}, bitmap));
  window->frame();
  EXPECT_NE(bitmap->texture(), -1);
  EXPECT_TRUE(near(window->pixel(70, 70), {255, 0, 0, 255}, kComposedTolerance));
  EXPECT_EQ(window->pixel(52, 52)[3], 0);  // beside the picture: nothing

  picture->setBitmap(nullptr);
  picture->setFlags(kQELPictureboxBackground);
  window->frame();
  EXPECT_GT(window->pixel(70, 70)[3], 0);
  EXPECT_LT(window->pixel(70, 70)[0], 100);
}

}  // namespace
