// The card grid: content sizes, card centres and which cards are in sight.
#include <gtest/gtest.h>

#include "app/ctm/VSKFTimelineCards.h"

namespace {

TEST(TimelineCards, ContentSizes) {
  struct Case {
    size_t cards;
    OGLTSize surface, content;
  } cases[] = {
      {0, {300, 200}, {300, 200}},
      {1, {0, 0}, {242, 90}},
      {3, {0, 0}, {746, 90}},
      // Two rows: the second's cards and their sender line fit inside the content, so the last
      // row can be scrolled fully into view.
      {4, {0, 0}, {746, 170}},
      {4, {800, 600}, {800, 600}},
      {30, {640, 400}, {746, 810}},
  };
  for (const Case& c : cases) {
    OGLTSize content = VSKFTimelineContentSize(c.cards, c.surface);
    EXPECT_EQ(content.w, c.content.w) << c.cards;
    EXPECT_EQ(content.h, c.content.h) << c.cards;
    if (c.cards == 0) continue;
    std::vector<OGLTPoint> centres;
    VSKFTimelineCardCentres(c.cards, content.w, centres);
    const OGLTPoint& last = centres.back();
    EXPECT_LE(last.y + kVSKCardHeight / 2 + 10 + 5, content.h) << "the last sender line is inside, " << c.cards;
  }
}

TEST(TimelineCards, CentresFillRowsOfThreeCentredInTheContent) {
  std::vector<OGLTPoint> centres;
  VSKFTimelineCardCentres(4, 746, centres);
  const OGLTPoint expected[] = {{121, 40}, {373, 40}, {625, 40}, {121, 120}};
  ASSERT_EQ(centres.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(centres[i].x, expected[i].x) << i;
    EXPECT_EQ(centres[i].y, expected[i].y) << i;
  }
  VSKFTimelineCardCentres(1, 640, centres);
  ASSERT_EQ(centres.size(), 1u);
  EXPECT_EQ(centres[0].x, 320) << "one card centred in the content width";
}

// A card counts as in sight when any of it, its sender line included, reaches into the
// visible content; the rect is that of a surface scrolled down to the third row (y 160..400).
TEST(TimelineCards, CardsInSightAreThoseReachingIntoTheVisibleContent) {
  const OGLTRect shown = {0, 160, 640, 400};
  struct Case {
    OGLTPoint centre;
    bool inSight;
  } cases[] = {
      {{121, 40}, false},   // first row: its sender line ends above the rect
      {{121, 120}, true},   // second row: its sender line hangs into the rect
      {{121, 200}, true},   // third row, whole
      {{121, 420}, true},   // its top edge inside
      {{121, 440}, false},  // wholly below
      {{-140, 200}, false}, // wholly left
      {{760, 200}, true},   // its left edge inside
      {{900, 200}, false},  // wholly right
  };
  for (const Case& c : cases)
    EXPECT_EQ(VSKFTimelineCardInSight(c.centre, shown), c.inSight) << c.centre.x << ", " << c.centre.y;
}

}  // namespace
