#include "modules/vision/algorithms/graph/filter.h"
#include "modules/vision/algorithms/graph/imconv.h"
#include "modules/vision/algorithms/graph/sqrt-and-colour.h"
#include "modules/vision/algorithms/graph/segment-image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <vector>

using namespace graphseg;

namespace {

// Region of every pixel renumbered in order of first appearance, so two segmentations compare
// by their partition alone.
using Partition = std::vector<int>;

Partition canonical(const std::vector<int>& roots) {
  std::map<int, int> numbers;
  Partition partition;
  for (int root : roots) partition.push_back(numbers.emplace(root, int(numbers.size())).first->second);
  return partition;
}

Partition partitionOf(segment_image_ctx& ctx) {
  region_map regions;
  EXPECT_TRUE(visualize(&ctx, nullptr, ctx.width, ctx.height, &regions));
  std::vector<int> roots(size_t(ctx.width) * size_t(ctx.height), -1);
  for (const auto& [root, pixels] : regions)
    for (const pixel_t& p : pixels) roots[size_t(p.y * ctx.width + p.x)] = root;
  return canonical(roots);
}

// The published method written plainly: every edge in order, a stable sort, and components kept
// as a label per vertex that is rewritten on every merge.
Partition referenceSegmentation(const image<rgb>& im, float sigma, float c, int min_size) {
  const int width = im.width, height = im.height, n = width * height;
  image<float> planes[3] = {{width, height}, {width, height}, {width, height}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      planes[0](x, y) = im(x, y).r;
      planes[1](x, y) = im(x, y).g;
      planes[2](x, y) = im(x, y).b;
    }
  image_ptr<float> smoothed[3] = {smooth(planes[0], sigma), smooth(planes[1], sigma), smooth(planes[2], sigma)};
  std::vector<edge> edges;
  auto add = [&](int x, int y, int x2, int y2) {
    float sum = 0;
    for (const image_ptr<float>& plane : smoothed) {
      const float d = (*plane)(x, y) - (*plane)(x2, y2);
      sum += d * d;
    }
    edges.push_back({fast_float_sqrt(sum), y * width + x, y2 * width + x2});
  };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (x < width - 1) add(x, y, x + 1, y);
      if (y < height - 1) add(x, y, x, y + 1);
      if (x < width - 1 && y < height - 1) add(x, y, x + 1, y + 1);
      if (x < width - 1 && y > 0) add(x, y, x + 1, y - 1);
    }
  std::stable_sort(edges.begin(), edges.end());

  std::vector<int> label(static_cast<size_t>(n)), size(static_cast<size_t>(n), 1);
  std::vector<float> threshold(static_cast<size_t>(n), c);
  for (int i = 0; i < n; ++i) label[size_t(i)] = i;
  auto merge = [&](int a, int b) {  // component b joins a
    for (int& l : label)
      if (l == b) l = a;
    size[size_t(a)] += size[size_t(b)];
  };
  for (const edge& e : edges) {
    const int a = label[size_t(e.a)], b = label[size_t(e.b)];
    if (a != b && e.w <= threshold[size_t(a)] && e.w <= threshold[size_t(b)]) {
      merge(a, b);
      threshold[size_t(a)] = e.w + c / float(size[size_t(a)]);
    }
  }
  for (const edge& e : edges) {
    const int a = label[size_t(e.a)], b = label[size_t(e.b)];
    if (a != b && (size[size_t(a)] < min_size || size[size_t(b)] < min_size)) merge(a, b);
  }
  return canonical(label);
}

void fill(image<rgb>& im, auto colourAt) {
  for (int y = 0; y < im.height; ++y)
    for (int x = 0; x < im.width; ++x) im(x, y) = colourAt(x, y);
}

// Blocks of side `block` with colours far apart.
image<rgb>* mosaic(image<rgb>& im, int block) {
  fill(im, [&](int x, int y) {
    const int index = (y / block) * 7 + (x / block);
    return rgb{(unsigned char)(index * 37 % 256), (unsigned char)(index * 91 % 256), (unsigned char)(index * 53 % 256)};
  });
  return &im;
}

