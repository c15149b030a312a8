#pragma once
// Fixed OpenCV recipes from a source frame into a destination frame: Laplacian sharpening, a
// normalised distance transform, a binary edge picture, two watershed segmentations painted in
// random colours, and a contour drawing.
//
// The source is a blue-green-red frame (format 1); the destination a frame of the same width and
// height (format 1 for the watershed recipes, which paint three bytes per pixel). Every recipe
// answers 0 on success, 22 for a missing or unfit frame or an input OpenCV refuses (logged), and
// 12 when memory runs out. Nothing is thrown.
#include "modules/vision/algorithms/frame/CVKCFrame.h"

extern "C" {
int CVKFRecipesLaplacianFilter(CVKCFrame* source, CVKCFrame* destination);
int CVKFRecipesDistanceTransform(CVKCFrame* source, CVKCFrame* destination);
int CVKFRecipesSegmentation(CVKCFrame* source, CVKCFrame* destination);
int CVKFRecipesContours(CVKCFrame* source, CVKCFrame* destination);
}

// The same recipes under their C++ names, with the two watershed variants.
int _CVKFRecipesLaplacianFilter(CVKCFrame* source, CVKCFrame* destination);
int _CVKFRecipesDistanceTransform(CVKCFrame* source, CVKCFrame* destination);
int _CVKFRecipesSegmentation(CVKCFrame* source, CVKCFrame* destination);
// Watershed seeded by the contours of an Otsu split of the smoothed grey gradient.
int _CVKFRecipesSegmentation1(CVKCFrame* source, CVKCFrame* destination);
// Watershed seeded by the contours of an adaptive threshold of the smoothed colour gradient.
int _CVKFRecipesSegmentation2(CVKCFrame* source, CVKCFrame* destination);
int _CVKFRecipesContours(CVKCFrame* source, CVKCFrame* destination);
