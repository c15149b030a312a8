#include "modules/vision/algorithms/slic/SLIC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <vector>

namespace {

using Pixels = std::vector<unsigned int>;
using Labels = std::vector<int>;

unsigned int pack(int r, int g, int b) { return unsigned(r) << 16 | unsigned(g) << 8 | unsigned(b); }

// Blocks of side `block`, each of its own colour.
Pixels mosaic(int width, int height, int block) {
  Pixels pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int index = (y / block) * 31 + x / block;
      pixels.push_back(pack(index * 67 % 256, index * 151 % 256, index * 29 % 256));
    }
  return pixels;
}

Pixels noise(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  Pixels pixels(size_t(width) * size_t(height));
  for (unsigned int& p : pixels) p = random() & 0xFFFFFF;
  return pixels;
}

// A smooth colour field with a sharp disc: superpixels with curved borders.
Pixels scene(int width, int height) {
  Pixels pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool disc = std::hypot(x - width * 0.6, y - height * 0.4) < height * 0.3;
      pixels.push_back(disc ? pack(200, 40, 40) : pack(x * 255 / width, y * 255 / height, 128));
    }
  return pixels;
}

// Every label in [0, count) is used and forms exactly one 4-connected segment.
void expectConnectedLabels(const Labels& labels, int width, int height, int count) {
  std::vector<bool> seen(labels.size(), false);
  std::set<int> started;
  for (int start = 0; start < int(labels.size()); ++start) {
    if (seen[size_t(start)]) continue;
    const int label = labels[size_t(start)];
    ASSERT_GE(label, 0);
    ASSERT_LT(label, count);
    ASSERT_TRUE(started.insert(label).second) << "label " << label << " occurs in two places";
    std::vector<int> queue{start};
    seen[size_t(start)] = true;
    for (size_t i = 0; i < queue.size(); ++i) {
      const int x = queue[i] % width, y = queue[i] / width;
      const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
      for (const auto& [nx, ny] : next) {
        const int n = ny * width + nx;
        if (nx < 0 || nx >= width || ny < 0 || ny >= height || seen[size_t(n)] || labels[size_t(n)] != label) continue;
        seen[size_t(n)] = true;
        queue.push_back(n);
      }
    }
  }
  EXPECT_EQ(int(started.size()), count);
}

TEST(SLICTest, LabConversionOfWhiteAndBlack) {
  double L, a, b;
  SLIC::RGB2LAB(255, 255, 255, L, a, b);
  EXPECT_NEAR(L, 100.0, 1e-3);
  EXPECT_NEAR(a, 0.0, 1e-2);
  EXPECT_NEAR(b, 0.0, 1e-2);
  SLIC::RGB2LAB(0, 0, 0, L, a, b);
  EXPECT_NEAR(L, 0.0, 1e-9);
  EXPECT_NEAR(a, 0.0, 1e-9);
  EXPECT_NEAR(b, 0.0, 1e-9);
  SLIC::RGB2LAB(255, 0, 0, L, a, b);  // sRGB red in CIE Lab (D65)
  EXPECT_NEAR(L, 53.24, 0.05);
  EXPECT_NEAR(a, 80.09, 0.1);
  EXPECT_NEAR(b, 67.20, 0.1);
}

TEST(SLICTest, AlignedMosaicGivesExactlyItsBlocks) {
  struct Case {
    int width, height, step;
  };
  for (const Case& k : {Case{40, 40, 10}, Case{48, 32, 16}, Case{30, 20, 10}}) {
    SCOPED_TRACE(testing::Message() << k.width << "x" << k.height << " step " << k.step);
    const Pixels pixels = mosaic(k.width, k.height, k.step);
    Labels labels(pixels.size());
    int count = 0;
    SLIC slic;
    ASSERT_TRUE(
        slic.PerformSLICO_ForGivenStepSize(pixels.data(), k.width, k.height, labels.data(), count, k.step, 10.0));
    const int columns = k.width / k.step;
    EXPECT_EQ(count, columns * (k.height / k.step));
    for (int y = 0; y < k.height; ++y)
      for (int x = 0; x < k.width; ++x)
        ASSERT_EQ(labels[size_t(y * k.width + x)], (y / k.step) * columns + x / k.step) << x << "," << y;
  }
}