TEST(GraphSegmentationTest, FastSquareRootTruncatesToElevenMantissaBits) {
  EXPECT_EQ(fast_float_sqrt(4.0f), 2.0f);
  EXPECT_EQ(fast_float_sqrt(1.0f), 1.0f);
  EXPECT_EQ(fast_float_sqrt(0.25f), 0.5f);
  EXPECT_EQ(fast_float_sqrt(0.0f), 0.0f);
  EXPECT_EQ(fast_float_sqrt(-9.0f), 0.0f);
  EXPECT_EQ(fast_float_sqrt(2.0f), 1.4140625f);  // √2 = 1.41421…, 11 bits: 1 + 847/2048
  for (float x : {0.37f, 3.0f, 17.5f, 1234.5f, 195075.0f}) {
    const float root = fast_float_sqrt(x);
    EXPECT_LE(root, std::sqrt(x));
    EXPECT_GT(root, std::sqrt(x) * (1.0f - 1.0f / 2048.0f));
  }
}

TEST(GraphSegmentationTest, GaussianMaskAndSmoothing) {
  const std::vector<float> tiny = make_fgauss(0.0f);
  ASSERT_EQ(tiny.size(), 2u);
  EXPECT_EQ(tiny[0], 1.0f);
  EXPECT_EQ(tiny[1], 0.0f);

  std::vector<float> mask = make_fgauss(1.0f);
  ASSERT_EQ(mask.size(), 5u);
  normalize(mask);
  float sum = mask[0];
  for (size_t i = 1; i < mask.size(); ++i) sum += 2 * mask[i];
  EXPECT_NEAR(sum, 1.0f, 1e-6f);

  // A flat image stays flat; a single bright pixel spreads symmetrically.
  image<float> flat(5, 3);
  std::fill(flat.data, flat.data + 15, 42.0f);
  image_ptr<float> smoothFlat = smooth(flat, 1.5f);
  ASSERT_TRUE(smoothFlat);
  for (int i = 0; i < 15; ++i) EXPECT_NEAR(smoothFlat->data[i], 42.0f, 1e-4f);

  image<float> spot(7, 7);
  spot(3, 3) = 1.0f;
  image_ptr<float> spread = smooth(spot, 1.0f);
  EXPECT_NEAR((*spread)(2, 3), (*spread)(4, 3), 1e-7f);
  EXPECT_NEAR((*spread)(3, 2), (*spread)(3, 4), 1e-7f);
  EXPECT_LT((*spread)(3, 3), 1.0f);

  image<float> wrongTmp(5, 3);
  image<float> dst(5, 3);
  EXPECT_FALSE(smooth(flat, 1.0f, dst, wrongTmp));
}

TEST(GraphSegmentationTest, SigmasThatAreNotNumbersOrHugeStillGiveAMask) {
  // No deviation at all is the smallest one; an absurdly large one is held at a mask that can be
  // had rather than overflowing its length.
  EXPECT_EQ(make_fgauss(std::nanf("")), make_fgauss(0.0f));
  EXPECT_EQ(make_fgauss(-INFINITY), make_fgauss(0.0f));
  for (float huge : {INFINITY, 1e10f, 3e9f}) {
    const std::vector<float> mask = make_fgauss(huge);
    ASSERT_FALSE(mask.empty()) << huge;
    EXPECT_LE(mask.size(), 4000001u) << huge;
    EXPECT_EQ(mask[0], 1.0f) << huge;
  }

  image<rgb> im(10, 6);
  fill(im, [](int x, int) { return x < 5 ? rgb{0, 0, 0} : rgb{255, 255, 255}; });
  segment_image_ctx ctx;
  ASSERT_EQ(segment_image_init(&ctx, 10, 6), 0);
  EXPECT_EQ(segmentation(&ctx, &im, std::nanf(""), 1.0f, 0, nullptr), 2);
}

