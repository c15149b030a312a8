#pragma once
// Bounds the union's work before Clipper is given its outlines. Clipper's sweep slows down far
// more than linearly with the crossings among its edges (a star of 2 001 points that crosses
// itself everywhere costs it minutes), and with how many edges each horizontal line meets (outlines
// nested in one another). Outlines of superpixels are small, nearly simple polygons side by side,
// whose edges cross only where neighbours meet, so neither bound below ever touches them:
//
//   - an outline of more than kVSKOutlineMostPoints points is resampled to that many;
//   - an outline whose edges cross each other more than kVSKOutlineSelfCrossings times is
//     replaced by its convex hull (a tangle's area lies within its hull);
//   - outlines whose edges then still cross each other more than a few times per edge, or that
//     lie stacked so that horizontal lines meet many of them at once, are refused.
//
// Each check costs O(n log n) in the n points plus a number of edge pair tests bounded by a
// budget linear in n; a check that would need more refuses, as a tangle would.
#include <clipper.hpp>

#include <cstddef>
#include <string>

inline constexpr size_t kVSKOutlineMostPoints = 4096;
inline constexpr size_t kVSKOutlineSelfCrossings = 8;

struct VSKTOutlineTaming {
  size_t resampled = 0;  // outlines of too many points, resampled
  size_t hulled = 0;     // tangled outlines, replaced by their hulls
};

// Tames the closed paths in place. False, with the reason in *why, when they are refused.
bool VSKFOutlinesTame(ClipperLib::Paths& paths, VSKTOutlineTaming* done, std::string* why);