TEST(SLICTest, TwoColourHalvesSplitIntoQuadrants) {
  // Left red, right blue, step 10 on 20 × 20: four seeds, one per quadrant. Colour keeps the
  // halves apart; row 10, as far from the upper seeds as from the lower ones, goes to the upper
  // ones, which come first.
  Pixels pixels;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) pixels.push_back(x < 10 ? pack(220, 0, 0) : pack(0, 0, 220));
  Labels labels(pixels.size());
  int count = 0;
  SLIC slic;
  ASSERT_TRUE(slic.PerformSLICO_ForGivenStepSize(pixels.data(), 20, 20, labels.data(), count, 10, 0));
  ASSERT_EQ(count, 4);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(labels[size_t(y * 20 + x)], (y <= 10 ? 0 : 2) + x / 10) << x << "," << y;
}

TEST(SLICTest, SeedsFollowTheGrid) {
  const Pixels pixels = scene(100, 100);
  Labels labels(pixels.size());
  int count = 0;
  SLIC slic;
  ASSERT_TRUE(slic.PerformSLICO_ForGivenStepSize(pixels.data(), 100, 100, labels.data(), count, 10, 0));
  SLIC::Seeds l, a, b, x, y;
  const std::vector<double> flat(100 * 100, 0.0);
  slic.GetLABXYSeeds_ForGivenStepSize(l, a, b, x, y, 10, false, flat);
  ASSERT_EQ(l.size(), 100u);
  EXPECT_EQ(x[0], 5);
  EXPECT_EQ(y[0], 5);
  EXPECT_EQ(x[99], 95);
  EXPECT_EQ(y[99], 95);
  // K = 100 on 100 × 100: a hexagonal grid of step 10, odd rows shifted by 5.
  slic.GetLABXYSeeds_ForGivenK(l, a, b, x, y, 100, false, flat);
  EXPECT_EQ(l.size(), 5u * 10u + 5u * 9u);
  EXPECT_EQ(x[10], 10);  // second row starts at the doubled offset
  EXPECT_EQ(y[10], 15);
}

TEST(SLICTest, EveryLabelIsOneConnectedSegment) {
  struct Case {
    const char* name;
    Pixels pixels;
    int width, height;
    bool byCount;
    int value;
  };
  const Case cases[] = {
      {"uniform by step", Pixels(100 * 100, pack(80, 90, 100)), 100, 100, false, 10},
      {"scene by step 8", scene(96, 72), 96, 72, false, 8},
      {"scene by step 13", scene(97, 71), 97, 71, false, 13},
      {"noise by step", noise(64, 48, 3), 64, 48, false, 6},
      {"scene by count", scene(120, 90), 120, 90, true, 50},
      {"noise by count", noise(50, 70, 5), 50, 70, true, 37},
      {"mosaic by count", mosaic(64, 64, 7), 64, 64, true, 100},
      {"one row", scene(80, 1), 80, 1, true, 8},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Labels labels(k.pixels.size());
    int count = 0;
    SLIC slic;
    const bool done =
        k.byCount
            ? slic.PerformSLICO_ForGivenK(k.pixels.data(), k.width, k.height, labels.data(), count, k.value, 0)
            : slic.PerformSLICO_ForGivenStepSize(k.pixels.data(), k.width, k.height, labels.data(), count, k.value, 0);
    ASSERT_TRUE(done);
    EXPECT_GT(count, 0);
    expectConnectedLabels(labels, k.width, k.height, count);
  }
}

TEST(SLICTest, OversizedStepsAndCountsAreClampedAndZeroIsRefused) {
  const Pixels pixels = scene(12, 9);
  Labels labels(pixels.size(), 77);
  int count = 5;
  SLIC slic;
  for (int step : {13, 40, 1000000}) {
    ASSERT_TRUE(slic.PerformSLICO_ForGivenStepSize(pixels.data(), 12, 9, labels.data(), count, step, 0));
    expectConnectedLabels(labels, 12, 9, count);
  }
  ASSERT_TRUE(slic.PerformSLICO_ForGivenK(pixels.data(), 12, 9, labels.data(), count, 100000, 0));
  expectConnectedLabels(labels, 12, 9, count);

  std::fill(labels.begin(), labels.end(), 77);
  EXPECT_FALSE(slic.PerformSLICO_ForGivenStepSize(pixels.data(), 12, 9, labels.data(), count, 0, 0));
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(slic.PerformSLICO_ForGivenK(pixels.data(), 12, 9, labels.data(), count, 0, 0));
  EXPECT_FALSE(slic.PerformSLICO_ForGivenK(pixels.data(), 0, 9, labels.data(), count, 4, 0));
  EXPECT_FALSE(slic.PerformSLICO_ForGivenK(nullptr, 12, 9, labels.data(), count, 4, 0));
  EXPECT_TRUE(std::all_of(labels.begin(), labels.end(), [](int l) { return l == 77; }));
}

