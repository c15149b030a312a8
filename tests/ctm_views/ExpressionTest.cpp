// Expression trees laid out with the built-in fonts on a headless 2D context: box texts,
// children and labels, the even-snap rule, and deep and wide terms built, drawn and freed
// without a stack that grows with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/ctm/VSKFExpression.h"
#include "framework/substrate/MRKCNumber.h"
#include "tests/ctm_views/ChunkText.h"
#include "tests/gl/OGLTestCanvas.h"

namespace {

class Expression : public OGLTestCanvas {
protected:
  void SetUp() override {
    OGLTestCanvas::SetUp();
    theme = kWindowTweaks;
    theme.textFontFace = "mono";
    theme.smallFontFace = "mono";
  }
  // Builds the term (text form) into tree_.
  VSKTExpressionNode* build(const std::string& text) {
    VSKFExpressionNodeFree(tree);
    term = readTerm(text);
    tree = VSKFExpressionNodeBuild(&record, nullptr, term.get());
    return tree;
  }
  void TearDown() override { VSKFExpressionNodeFree(tree); }

  static size_t children(const VSKTExpressionNode* node) {
    size_t n = 0;
    for (const VSKTExpressionNode* c = node->child; c; c = c->next) ++n;
    return n;
  }
  static float width(const OGLTRect& r) { return r.right - r.left; }

  QELTWindowTweaks theme{};
  VSKTDrawingContext record{nullptr, &theme, 1.0f, 8.0f, 16.0f};
  Ref<MRKBTerm> term;
  VSKTExpressionNode* tree = nullptr;

  void attach() { record.context = ctx(); }
};

TEST_F(Expression, BoxesTextsAndChildren) {
  attach();
  struct Case {
    const char* term;
    const char* text;
    size_t children;
  } cases[] = {
      {"[]", "[] ", 0},
      {"{}", "{}", 0},
      {"a^b", "a^b", 0},
      {"a^[1]", "^", 2},
      {"f(x, y, z)", "f", 3},
      {"[1, [2], 3]", "[] ", 3},
      {"\"s\"", "\"s\"", 0},
      {"(a^b)^c", "^", 2},
      {"?peek(size, X)", "?peek(size, X)", 0},  // a predicate is an atom: one box with its text
  };
  for (const Case& c : cases) {
    VSKTExpressionNode* node = build(c.term);
    ASSERT_TRUE(node) << c.term;
    EXPECT_EQ(node->text, c.text) << c.term;
    EXPECT_EQ(children(node), c.children) << c.term;
    EXPECT_EQ(node->box.left, 0) << c.term;
    EXPECT_EQ(node->box.top, 0) << c.term;
  }
  EXPECT_FALSE(VSKFExpressionNodeBuild(&record, nullptr, nullptr));
  VSKFExpressionNodeFree(nullptr);
}

TEST_F(Expression, FrameEntriesCarryTheirLabelsAndSitInOneRow) {
  attach();
  VSKTExpressionNode* node = build("{\"x\": 1, \"y\": [2, 3]}");
  ASSERT_TRUE(node);
  EXPECT_EQ(node->text, "{}");
  ASSERT_EQ(children(node), 2u);
  const VSKTExpressionNode* x = node->child;
  const VSKTExpressionNode* y = x->next;
  EXPECT_EQ(x->label, "x");
  EXPECT_EQ(y->label, "y");
  EXPECT_EQ(y->text, "[] ");
  EXPECT_EQ(children(y), 2u);
  // The row starts half a gap in, the children a gap apart, levelGap below the parent's text.
  EXPECT_EQ(x->box.left, 4);
  EXPECT_EQ(y->box.left, x->box.right + 8);
  const float ownHeight = node->textBounds.bottom - node->textBounds.top + 8;
  EXPECT_EQ(x->box.top, 16 + ownHeight);
  EXPECT_GE(node->box.right, y->box.right);
  EXPECT_EQ(static_cast<int>(node->box.right) % 2, 0) << "made even";
}

TEST_F(Expression, ALabelWiderThanItsTextWidensTheBox) {
  attach();
  VSKTExpressionNode* node = build("{\"a rather long label\": 1}");
  ASSERT_TRUE(node && node->child);
  EXPECT_GT(width(node->child->labelBounds), width(node->child->textBounds) + 8);
  EXPECT_EQ(node->child->box.right - node->child->box.left, node->child->labelBounds.right);
}

TEST(EvenSnap, Table) {
  struct Case {
    OGLTRect in, out;
  } cases[] = {
      {{3.0f, 0, 13.6f, 5}, {4, 0, 16, 6}},
      {{2, 2, 12, 12}, {2, 2, 12, 12}},
      {{-3, -1, 0.4f, 2.5f}, {-2, 0, 2, 4}},
  };
  for (const Case& c : cases) {
    OGLTRect out = VSKFEvenSnap(c.in);
    EXPECT_EQ(out.left, c.out.left);
    EXPECT_EQ(out.top, c.out.top);
    EXPECT_EQ(out.right, c.out.right);
    EXPECT_EQ(out.bottom, c.out.bottom);
  }
}

// A list nested far deeper than the cap, and a list of many thousands of elements: built,
// drawn and freed, the nesting cut at the cap with the cut shown.
TEST_F(Expression, DeepAndWideTerms) {
  attach();
  Ref<MRKBTerm> deep = MRKCNumber::numberWithUint(1);
  for (int i = 0; i < 5000; ++i) deep = MRKCList::listWithTerms({deep.get()});
  VSKTExpressionNode* root = VSKFExpressionNodeBuild(&record, nullptr, deep.get());
  ASSERT_TRUE(root);
  int depth = 0;
  const VSKTExpressionNode* node = root;
  while (node->child) {
    node = node->child;
    ++depth;
  }
  EXPECT_EQ(depth, kVSKExpressionMaxDepth);
  EXPECT_EQ(node->text, "[] \u2026") << "the cap is shown";
  VSKFExpressionNodeDraw(&record, root, {0, 0}, 0);
  VSKFExpressionNodeFree(root);

  Ref<MRKCList> wide = MRKCList::listWithCapacity(20000);
  for (uint64_t i = 0; i < 20000; ++i) wide->append(MRKCNumber::numberWithUint(i).get());
  root = VSKFExpressionNodeBuild(&record, nullptr, wide.get());
  ASSERT_TRUE(root);
  EXPECT_EQ(children(root), 20000u);
  VSKFExpressionNodeDraw(&record, root, {-1e6f, 0}, 0.9f);
  VSKFExpressionNodeFree(root);
}

TEST_F(Expression, DrawingInksTheBoxes) {
  attach();
  begin(200, 120);
  VSKTExpressionNode* node = build("f(a, b)");
  ASSERT_TRUE(node);
  VSKFExpressionNodeDraw(&record, node, {10, 10}, 0);
  context->endFrame();
  int inked = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 200; ++x) inked += context->readPixel(x, y)[3] > 0;
  EXPECT_GT(inked, 50);
  EXPECT_EQ(context->readPixel(199, 119)[3], 0) << "nothing far outside the tree";
}

