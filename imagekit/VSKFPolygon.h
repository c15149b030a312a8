#pragma once
// Outlines of labelled objects: the union of outlines into clean outer outlines, resampling an
// outline to a fixed number of points, and the point-in-polygon test. One unit is one pixel;
// the outlines made here repeat their first point as their last.
#include "framework/core/LLKCObjectDeque.h"
#include "framework/core/NRKCPolygon.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Unites the polygons of input (grown by one unit and shrunk back, so outlines closer than about
// two units merge), cleans them, and appends every outer outline of the union to output, after
// what it holds; holes and degenerate paths are skipped. Answers false for an empty union, for an
// entry that is not a polygon or has a coordinate that is not finite or lies beyond +-2^30
// (nothing is appended then), and when an outline cannot be made or appended (those appended
// before stay). Outlines whose union would cost more than a few milliseconds are first resampled
// or taken as their hulls, or refused (false); *note, when given, then says what was done, and is
// emptied otherwise.
bool VSKFPolygonsUnion(const LLKCObjectDeque* input, LLKCObjectDeque* output, std::string* note = nullptr);

// The polygon itself when it has n points; else a new polygon of n points equally spaced along
// the polyline through its points (each truncated to integers), the last a copy of the first.
// Null for n below 2, or a polygon that cannot be resampled (no points, coordinates that are not
// finite or do not fit 32-bit integers): the caller keeps its outline.
Ref<NRKCPolygon> VSKFPolygonResample(const Ref<NRKCPolygon>& polygon, uint32_t n);

// A run of filled pixels: row y, columns from to to, both included.
using VSKTFillRun = std::function<void(uint32_t y, uint32_t from, uint32_t to)>;

// Fills the closed polygon through count points within the pixels of columns left to right and
// rows top to bottom (all included), rows top to bottom: pixel (x, y) is filled exactly when
// VSKFPolygonTestPoint holds for the point (x, y) (inside, or on the boundary). Runs of one row
// may overlap. Edges with a coordinate that is not finite play no part. Costs about the filled
// pixels plus, for each row, the edges that cross it.
void VSKFPolygonFillRows(const NRKTPoint* points, size_t count, uint32_t left, uint32_t top, uint32_t right,
                         uint32_t bottom, const VSKTFillRun& fill);

extern "C" {

// 1 inside, 0 outside (also for no points), -1 on the boundary: within 0.1 of a vertex, on a
// horizontal edge, or exactly on an edge.
int VSKFPolygonLocatePoint(const NRKTPoint* points, uint32_t count, NRKTPoint point);
// Inside or on the boundary.
bool VSKFPolygonTestPoint(const NRKTPoint* points, uint32_t count, NRKTPoint point);

}  // extern "C"
