#include "modules/vision/algorithms/frame/CVKFRecipes.h"

#include "framework/core/LLKFLog.h"

#include <cerrno>
#include <climits>
#include <functional>
#include <new>
#include <vector>

#include <opencv2/imgproc.hpp>

namespace {

using Contours = std::vector<std::vector<cv::Point>>;

enum class Destination { anyType, blueGreenRed };

// Checks the frames, runs the recipe's body and turns every failure into an error number.
int runRecipe(const char* name, CVKCFrame* source, CVKCFrame* destination, Destination needs,
              const std::function<void(const cv::Mat&, CVKCFrame&)>& body) {
  if (!source || !destination) {
    LLKFLog("%s : missing frame", name);
    return EINVAL;
  }
  const cv::Mat& input = *source->mat();
  if (input.type() != CV_8UC3 || input.empty()) {
    LLKFLog("%s : the source is not a blue-green-red image", name);
    return EINVAL;
  }
  if (destination->width() != source->width() || destination->height() != source->height()) {
    LLKFLog("%s : the destination is %ux%u, the source %ux%u", name, destination->width(), destination->height(),
            source->width(), source->height());
    return EINVAL;
  }
  if (needs == Destination::blueGreenRed && destination->mat()->type() != CV_8UC3) {
    LLKFLog("%s : the destination is not a blue-green-red image", name);
    return EINVAL;
  }
  try {
    body(input, *destination);
    return 0;
  } catch (const cv::Exception& error) {
    LLKFLog("%s : %s", name, error.what());
    return error.code == cv::Error::StsNoMem ? ENOMEM : EINVAL;
  } catch (const std::bad_alloc&) {
    LLKFLog("%s : out of memory", name);
    return ENOMEM;
  } catch (const std::exception& error) {
    LLKFLog("%s : %s", name, error.what());
    return EINVAL;
  }
}

cv::Mat ellipse(int size) { return cv::getStructuringElement(cv::MORPH_ELLIPSE, {size, size}); }

void morphology(cv::Mat& image, int operation, const cv::Mat& element) {
  cv::morphologyEx(image, image, operation, element, {-1, -1}, 1, cv::BORDER_CONSTANT,
                   cv::morphologyDefaultBorderValue());
}

// Closing then opening with growing ellipses, in place.
void smoothingLadder(cv::Mat& image) {
  for (int size : {3, 5, 7}) {
    const cv::Mat element = ellipse(size);
    morphology(image, cv::MORPH_CLOSE, element);
    morphology(image, cv::MORPH_OPEN, element);
  }
}

void otsuSplit(const cv::Mat& input, cv::Mat& output) {
  cv::threshold(input, output, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
}

Contours findContours(const cv::Mat& binary) {
  Contours contours;
  cv::findContours(binary, contours, cv::RETR_TREE, cv::CHAIN_APPROX_SIMPLE, {0, 0});
  return contours;
}

// The smoothed colour gradient with every channel split by Otsu's threshold.
cv::Mat splitColourGradient(const cv::Mat& source) {
  cv::Mat smoothed = source.clone();
  smoothingLadder(smoothed);
  cv::Mat gradient;
  cv::morphologyEx(smoothed, gradient, cv::MORPH_GRADIENT, ellipse(3), {-1, -1}, 1, cv::BORDER_CONSTANT,
                   cv::morphologyDefaultBorderValue());
  std::vector<cv::Mat> channels;
  cv::split(gradient, channels);
  for (cv::Mat& channel : channels) otsuSplit(channel, channel);
  cv::Mat merged;
  cv::merge(channels, merged);
  return merged;
}

// Floods the image from one marker per contour plus a background marker near the top-left
// corner, then paints each contour's region in its own colour from OpenCV's generator; region
// boundaries, the background and unseeded pixels stay black.
void watershedPaint(const cv::Mat& image, const Contours& contours, CVKCFrame& destination) {
  cv::Mat markers = cv::Mat::zeros(image.size(), CV_32SC1);
  const int count = int(contours.size());
  for (int i = 0; i < count; ++i)
    cv::drawContours(markers, contours, i, cv::Scalar::all(i + 1), -1, cv::LINE_8, cv::noArray(), INT_MAX, {0, 0});
  cv::circle(markers, {5, 5}, 3, cv::Scalar::all(255), -1, cv::LINE_8, 0);
  cv::watershed(image, markers);

  std::vector<cv::Vec3b> colours(static_cast<size_t>(count));
  for (cv::Vec3b& colour : colours) {
    const auto blue = uchar(cv::theRNG().next());
    const auto green = uchar(cv::theRNG().next());
    const auto red = uchar(cv::theRNG().next());
    colour = {blue, green, red};
  }

  destination.zero();
  cv::Mat& output = *destination.mat();
  for (int r = 0; r < markers.rows; ++r) {
    const int* label = markers.ptr<int>(r);
    auto* pixel = output.ptr<cv::Vec3b>(r);
    for (int c = 0; c < markers.cols; ++c)
      if (label[c] >= 1 && label[c] <= count) pixel[c] = colours[size_t(label[c] - 1)];
  }
}

}  // namespace

int _CVKFRecipesLaplacianFilter(CVKCFrame* source, CVKCFrame* destination) {
  return runRecipe("CVKFRecipesLaplacianFilter", source, destination, Destination::anyType,
                   [](const cv::Mat& input, CVKCFrame& output) {
                     const cv::Mat kernel = (cv::Mat_<float>(3, 3) << 1, 1, 1, 1, -8, 1, 1, 1, 1);
                     cv::Mat laplacian;
                     cv::filter2D(input, laplacian, CV_32F, kernel, {-1, -1}, 0, cv::BORDER_DEFAULT);
                     cv::Mat sharp;
                     input.convertTo(sharp, CV_32F, 1, 0);
                     sharp -= laplacian;
                     sharp.convertTo(*output.mat(), CV_8UC3, 1, 0);
                   });
}

int _CVKFRecipesDistanceTransform(CVKCFrame* source, CVKCFrame* destination) {
  return runRecipe("CVKFRecipesDistanceTransform", source, destination, Destination::anyType,
                   [](const cv::Mat& input, CVKCFrame& output) {
                     cv::Mat grey;
                     cv::cvtColor(input, grey, cv::COLOR_BGR2GRAY);
                     cv::threshold(grey, grey, 40, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
                     cv::Mat& distance = *output.mat();
                     cv::distanceTransform(grey, distance, cv::DIST_L2, 3, CV_32F);
                     cv::normalize(distance, distance, 0, 1.0, cv::NORM_MINMAX);
                   });
}

int _CVKFRecipesSegmentation(CVKCFrame* source, CVKCFrame* destination) {
  return runRecipe("CVKFRecipesSegmentation", source, destination, Destination::anyType,
                   [](const cv::Mat& input, CVKCFrame& output) {
                     cv::Mat grey;
                     cv::cvtColor(splitColourGradient(input), grey, cv::COLOR_BGR2GRAY);
                     cv::Mat edges;
                     cv::adaptiveThreshold(grey, edges, 255, cv::ADAPTIVE_THRESH_GAUSSIAN_C, cv::THRESH_BINARY_INV, 7,
                                           2);
                     cv::cvtColor(edges, *output.mat(), cv::COLOR_GRAY2BGR);
                   });
}

int _CVKFRecipesSegmentation1(CVKCFrame* source, CVKCFrame* destination) {
  return runRecipe("CVKFRecipesSegmentation1", source, destination, Destination::blueGreenRed,
                   [](const cv::Mat& input, CVKCFrame& output) {
                     cv::Mat grey;
                     cv::cvtColor(input, grey, cv::COLOR_BGR2GRAY);
                     smoothingLadder(grey);
                     morphology(grey, cv::MORPH_GRADIENT, ellipse(3));
                     cv::Mat binary;
                     otsuSplit(grey, binary);
                     const Contours contours = findContours(binary);
                     cv::Mat image;
                     cv::cvtColor(binary, image, cv::COLOR_GRAY2BGR);
                     watershedPaint(image, contours, output);
                   });
}

int _CVKFRecipesSegmentation2(CVKCFrame* source, CVKCFrame* destination) {
  return runRecipe("CVKFRecipesSegmentation2", source, destination, Destination::blueGreenRed,
                   [](const cv::Mat& input, CVKCFrame& output) {
                     const cv::Mat merged = splitColourGradient(input);
                     cv::Mat grey;
                     cv::cvtColor(merged, grey, cv::COLOR_BGR2GRAY);
                     cv::adaptiveThreshold(grey, grey, 255, cv::ADAPTIVE_THRESH_GAUSSIAN_C, cv::THRESH_BINARY, 11, 2);
                     watershedPaint(merged, findContours(grey), output);
                   });
}

int _CVKFRecipesContours(CVKCFrame* source, CVKCFrame* destination) {
  return runRecipe("CVKFRecipesContours", source, destination, Destination::anyType,
                   [](const cv::Mat& input, CVKCFrame& output) {
                     cv::Mat grey;
                     cv::cvtColor(input, grey, cv::COLOR_BGR2GRAY);
                     cv::Mat binary;
                     otsuSplit(grey, binary);
                     cv::morphologyEx(binary, binary, cv::MORPH_OPEN, cv::Mat::ones(3, 3, CV_8U), {-1, -1}, 2,
                                      cv::BORDER_CONSTANT, cv::morphologyDefaultBorderValue());
                     const Contours contours = findContours(binary);
                     output.zero();
                     cv::drawContours(*output.mat(), contours, -1, cv::Scalar(0, 255, 0, 0), 1, cv::LINE_8,
                                      cv::noArray(), INT_MAX, {0, 0});
                   });
}

extern "C" {
int CVKFRecipesLaplacianFilter(CVKCFrame* source, CVKCFrame* destination) {
  return _CVKFRecipesLaplacianFilter(source, destination);
}
int CVKFRecipesDistanceTransform(CVKCFrame* source, CVKCFrame* destination) {
  return _CVKFRecipesDistanceTransform(source, destination);
}
int CVKFRecipesSegmentation(CVKCFrame* source, CVKCFrame* destination) {
  return _CVKFRecipesSegmentation(source, destination);
}
int CVKFRecipesContours(CVKCFrame* source, CVKCFrame* destination) { return _CVKFRecipesContours(source, destination); }
}