TEST_F(Expression, TextsAreLightenedByTheTintAndAFifthMoreUpToWhite) {
  // Blue text: the boxes are stroked in it as it is, the texts tinted towards white, so the red
  // of a text's inked pixels tells the tint it was drawn with.
  theme.textColor = {0, 0, 1, 1};
  attach();
  VSKTExpressionNode* node = build("'MMMM'");
  ASSERT_TRUE(node);
  struct Case {
    float tint;
    int red;  // of the text's inked pixels
  };
  const Case cases[] = {{0.0f, 51}, {0.3f, 128}, {0.5f, 178}, {0.8f, 255}, {0.95f, 255}, {1.0f, 255}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tint);
    begin(200, 80);
    VSKFExpressionNodeDraw(&record, node, {10, 10}, c.tint);
    context->endFrame();
    int red = -1;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 200; ++x) {
        const auto pixel = context->readPixel(x, y);
        // Straight colours: the text's own red wherever it is inked well enough to round true.
        if (pixel[3] >= 128) red = std::max(red, static_cast<int>(pixel[0]));
      }
    EXPECT_NEAR(red, c.red, 2);
  }
}

TEST_F(Expression, DrawingTheVisiblePartInksWhatTheWholeDrawingInksThere) {
  attach();
  VSKTExpressionNode* node = build("f(g(a, b, c), h(d, [e, k], m), n, p(q(r)), s, t, u, v, w, x, y, z)");
  ASSERT_TRUE(node);
  // The tree runs past the right edge: what shows is drawn alike, what is hidden not at all.
  auto ink = [&](const OGLTRect* visible) {
    begin(200, 120);
    if (visible) VSKFExpressionNodeDrawVisible(&record, node, {10, 10}, 0, *visible);
    else VSKFExpressionNodeDraw(&record, node, {10, 10}, 0);
    context->endFrame();
    std::vector<uint8_t> alpha;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 200; ++x) alpha.push_back(context->readPixel(x, y)[3]);
    return alpha;
  };
  const OGLTRect shown{0, 0, 200, 120}, elsewhere{5000, 0, 6000, 120};
  const std::vector<uint8_t> whole = ink(nullptr);
  EXPECT_EQ(ink(&shown), whole);
  const std::vector<uint8_t> none = ink(&elsewhere);
  EXPECT_EQ(std::count(none.begin(), none.end(), 0), static_cast<long>(none.size()));
}

}  // namespace
