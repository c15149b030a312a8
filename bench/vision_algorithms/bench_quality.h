#pragma once
// Quality of a segmentation against a ground truth, both as 32-bit label pictures.
#include <opencv2/core.hpp>

// Share of ground-truth boundary pixels with a segment boundary within `tolerance` pixels.
double boundaryRecall(const cv::Mat& truth, const cv::Mat& labels, int tolerance = 2);

// Undersegmentation error (Neubert and Protzel): for every segment and every ground-truth
// region it touches, the smaller of the part inside and the part outside, summed over the image
// and divided by its size.
double undersegmentationError(const cv::Mat& truth, const cv::Mat& labels);

// Number of distinct labels.
int regionCount(const cv::Mat& labels);
