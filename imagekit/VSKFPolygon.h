#pragma once
// Outlines of labelled objects: the union of outlines into clean outer outlines, resampling an
// outline to a fixed number of points, and the point-in-polygon test.
//
// An outline is a list of float points; the outlines made here repeat their first point as their
// last. One unit is one pixel.
#include <opencv2/core/types.hpp>

#include <cstdint>
#include <vector>

// Unites the outlines (grown by one unit and shrunk back, so outlines closer than about two units
// merge), cleans them, and appends every outer outline of the union to outlines; holes and
// degenerate paths are skipped. Answers false for an empty union, and for an outline with a
// coordinate that is not finite or lies beyond +-2^30 (nothing is appended then).
bool VSKFPolygonsUnion(const std::vector<std::vector<cv::Point2f>>& polygons,
                       std::vector<std::vector<cv::Point2f>>& outlines);

// Sets resampled to n points equally spaced along the polyline through the outline's points (each
// truncated to integers), the last point a copy of the first; an outline of n points is copied as
// it is. Answers false, resampled untouched, for n below 2 or an outline that cannot be resampled
// (no points, non-finite or out-of-range coordinates).
bool VSKFPolygonResample(const std::vector<cv::Point2f>& polygon, uint32_t n, std::vector<cv::Point2f>& resampled);

extern "C" {

// points: count pairs of floats x, y; point: one pair. 1 inside, 0 outside (also for no points),
// -1 on the boundary (within 0.1 of a vertex, on a horizontal edge, or exactly on an edge).
int _VSKFPolygonTestPoint(const float* points, uint32_t count, const float point[2]);
// Inside or on the boundary.
bool VSKFPolygonTestPoint(const float* points, uint32_t count, const float point[2]);

}  // extern "C"
