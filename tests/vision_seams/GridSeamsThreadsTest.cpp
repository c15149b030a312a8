// The segmenter's computing threads read one segmented image at once: cut-outs and codes from
// two threads must equal those made one after another.
#include "modules/vision/seams/GridSeams.h"
#include "modules/vision/seams/OLBP.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <thread>
#include <vector>

namespace {

struct Cut {
  cv::Mat mask, grey, codes;
};

// Cuts out labels [first, end) the way one computing thread does, each into its own patch.
std::vector<Cut> cutOut(const GridSeams& seams, const cv::Mat& image, const std::vector<GridSeams::spixel_t>& records,
                        unsigned first, unsigned end) {
  std::vector<Cut> cuts;
  lbplibrary::OLBP lbp;
  for (unsigned v = first; v < end; ++v) {
    Cut cut{cv::Mat::zeros(48, 48, CV_8UC1), cv::Mat::zeros(48, 48, CV_8UC1), {}};
    if (records[v].count && seams.extract(image, cut.mask, cut.grey, records[v], v)) lbp.run(cut.grey, cut.codes);
    cuts.push_back(cut);
  }
  return cuts;
}

bool same(const cv::Mat& a, const cv::Mat& b) {
  return a.size() == b.size() && (a.empty() || cv::norm(a, b, cv::NORM_INF) == 0.0);
}

TEST(GridSeamsThreads, TwoThreadsCutOutTheirHalvesAsOneThreadDoes) {
  // OpenCV's own worker pool (TBB, not built for the thread sanitizer) would be reported in
  // place of our threads; the threads under test are ours alone.
  cv::setNumThreads(0);
  cv::Mat image(240, 320, CV_8UC3);
  cv::randu(image, 0, 256);
  cv::GaussianBlur(image, image, cv::Size(7, 7), 2.0);
  GridSeams seams;
  const unsigned n = seams.process(image, 16, 16, 0.06f);
  ASSERT_GT(n, 2u);
  std::vector<GridSeams::spixel_t> records(n);
  cv::Mat paint(image.size(), CV_8UC3);
  ASSERT_TRUE(seams.display(image, paint, records));

  const std::vector<Cut> alone = cutOut(seams, image, records, 0, n);
  std::vector<Cut> low, high;
  std::thread first([&] { low = cutOut(seams, image, records, 0, n / 2); });
  std::thread second([&] { high = cutOut(seams, image, records, n / 2, n); });
  first.join();
  second.join();
  low.insert(low.end(), high.begin(), high.end());
  ASSERT_EQ(low.size(), alone.size());
  for (size_t v = 0; v < alone.size(); ++v) {
    EXPECT_TRUE(same(low[v].mask, alone[v].mask)) << v;
    EXPECT_TRUE(same(low[v].grey, alone[v].grey)) << v;
    EXPECT_TRUE(same(low[v].codes, alone[v].codes)) << v;
  }
}

}  // namespace