TEST(SLICTest, StepsBeforeAnyRunDoNothing) {
  SLIC slic;
  SLIC::Seeds l{1}, a{1}, b{1}, x{1}, y{1};
  slic.GetLABXYSeeds_ForGivenStepSize(l, a, b, x, y, 4, true, {});
  EXPECT_TRUE(l.empty());
  l = a = b = x = y = {1.0};
  slic.PerturbSeeds(l, a, b, x, y, {});
  Labels labels(4, 9);
  slic.PerformSuperpixelSegmentation_VariableSandM(l, a, b, x, y, labels.data(), 2, 10);
  EXPECT_EQ(labels, Labels(4, 9));
  int count = 3;
  slic.EnforceLabelConnectivity(nullptr, 2, 2, labels.data(), count, 1);
  EXPECT_EQ(count, 0);
}

TEST(SLICTest, CoreStepLeavesLabelsNoClusterReaches) {
  const int width = 40, height = 30;
  const Pixels pixels = scene(width, height);
  Labels labels(pixels.size());
  int count = 0;
  SLIC slic;
  ASSERT_TRUE(slic.PerformSLICO_ForGivenK(pixels.data(), width, height, labels.data(), count, 4, 0));

  // One seed in a corner whose window spans 4 x 4 pixels; the rest of the out array holds what
  // the caller left there, which names no cluster.
  SLIC::Seeds l{50}, a{0}, b{0}, x{1}, y{1};
  const int left = 1 << 28;
  Labels out(pixels.size(), left);
  slic.PerformSuperpixelSegmentation_VariableSandM(l, a, b, x, y, out.data(), 2, 3);
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column)
      ASSERT_EQ(out[size_t(row * width + column)], row < 4 && column < 4 ? 0 : left) << column << ", " << row;
  EXPECT_EQ(x[0], 1.5);
  EXPECT_EQ(y[0], 1.5);
}

TEST(SLICTest, VolumeConversionAllocatesWhatItWrites) {
  const Pixels first = scene(6, 4), second = mosaic(6, 4, 2);
  Labels labels(first.size());
  int count = 0;
  SLIC slic;
  ASSERT_TRUE(slic.PerformSLICO_ForGivenK(first.data(), 6, 4, labels.data(), count, 2, 0));
  const unsigned int* planes[] = {first.data(), second.data()};
  SLIC::Volume l, a, b;
  slic.DoRGBtoLABConversion(planes, 2, l, a, b);
  EXPECT_EQ(slic.depth(), 2);
  ASSERT_EQ(l.size(), 2u);
  ASSERT_EQ(b[1].size(), 24u);
  double L, A, B;
  SLIC::RGB2LAB(int(second[23] >> 16 & 0xFF), int(second[23] >> 8 & 0xFF), int(second[23] & 0xFF), L, A, B);
  EXPECT_EQ(l[1][23], L);
  EXPECT_EQ(a[1][23], A);
  EXPECT_EQ(b[1][23], B);
}

TEST(SLICTest, ContoursFollowLabelBorders) {
  const int width = 6, height = 4;
  Labels halves;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) halves.push_back(x < 3 ? 0 : 1);
  SLIC slic;

  Pixels image(24, 0x123456);
  slic.DrawContoursAroundSegments(image.data(), Labels(24, 4).data(), width, height, 0xFF00FF);
  EXPECT_EQ(image, Pixels(24, 0x123456));  // one label: nothing to draw

  // The first side of the border is painted; the other then sees it taken.
  slic.DrawContoursAroundSegments(image.data(), halves.data(), width, height, 0xFF00FF);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      EXPECT_EQ(image[size_t(y * width + x)], x == 2 ? 0xFF00FFu : 0x123456u) << x << "," << y;

  Pixels twoColours(24, 0x123456);
  slic.DrawContoursAroundSegmentsTwoColors(twoColours.data(), halves.data(), width, height);
  const unsigned int expected[] = {0x123456, 0, 0xFFFFFF, 0xFFFFFF, 0, 0x123456};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) EXPECT_EQ(twoColours[size_t(y * width + x)], expected[x]) << x << "," << y;
}

}  // namespace
