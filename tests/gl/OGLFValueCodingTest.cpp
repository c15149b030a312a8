// Geometry records through JSON frames, XML nodes and binary coders.
#include <gtest/gtest.h>

#include <cfloat>
#include <vector>

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCNumber.h"
#include "framework/core/JSKCReader.h"
#include "framework/core/JSKCString.h"
#include "ui/gl/OGLFValueCoding.h"

namespace {

bool same(const OGLTColor& a, const OGLTColor& b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }
bool same(const OGLTRect& a, const OGLTRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

Ref<JSKCFrame> parse(const char* json) { return JSKCReader::reader()->readFromString(json); }

TEST(OGLJSONCoding, RecordsRoundTripUnderTheirLabels) {
  Ref<JSKCFrame> frame = JSKCFrame::frame();
  OGLTColor color{0.25f, 0.5f, 0.75f, 1};
  OGLTPoint point{-5, 10};
  OGLTSize size{640, 480};
  OGLTRect rect{1, 2, 3, 4};
  EXPECT_EQ(OGL::storeColor(*frame, color, "colour"), 0);
  EXPECT_EQ(OGL::storePoint(*frame, point, "point"), 0);
  EXPECT_EQ(OGL::storeSize(*frame, size, "size"), 0);
  EXPECT_EQ(OGL::storeRect(*frame, rect, "rect"), 0);
  EXPECT_TRUE(same(OGL::colorForLabel(*frame, "colour"), color));
  EXPECT_EQ(OGL::pointForLabel(*frame, "point").x, -5);
  EXPECT_EQ(OGL::sizeForLabel(*frame, "size").h, 480);
  EXPECT_TRUE(same(OGL::rectForLabel(*frame, "rect"), rect));
  // The one-letter labels, rects in the order bottom, left, right, top.
  Ref<JSKCFrame> stored = frame->frameForLabel("rect");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->labelAtIndex(0), "b");
  EXPECT_EQ(stored->realForLabel("b", 0), 4);
  EXPECT_EQ(stored->realForLabel("l", 0), 1);
  EXPECT_EQ(frame->frameForLabel("size")->realForLabel("w", 0), 640);
}

TEST(OGLJSONCoding, AColourMayBeAnArrayOfThreeOrFourNumbers) {
  Ref<JSKCFrame> frame = parse(R"({"three": [1, 0.5, 0], "four": [0, 0, 1, 0.5], "two": [1, 1],
                                   "mixed": [1, "x", 0], "long": [0.1, 0.2, 0.3, 0.4, 9]})");
  ASSERT_TRUE(frame);
  OGLTColor fallback{9, 9, 9, 9};
  EXPECT_TRUE(same(OGL::colorForLabel(*frame, "three"), {1, 0.5f, 0, 0}));
  EXPECT_TRUE(same(OGL::colorForLabel(*frame, "three", fallback), {1, 0.5f, 0, 0}));
  OGLTColor out{0, 0, 0, 0.7f};
  EXPECT_EQ(OGL::fetchColor(*frame, out, "three"), 0);
  EXPECT_EQ(out.a, 0.7f);
  EXPECT_TRUE(same(OGL::colorForLabel(*frame, "four"), {0, 0, 1, 0.5f}));
  EXPECT_TRUE(same(OGL::colorForLabel(*frame, "long"), {0.1f, 0.2f, 0.3f, 0.4f}));
  EXPECT_EQ(OGL::fetchColor(*frame, out, "two"), 5);
  EXPECT_TRUE(same(OGL::colorForLabel(*frame, "two", fallback), fallback));
  out = {};
  EXPECT_EQ(OGL::fetchColor(*frame, out, "mixed"), 5);
  EXPECT_EQ(out.r, 1);  // the components before the bad one stay written
  // Only colours read arrays.
  OGLTPoint point{};
  Ref<JSKCFrame> arrays = parse(R"({"p": [1, 2, 3]})");
  EXPECT_EQ(OGL::fetchPoint(*arrays, point, "p"), 5);
}

