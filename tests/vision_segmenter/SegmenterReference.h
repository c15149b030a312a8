#pragma once
// A plain reference for what the segmenter publishes: from the received image and the published
// labels it works out every superpixel's record, pattern and mean colour the simple way (whole
// zeroed patches, one pixel at a time) and compares.
#include <opencv2/core.hpp>

#include <string>

#include "framework/substrate/MRKCStatement.h"
#include "modules/vision/segmenter/QAVTGRIDSegmenterConfig.h"

// "" when the published statement carries, for the received image, every superpixel the labels
// hold, each with the reference record and pattern, a polygon of the configured size within its
// box (give or take the pixel resampling truncates away), and the mean-colour image in term 2;
// else the first difference found.
std::string SegmenterReferenceCompare(MRKCStatement* published, const cv::Mat& image,
                                      const QAVTGRIDSegmenterConfig& config);
