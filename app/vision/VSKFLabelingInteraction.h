#pragma once
// What the cursor does to an image sample in the labelling view, kept apart from the widgets so
// that it can be driven by plain records: picking the superpixel under a point, toggling it in
// the selected object (alone, or with every similar neighbour within reach: the flood), the
// compare gesture that measures two superpixels, and the outline of the selected object.
//
// An object k (1..32) is bit k - 1 of every superpixel's mask and object slot k - 1 of the
// sample, which holds its label number (0: no label).
//
// Plain functions on a sample the caller owns; no locking (the view calls them on the window's
// thread only after the sample's background operation has reported).
#include <cstdint>
#include <string>

#include "framework/core/LLKCObjectDeque.h"
#include "imagekit/VSKCImageSample.h"
#include "ui/gl/OGLTInput.h"

// Ranges of the flood's settings; values from the settings panel or the saved settings are
// clamped into them.
inline constexpr uint32_t kVSKLabelingProximityMin = 1, kVSKLabelingProximityMax = 25;
inline constexpr double kVSKLabelingThresholdMin = 1, kVSKLabelingThresholdMax = 100;
// Two textures are alike below this pattern distance.
inline constexpr double kVSKLabelingPatternLimit = 0.2;

// What the cursor works with: the selected object, its label, the flood's reach and colour
// limit, and the superpixel remembered by the first click of a compare gesture (-1: none).
struct VSKTLabelingState {
  uint32_t selectedObject = 1;
  uint32_t currentLabel = 0;
  uint32_t proximity = 5;
  double threshold = 10.0;
  int32_t firstPick = -1;
};

// The CIE 1994 colour difference of Lab colours (graphic-arts weights, taken about a: not
// symmetric).
float VSKFLabelingColorDistance(const float a[3], const float b[3]);
// The Euclidean distance of the first n values; 0 when n is 0.
float VSKFLabelingPatternDistance(const float* p, const float* q, uint32_t n);

uint32_t VSKFLabelingClampProximity(double value);
double VSKFLabelingClampThreshold(double value);

// The record index of the first superpixel of the grid (row-major) whose box and outline hold the
// point, or -1. Empty superpixels are never hit; grid cells beyond the sample's records neither.
int32_t VSKFLabelingPick(const VSKCImageSample& sample, NRKTPoint point);

// What one press of the cursor did.
enum class VSKLabelingClick {
  missed,    // no superpixel under the point
  toggled,   // the selected object changed; the sample is touched
  picked,    // first click of a compare gesture
  compared,  // second click of a compare gesture; status holds the distances
};

// A press (or repeat) at the point, in image pixels, with the kOGLMod bits: without Control it
// toggles the hit superpixel in the selected object (with Shift also every neighbour within
// proximity cells whose pattern distance is below the limit and colour distance within the
// threshold, all moving the way the hit one does), stores the current label in the object's slot
// and marks the sample touched; with Control it is the compare gesture ("p:%.4f c:%.4f" in
// *status on the second click). A selected object outside 1..32 changes no mask.
VSKLabelingClick VSKFLabelingClick(VSKCImageSample& sample, VSKTLabelingState& state, NRKTPoint point,
                                   int32_t modifiers, std::string* status);

// The outline of the object: its superpixels' outlines united, each resampled to 64 points. Null
// when the object has no label or no superpixel, or the union fails (the caller keeps the
// outline it had). *note, when given, says what the union resampled, simplified or refused.
[[nodiscard]] Ref<LLKCObjectDeque> VSKFLabelingContours(const VSKCImageSample& sample, uint32_t object, uint32_t label,
                                                        std::string* note = nullptr);
// The same for the outlines of an object's superpixels, taken from the sample beforehand.
[[nodiscard]] Ref<LLKCObjectDeque> VSKFLabelingOutline(const LLKCObjectDeque& polygons, std::string* note = nullptr);