TEST(OGLJSONCoding, MissingOrWrongComponentsAreTold) {
  Ref<JSKCFrame> frame = parse(R"({"text": {"r": 1, "g": 1, "b": 1, "a": "opaque"}, "short": {"x": 1},
                                   "number": 4, "flag": {"x": true, "y": 1}, "huge": {"x": 1e300, "y": -1e300}})");
  ASSERT_TRUE(frame);
  OGLTColor color{};
  EXPECT_EQ(OGL::fetchColor(*frame, color, "text"), 20);
  EXPECT_EQ(color.b, 1);
  OGLTPoint point{};
  EXPECT_EQ(OGL::fetchPoint(*frame, point, "short"), 20);
  EXPECT_EQ(OGL::fetchPoint(*frame, point, "number"), 5);
  EXPECT_EQ(OGL::fetchPoint(*frame, point, "absent"), 5);
  EXPECT_EQ(OGL::fetchPoint(*frame, point, "flag"), 20);
  OGLTPoint fallback{7, 8};
  OGLTPoint partial = OGL::pointForLabel(*frame, "short", fallback);
  EXPECT_EQ(partial.x, 7);
  EXPECT_EQ(partial.y, 8);
  EXPECT_EQ(OGL::pointForLabel(*frame, "short").x, 0);
  OGLTPoint huge = OGL::pointForLabel(*frame, "huge");
  EXPECT_EQ(huge.x, FLT_MAX);
  EXPECT_EQ(huge.y, -FLT_MAX);
}

TEST(OGLXMLCoding, RecordsRoundTripAsNamedNodes) {
  Ref<XMLCNode> root = XMLCNode::nodeWithName("settings");
  OGLTPoint point{-5, 10};
  EXPECT_EQ(OGL::storePoint(*root, point, "origin"), 0);
  EXPECT_EQ(OGL::storeSize(*root, {3, 4}, "size"), 0);
  EXPECT_EQ(OGL::storeRect(*root, {1, 2, 3, 4}, "frame"), 0);
  EXPECT_EQ(OGL::storeColor(*root, {0.5f, 0, 0, 1}, "ink"), 0);
  OGLTPoint read = OGL::pointForKey(*root, "origin");
  EXPECT_EQ(read.x, -5);
  EXPECT_EQ(read.y, 10);
  EXPECT_EQ(OGL::sizeForKey(*root, "size").w, 3);
  EXPECT_TRUE(same(OGL::rectForKey(*root, "frame"), {1, 2, 3, 4}));
  EXPECT_TRUE(same(OGL::colorForKey(*root, "ink"), {0.5f, 0, 0, 1}));
  Ref<XMLCNode> size = root->findNodeForKey("size");
  ASSERT_TRUE(size);
  EXPECT_EQ(size->name(), "ogl:size");
  double width = 0;
  EXPECT_EQ(size->fetchReal(width, "width"), 0);

  // Through text and back.
  std::string text;
  ASSERT_TRUE(root->writeToString(text));
  Ref<XMLCNode> reread = XMLCNode::nodeFromString(text);
  ASSERT_TRUE(reread);
  EXPECT_TRUE(same(OGL::rectForKey(*reread, "frame"), {1, 2, 3, 4}));
}

TEST(OGLXMLCoding, StoringAKeyAgainReplacesIt) {
  Ref<XMLCNode> root = XMLCNode::nodeWithName("settings");
  EXPECT_EQ(OGL::storePoint(*root, {1, 1}, "p"), 0);
  EXPECT_EQ(OGL::storePoint(*root, {2, 2}, "q"), 0);
  EXPECT_EQ(OGL::storePoint(*root, {3, 3}, "p"), 0);
  EXPECT_EQ(root->count(), 2u);
  EXPECT_EQ(OGL::pointForKey(*root, "p").x, 3);
  EXPECT_EQ(OGL::pointForKey(*root, "q").x, 2);
}

