#pragma once
// Small helpers of the graph segmentation: random colours and a table-driven square root.
#include "modules/vision/algorithms/graph/image.h"

// A colour from three draws of the C library's generator (the low byte of each).
rgb random_rgb();

// Builds the square-root table shared by the module; safe to call from any thread, any number of
// times (the table is built once).
void build_fsqrt_table();

// The square root of x truncated to 11 mantissa bits; 0 for x ≤ 0.
float fast_float_sqrt(float x);