TEST(GraphSegmentationTest, Conversions) {
  image<float> ramp(2, 1);
  ramp(0, 0) = 0.0f;
  ramp(1, 0) = 1.0f;
  image_ptr<unsigned char> bytes = imageFLOATtoUCHAR(ramp);
  EXPECT_EQ((*bytes)(0, 0), 0);
  EXPECT_EQ((*bytes)(1, 0), 255);

  // Equal bounds write nothing, which leaves zero; values past the bounds saturate.
  image<long> flat(3, 1);
  std::fill(flat.data, flat.data + 3, 9L);
  image_ptr<unsigned char> none = imageLONGtoUCHAR(flat);
  for (int x = 0; x < 3; ++x) EXPECT_EQ((*none)(x, 0), 0);
  image<short> wide(2, 1);
  wide(0, 0) = -5;
  wide(1, 0) = 300;
  image_ptr<unsigned char> clipped = imageSHORTtoUCHAR(wide, 0, 100);
  EXPECT_EQ((*clipped)(0, 0), 0);
  EXPECT_EQ((*clipped)(1, 0), 255);

  image<rgb> colour(1, 1);
  colour(0, 0) = {100, 150, 200};
  image_ptr<unsigned char> grey = imageRGBtoGRAY(colour);
  EXPECT_EQ((*grey)(0, 0), 140);  // 29.9 + 88.05 + 22.8 = 140.75
  EXPECT_EQ((*imageGRAYtoRGB(*grey))(0, 0), (rgb{140, 140, 140}));
}

TEST(GraphSegmentationTest, DisjointSetsJoinByRankAndReuse) {
  universe u(4);
  u.join(0, 1);  // equal ranks: 0 hangs under 1
  EXPECT_EQ(u.find(0), 1);
  EXPECT_EQ(u.size(1), 2);
  u.join(1, 2);  // higher rank stays the root
  EXPECT_EQ(u.find(2), 1);
  EXPECT_EQ(u.num_sets(), 2);
  u.reuse(6);
  EXPECT_EQ(u.num_sets(), 6);
  EXPECT_EQ(u.capacity(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(u.find(i), i);
}

TEST(GraphSegmentationTest, EdgeSortIsStableOnTies) {
  std::vector<edge> edges;
  std::mt19937 random(7);
  for (int i = 0; i < 5000; ++i) edges.push_back({float(random() % 5) - 2.0f, i, 0});
  edges.push_back({-0.0f, 5000, 0});
  std::vector<edge> expected = edges;
  std::stable_sort(expected.begin(), expected.end());
  sort_edges(edges.data(), int(edges.size()));
  for (size_t i = 0; i < edges.size(); ++i) {
    EXPECT_EQ(edges[i].w, expected[i].w);
    EXPECT_EQ(edges[i].a, expected[i].a) << i;
  }
}

TEST(GraphSegmentationTest, FlatMosaicGivesExactlyTheMosaic) {
  constexpr int kBlock = 8;
  image<rgb> im(7 * kBlock - 3, 4 * kBlock + 5);  // ragged blocks along the right and bottom
  mosaic(im, kBlock);
  segment_image_ctx ctx;
  ASSERT_EQ(segment_image_init(&ctx, im.width, im.height), 0);
  int count = -1;
  EXPECT_EQ(segmentation(&ctx, &im, 0.0f, 50.0f, 0, &count), 7 * 5);
  EXPECT_EQ(count, 7 * 5);

  std::vector<int> blocks;
  for (int y = 0; y < im.height; ++y)
    for (int x = 0; x < im.width; ++x) blocks.push_back((y / kBlock) * 7 + x / kBlock);
  EXPECT_EQ(partitionOf(ctx), canonical(blocks));

  // Painting gives every block one colour, the colour of its root in the context's table.
  image<rgb> out(im.width, im.height);
  ASSERT_TRUE(visualize(&ctx, &out, im.width, im.height, nullptr));
  for (int y = 0; y < im.height; ++y)
    for (int x = 0; x < im.width; ++x) EXPECT_EQ(out(x, y), out((x / kBlock) * kBlock, (y / kBlock) * kBlock));
  segment_image_exit(&ctx);
}

TEST(GraphSegmentationTest, MatchesThePlainReference) {
  struct Case {
    int width, height, colours;
    float sigma, c;
    int min_size;
  };
  const Case cases[] = {
      {13, 9, 3, 0.0f, 40.0f, 0},  // few colours: many equal weights
      {13, 9, 3, 0.0f, 40.0f, 5},      {16, 12, 256, 0.5f, 200.0f, 0},
      {16, 12, 256, 0.8f, 300.0f, 10}, {1, 17, 4, 0.5f, 100.0f, 3},
  };
  std::mt19937 random(11);
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.width << "x" << k.height << " sigma " << k.sigma << " c " << k.c << " min "
                                    << k.min_size);
    image<rgb> im(k.width, k.height);
    fill(im, [&](int, int) {
      const int v = int(random() % unsigned(k.colours)) * (256 / k.colours);
      return rgb{(unsigned char)v, (unsigned char)(255 - v), (unsigned char)(v / 2)};
    });
    segment_image_ctx ctx;
    ASSERT_EQ(segment_image_init(&ctx, k.width, k.height), 0);
    int count = 0;
    ASSERT_GT(segmentation(&ctx, &im, k.sigma, k.c, k.min_size, &count), 0);
    const Partition expected = referenceSegmentation(im, k.sigma, k.c, k.min_size);
    EXPECT_EQ(partitionOf(ctx), expected);
    EXPECT_EQ(count, *std::max_element(expected.begin(), expected.end()) + 1);
  }
}

