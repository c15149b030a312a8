#pragma once
// Grid seams: cuts a colour image into a lattice of superpixels. Each column cell gets one
// vertical seam and each row cell one horizontal seam, a minimum-energy path found by dynamic
// programming and kept inside its cell; the seams then label every pixel with its lattice cell.
//
// One object segments one image at a time: `process` first, then `display` and `extract` read
// the labels it left. The labels may live in a buffer of the caller's (so they can go straight
// into a published binary); that buffer must outlive the calls that read them. `display` and
// `extract` only read the object, so several threads may call them at once after `process`.
//
// Every function reports failure as its result (0 or false) and logs why; none throws.
#include <opencv2/core.hpp>

#include <cstdint>
#include <span>
#include <vector>

class GridSeams {
public:
  // The measures of one superpixel.
  struct spixel_t {
    int xmin = 0;          // smallest column
    int xmax = 0;          // largest column
    int ymax = 0;          // largest row
    int ymin = 0;          // smallest row
    float centre[2] = {};  // mean column, mean row
    float colour[3] = {};  // mean of channels 0, 1, 2 (blue, green, red for "bgr")
    unsigned count = 0;    // number of pixels; 0 for a label no pixel carries
  };

  // Labels are unsigned 16-bit values: a lattice of more cells cannot be labelled.
  static constexpr unsigned kMaxLabels = 65536;
  // A cell needs a middle column apart from its forbidden last column.
  static constexpr int kMinStep = 2;

  // The largest possible label count, (width / stepX + 1) × (height / stepY + 1);
  // 0 when a size is negative or a step below 1. Saturates instead of wrapping.
  static unsigned superpixels(int width, int height, int stepX, int stepY) noexcept;

  // Segments an 8-bit three-channel ("bgr") image with grid steps of at least kMinStep and a
  // finite, non-negative stay weight. The labels go into `labelBuffer` (at least width × height
  // values, row-major) when it is given, else into an image the object owns. Returns the
  // number of labels (largest label + 1); 0 for an empty image and for every refused input:
  // wrong type, step below kMinStep, bad stay, more than kMaxLabels possible labels, a buffer
  // too small, or a failure inside OpenCV.
  unsigned process(const cv::Mat& image, int stepX, int stepY, float stay,
                   std::span<std::uint16_t> labelBuffer = {}) noexcept;

  // Measure-and-paint: fills one record per label below spixels.size() (box, centre, mean
  // colour, count) and paints each pixel of `paint` with its superpixel's mean colour. `image`
  // is the segmented image; `paint` an 8-bit three-channel image of the same size, written in
  // place. A record with count 0 keeps zero centre and colour. False on a size or type
  // mismatch, before `process`, or on a failure inside OpenCV.
  bool display(const cv::Mat& image, cv::Mat& paint, std::span<spixel_t> spixels) const noexcept;

  // Paints each pixel with its label's mean colour (mean true) or with a fixed colour per label
  // (mean false). Same conditions on `image` and `paint` as above.
  bool display(const cv::Mat& image, cv::Mat& paint, bool mean) const noexcept;

  // Cuts one superpixel out over its box: `grey` gets the box's grey values and `mask` 255
  // where the label is `label`, both relative to the box's top-left corner; other pixels are
  // left as they were. Both must be 8-bit one-channel images at least as large as the box.
  // False for an empty record, a box outside the image, images too small, or a mismatch.
  bool extract(const cv::Mat& image, cv::Mat& mask, cv::Mat& grey, const spixel_t& spixel,
               unsigned label) const noexcept;

  // What the last successful `process` left (empty after a failure): the labels (16-bit) and
  // the vertical, horizontal and joined seam masks (8-bit, 255 on seam pixels).
  const cv::Mat& labels() const noexcept { return labels_; }
  cv::Mat verticalSeams() const { return shown(verticalMask_); }
  cv::Mat horizontalSeams() const { return shown(horizontalMask_); }
  cv::Mat seams() const { return shown(seamMask_); }
  int cellsX() const noexcept { return cellsX_; }
  int cellsY() const noexcept { return cellsY_; }

private:
  void computeEnergy(const cv::Mat& image);
  void processOne(int step, int cells, int which);
  void calculateEnergyMap(const cv::Mat& energy, int step, int cells);
  void getSeamMap(int step, int cells, int which);
  unsigned getLabelMap();
  bool fitsLabels(const cv::Mat& image, const char* what) const;
  void forget() noexcept;
  cv::Mat shown(const cv::Mat& mask) const { return labels_.empty() ? cv::Mat() : mask; }

  cv::Size size_;
  cv::Mat grey_;
  cv::Mat edges_;
  cv::Mat energy_;
  cv::Mat transposed_;  // the energy, transposed for the horizontal seams
  cv::Mat cumulative_;
  std::vector<float> cumulativeStore_;
  int stepX_ = 0;
  int stepY_ = 0;
  int cellsX_ = 0;
  int cellsY_ = 0;
  float stay_ = 0.0f;
  cv::Mat verticalMask_;
  std::vector<int> verticalSeamAt_;  // column of each vertical seam, row by row
  cv::Mat horizontalMask_;
  cv::Mat seamMask_;
  cv::Mat labels_;
};
