// The one check every reader of image statements uses.
#include <gtest/gtest.h>

#include <functional>

#include "modules/vision/statement/QAVFImageStatement.h"
#include "tests/vision/VisionTestKit.h"

namespace {

TEST(ImageStatement, ReadsTheFourParts) {
  Ref<MRKCStatement> statement = makeImage("qav.stream", "bgr", 4, 3, patternPixels(4, 3, 3), 0.5);
  QAVTImageStatement image;
  ASSERT_EQ(QAVFImageStatementRead(statement.get(), &image), kQAVImageValid);
  EXPECT_EQ(image.statement, statement.get());
  EXPECT_EQ(image.head->text(), "image");
  EXPECT_EQ(image.meta, metaOf(statement.get()));
  EXPECT_EQ(image.pixels->length(), 36u);
  EXPECT_EQ(image.ancillary->count(), 0u);
  EXPECT_EQ(image.format->value(), "bgr");
  EXPECT_EQ(image.pixelFormat, 3);
  EXPECT_EQ(image.width, 4u);
  EXPECT_EQ(image.height, 3u);
}

TEST(ImageStatement, SkipsWhatIsNoImageStatement) {
  using Edit = std::function<void(MRKCList & terms, MRKCFrame & meta)>;
  struct Case {
    const char* what;
    Edit edit;
  } cases[] = {
      {"three terms", [](MRKCList& terms, MRKCFrame&) { terms.terms().pop_back(); }},
      {"five terms", [](MRKCList& terms, MRKCFrame&) { terms.append(MRKCFrame::frame().get()); }},
      {"meta no frame", [](MRKCList& terms, MRKCFrame&) { terms.store(MRKCSymbol::symbolWithValue("meta").get(), 1); }},
      {"pixels no binary",
       [](MRKCList& terms, MRKCFrame&) { terms.store(MRKCString::stringWithValue("px").get(), 2); }},
      {"ancillary no frame", [](MRKCList& terms, MRKCFrame&) { terms.store(MRKCList::list().get(), 3); }},
      {"no format", [](MRKCList&, MRKCFrame& meta) { meta.remove("format"); }},
      {"format a string",
       [](MRKCList&, MRKCFrame& meta) { meta.store(MRKCString::stringWithValue("bgr").get(), "format"); }},
      {"width 0", [](MRKCList&, MRKCFrame& meta) { MRKFFrameStoreUint(&meta, "width", 0); }},
      {"no height", [](MRKCList&, MRKCFrame& meta) { meta.remove("height"); }},
      {"negative width", [](MRKCList&, MRKCFrame& meta) { MRKFFrameStoreSint(&meta, "width", -4); }},
      {"width beyond 32 bits",
       [](MRKCList&, MRKCFrame& meta) { MRKFFrameStoreUint(&meta, "width", (1ull << 32) + 4); }},
      {"height a symbol",
       [](MRKCList&, MRKCFrame& meta) { meta.store(MRKCSymbol::symbolWithValue("tall").get(), "height"); }},
  };
  for (const auto& c : cases) {
    Ref<MRKCStatement> statement = makeImage("qav.stream", "bgr", 4, 3, patternPixels(4, 3, 3));
    c.edit(*statement->terms(), *metaOf(statement.get()));
    QAVTImageStatement image;
    image.width = 77;
    EXPECT_EQ(QAVFImageStatementRead(statement.get(), &image), kQAVImageMalformed) << c.what;
    EXPECT_EQ(image.width, 77u) << c.what << ": the parts stay untouched";
  }
  QAVTImageStatement image;
  EXPECT_EQ(QAVFImageStatementRead(nullptr, &image), kQAVImageMalformed);
  EXPECT_EQ(QAVFImageStatementRead(MRKCSymbol::symbolWithValue("image").get(), &image), kQAVImageMalformed);
}

TEST(ImageStatement, PixelsShorterThanTheImageAreTold) {
  struct Case {
    const char* format;
    uint64_t width, height;
    size_t length;
    QAVTImageCheck check;
  } cases[] = {
      {"rgb", 4, 4, 48, kQAVImageValid},
      {"rgb", 4, 4, 47, kQAVImageShortPixels},
      {"rgb", 4, 4, 0, kQAVImageShortPixels},
      {"bgra", 4, 4, 63, kQAVImageShortPixels},
      {"rgba", 4, 4, 64, kQAVImageValid},
      {"bgr", 4, 4, 100, kQAVImageValid},  // longer is fine: rows are read from the start
      {"bgr", 0xFFFFFFFF, 0xFFFFFFFF, 16, kQAVImageShortPixels},
      {"mjpeg", 640, 480, 0, kQAVImageShortPixels},
      {"mjpeg", 640, 480, 1, kQAVImageValid},               // whether it decodes is the decoder's business
      {"mjpeg", 60000, 60000, 1000, kQAVImageShortPixels},  // 10 GB announced in 1000 bytes
      {"mjpeg", 60000, 60000, 20000000, kQAVImageValid},
      {"yuv", 4, 4, 1, kQAVImageValid},  // unknown formats are the readers' to refuse
  };
  for (const auto& c : cases) {
    Ref<MRKCStatement> statement =
        makeImage("qav.stream", c.format, c.width, c.height, std::vector<uint8_t>(c.length, 9));
    QAVTImageStatement image;
    EXPECT_EQ(QAVFImageStatementRead(statement.get(), &image), c.check)
        << c.format << " " << c.width << "x" << c.height << " " << c.length;
  }
  QAVTImageStatement unknown;
  QAVFImageStatementRead(makeImage("s", "yuv", 4, 4, {1}).get(), &unknown);
  EXPECT_EQ(unknown.pixelFormat, -1);
}

TEST(ImageStatement, MetaCopyLeavesTheReceivedFrameAlone) {
  Ref<MRKCStatement> statement = makeImage("qav.stream", "rgb", 4, 3, patternPixels(4, 3, 3));
  QAVTImageStatement image;
  ASSERT_EQ(QAVFImageStatementRead(statement.get(), &image), kQAVImageValid);
  std::string before = image.meta->text();
  Ref<MRKCFrame> copy = QAVFImageMetaCopy(image, MRKCSymbol::symbolWithValue("bgra").get(), 2, 1, 8);
  ASSERT_TRUE(copy);
  EXPECT_EQ(image.meta->text(), before);
  EXPECT_EQ(MRKFFrameFetchSymbol(copy.get(), "format")->value(), "bgra");
  EXPECT_EQ(MRKFFrameFetchUint(copy.get(), "width", 0), 2u);
  EXPECT_EQ(MRKFFrameFetchUint(copy.get(), "height", 0), 1u);
  EXPECT_EQ(MRKFFrameFetchUint(copy.get(), "length", 0), 8u) << "the pixels it will carry";
  EXPECT_EQ(MRKFFrameFetchUint(copy.get(), "frameid", 0), 1u) << "other members are kept";

  Ref<MRKCBinary> pixels = MRKCBinary::binaryWithBytes("abcdefgh", 8);
  Ref<MRKCStatement> made = QAVFImageStatementMake("qav.out", image, copy.get(), pixels.get());
  ASSERT_TRUE(made);
  EXPECT_EQ(made->label(), "qav.out");
  EXPECT_EQ(made->value(), 1.0);
  EXPECT_EQ(made->terms()->fetchAtIndex(0), image.head);
  EXPECT_EQ(made->terms()->fetchAtIndex(3), image.ancillary);
  EXPECT_FALSE(QAVFImageStatementMake("", image, copy.get(), pixels.get()));
}

}  // namespace