TEST(OGLXMLCoding, ANodeOfAnotherNameOrWithoutTheKeyIsRefused) {
  Ref<XMLCNode> node = XMLCNode::nodeWithName("anything");
  node->storeString("stale", "extra");
  EXPECT_EQ(OGL::storeSize(*node, {5, 6}), 0);
  EXPECT_EQ(node->name(), "ogl:size");
  EXPECT_EQ(node->attributeCount(), 2u);
  OGLTRect rect{};
  EXPECT_EQ(OGL::fetchRect(*node, rect), 20);
  OGLTSize size{};
  EXPECT_EQ(OGL::fetchSize(*node, size), 0);
  EXPECT_EQ(size.h, 6);
  Ref<XMLCNode> root = XMLCNode::nodeWithName("root");
  EXPECT_EQ(OGL::fetchSize(*root, size, "none"), 5);
  OGLTSize fallback{1, 2};
  EXPECT_EQ(OGL::sizeForKey(*root, "none", fallback).h, 2);
  Ref<XMLCNode> partial = XMLCNode::nodeFromString(R"(<r><ogl:point key="p" x="1"/></r>)");
  ASSERT_TRUE(partial);
  OGLTPoint point{};
  EXPECT_EQ(OGL::fetchPoint(*partial, point, "p"), 2);  // the kit's "missing"
  float value = 0;
  Ref<XMLCNode> big = XMLCNode::nodeFromString(R"(<ogl:point x="1e300" y="-1e300"/>)");
  ASSERT_TRUE(big);
  EXPECT_EQ(XMLFNodeOGLFetchReal32ForKey(*big, value, "x"), 0);
  EXPECT_EQ(value, FLT_MAX);
}

TEST(OGLBinaryCoding, RecordsRoundTripInStreamAndByKey) {
  Ref<LLKBEncoder> encoder = LLKBEncoder::encoder();
  EXPECT_TRUE(OGL::encodeColor(*encoder, {0.1f, 0.2f, 0.3f, 0.4f}));
  EXPECT_TRUE(OGL::encodePoint(*encoder, {-1, 2}));
  EXPECT_TRUE(OGL::encodeRect(*encoder, {1, 2, 3, 4}, "frame"));
  EXPECT_TRUE(OGL::encodeSize(*encoder, {5, 6}, "size"));
  EXPECT_EQ(encoder->stream().size(), 1u + 16 + 1 + 8);
  EXPECT_EQ(encoder->stream()[0], 'C');
  EXPECT_EQ(encoder->stream()[17], 'P');

  std::vector<uint8_t> archive;
  ASSERT_TRUE(encoder->archive(archive));
  Ref<LLKBDecoder> decoder = LLKBDecoder::decoderWithArchive(archive.data(), archive.size());
  ASSERT_TRUE(decoder);
  EXPECT_TRUE(same(OGL::decodeColor(*decoder), {0.1f, 0.2f, 0.3f, 0.4f}));
  OGLTPoint point{};
  EXPECT_TRUE(OGL::decodePoint(*decoder, point));
  EXPECT_EQ(point.x, -1);
  EXPECT_TRUE(same(OGL::decodeRectForKey(*decoder, "frame"), {1, 2, 3, 4}));
  OGLTSize size{};
  EXPECT_TRUE(OGL::decodeSize(*decoder, size, "size"));
  EXPECT_EQ(size.h, 6);
  // The wrong type under a key, or no key: the default.
  OGLTPoint fallback{9, 9};
  EXPECT_EQ(OGL::decodePointWithDefault(*decoder, fallback, "size").x, 9);
  EXPECT_EQ(OGL::decodePointWithDefault(*decoder, fallback, "none").x, 9);
}

TEST(OGLBinaryCoding, AnotherTagOrAShortRecordIsRefused) {
  const uint8_t pointBytes[] = {'P', 0, 0, 128, 63, 0, 0, 0, 64};
  Ref<LLKBDecoder> decoder = LLKBDecoder::decoderWithStream(pointBytes, sizeof pointBytes);
  OGLTColor color{1, 1, 1, 1};
  EXPECT_FALSE(OGL::decodeColor(*decoder, color));
  EXPECT_TRUE(same(color, {1, 1, 1, 1}));

  const uint8_t shortColor[] = {'C', 0, 0, 128, 63};
  decoder = LLKBDecoder::decoderWithStream(shortColor, sizeof shortColor);
  OGLTColor fallback{0, 0, 0, 1};
  EXPECT_TRUE(same(OGL::decodeColorWithDefault(*decoder, fallback), fallback));

  decoder = LLKBDecoder::decoderWithStream(pointBytes, sizeof pointBytes);
  OGLTPoint point = OGL::decodePoint(*decoder);
  EXPECT_EQ(point.x, 1);
  EXPECT_EQ(point.y, 2);
}

}  // namespace
