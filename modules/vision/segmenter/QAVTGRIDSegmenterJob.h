#pragma once
// One segmented image as the computing threads see it: everything they read, and the slots they
// fill, one per superpixel label. A thread reads the whole job and writes only the slots of its
// own labels, so the threads share nothing they write.
#include <cstdint>
#include <opencv2/core.hpp>

#include "framework/substrate/MRKBTerm.h"
#include "modules/vision/seams/GridSeams.h"
#include "modules/vision/segmenter/QAVTGRIDSegmenterConfig.h"

struct QAVTGRIDSegmenterJob {
  const cv::Mat* image = nullptr;                // the received "bgr" image
  const GridSeams* seams = nullptr;              // has segmented it; its labels are in place
  const GridSeams::spixel_t* spixels = nullptr;  // the measures, one record per label
  uint32_t count = 0;                            // number of labels
  Ref<MRKBTerm>* slots = nullptr;                // count slots; a skipped superpixel stays null
  QAVTGRIDSegmenterConfig config;
};