TEST(GraphSegmentationTest, UniformAndTinyRegionsMergeIntoOne) {
  image<rgb> im(12, 10);
  fill(im, [](int, int) { return rgb{10, 200, 30}; });
  segment_image_ctx ctx;
  ASSERT_EQ(segment_image_init(&ctx, 12, 10), 0);
  EXPECT_EQ(segmentation(&ctx, &im, 0.5f, 500.0f, 0, nullptr), 1);
  mosaic(im, 3);
  EXPECT_EQ(segmentation(&ctx, &im, 0.5f, 1.0f, 12 * 10 + 1, nullptr), 1);
}

TEST(GraphSegmentationTest, TwoHalvesGiveTwoRegionsAndRepeatable) {
  image<rgb> im(10, 6);
  fill(im, [](int x, int) { return x < 5 ? rgb{0, 0, 0} : rgb{255, 255, 255}; });
  segment_image_ctx ctx;
  ASSERT_EQ(segment_image_init(&ctx, 10, 6), 0);
  image<rgb> out(10, 6);
  region_map regions;
  ASSERT_EQ(segment_image(&ctx, &im, &out, 0.0f, 1.0f, 0, nullptr, &regions), 2);
  const Partition first = partitionOf(ctx);
  // The map is refilled, not appended to, on every call.
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(segment_image(&ctx, &im, &out, 0.0f, 1.0f, 0, nullptr, &regions), 2);
    ASSERT_EQ(regions.size(), 2u);
    size_t total = 0;
    for (const auto& [root, pixels] : regions) total += pixels.size();
    EXPECT_EQ(total, 60u);
    EXPECT_EQ(partitionOf(ctx), first);
  }
}

TEST(GraphSegmentationTest, RefusesImagesOfAnotherSize) {
  segment_image_ctx ctx;
  EXPECT_NE(segment_image_init(&ctx, 0, 5), 0);
  EXPECT_NE(segment_image_init(&ctx, 1 << 16, 1 << 16), 0);
  image<rgb> im(8, 8);
  int count = 7;
  EXPECT_EQ(segmentation(&ctx, &im, 0.5f, 10.0f, 0, &count), -1);
  EXPECT_EQ(count, 0);
  ASSERT_EQ(segment_image_init(&ctx, 8, 7), 0);
  EXPECT_EQ(segmentation(&ctx, &im, 0.5f, 10.0f, 0, &count), -1);
  EXPECT_EQ(segmentation(&ctx, nullptr, 0.5f, 10.0f, 0, &count), -1);
  image<rgb> wrongOut(8, 8);
  EXPECT_FALSE(visualize(&ctx, &wrongOut, 8, 7, nullptr));
  EXPECT_FALSE(visualize(&ctx, nullptr, 8, 7, nullptr));
  image<rgb> fits(8, 7);
  EXPECT_EQ(segment_image(&ctx, &fits, nullptr, 0.5f, 10.0f, 0, nullptr, nullptr), 1);
  // An output that cannot be painted is a failure, not a count of regions nobody sees.
  EXPECT_EQ(segment_image(&ctx, &fits, &wrongOut, 0.5f, 10.0f, 0, &count, nullptr), -1);
  EXPECT_EQ(count, 0);
}

}  // namespace
