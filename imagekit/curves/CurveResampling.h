#pragma once
// Planar curves: Gaussian derivative kernels, convolution of a curve's coordinates (closed or
// open), resampling to N points equally spaced along the curve, and splitting a point list into
// coordinate vectors and back.
//
// Every function answers false for input it cannot work on (empty or unequal vectors, N below 1,
// a non-finite coordinate, a coordinate outside the int range, an even or empty kernel, sigma not
// positive) and then leaves its outputs as they were. None throws.
#include <opencv2/core/types.hpp>

#include <cmath>
#include <limits>
#include <type_traits>
#include <vector>

// Fills g, dg and d2g with the Gaussian of size M (odd, at least 1) and sigma, and its first and
// second derivatives, centred at index (M - 1) / 2.
bool CurveGaussianDerivs(double sigma, int M, std::vector<double>& g, std::vector<double>& dg,
                         std::vector<double>& d2g);

// Convolves x at index n with the three kernels (applied reversed: g[0] meets sample n + L).
// A closed curve wraps around its ends; an open one is mirrored at its first sample and about
// sample n past its last, and then held at its ends. sigma is not used.
bool CurveCoordinateDerivsAt(const std::vector<double>& x, int n, double sigma, double& gx, double& dgx, double& d2gx,
                             const std::vector<double>& g, const std::vector<double>& dg,
                             const std::vector<double>& d2g, bool isOpen);

// CurveCoordinateDerivsAt at every index of x; gx, dx and d2x get the length of x.
bool CurveCoordinateDerivs(const std::vector<double>& x, double sigma, std::vector<double>& gx, std::vector<double>& dx,
                           std::vector<double>& d2x, const std::vector<double>& g, const std::vector<double>& dg,
                           const std::vector<double>& d2g, bool isOpen);

// N points equally spaced along the open polyline through the points (each truncated to integers),
// the first point as given. When the curve runs out before N points are placed (no length, or a
// spacing so fine that rounding uses the segments up) the rest are its last point. isOpen is not
// used: the polyline is always open.
bool ResampleCurve(const std::vector<double>& curvex, const std::vector<double>& curvey, std::vector<double>& resampleX,
                   std::vector<double>& resampleY, int N, bool isOpen);

// Gaussian smoothing of a closed contour with a window of 2 x round((10 sigma + 1) / 2) - 1 points
// (at most 65535).
bool Smooth(std::vector<cv::Point>& curve, double sigma);

// Replaces the point list by N points equally spaced along it (ResampleCurve).
bool Resample(std::vector<cv::Point>& curve, int N);

// xs[i], ys[i] = the coordinates of point i; false, outputs unchanged, when out of memory.
template <typename T, typename V>
bool PolyLineSplit(const std::vector<cv::Point_<T>>& pl, std::vector<V>& contourx, std::vector<V>& contoury) {
  try {
    std::vector<V> xs(pl.size()), ys(pl.size());
    for (size_t i = 0; i < pl.size(); ++i) {
      xs[i] = static_cast<V>(pl[i].x);
      ys[i] = static_cast<V>(pl[i].y);
    }
    contourx.swap(xs);
    contoury.swap(ys);
    return true;
  } catch (...) {
    return false;
  }
}

// value truncated toward zero into T; false when it is not finite or does not fit.
template <typename T, typename V>
bool CurveTruncate(V value, T& out) {
  if constexpr (std::is_integral_v<T> && std::is_floating_point_v<V>) {
    if (!std::isfinite(value)) return false;
    const long double truncated = std::trunc(static_cast<long double>(value));
    if (!(truncated >= static_cast<long double>(std::numeric_limits<T>::min()) &&
          truncated < static_cast<long double>(std::numeric_limits<T>::max()) + 1))
      return false;
    out = static_cast<T>(truncated);
  } else {
    out = static_cast<T>(value);
  }
  return true;
}

// The list becomes (x[i], y[i]) truncated toward zero; false, list unchanged, for unequal vectors,
// a value that is not finite or does not fit, or no memory.
template <typename T, typename V>
bool PolyLineMerge(std::vector<cv::Point_<T>>& pl, const std::vector<V>& contourx, const std::vector<V>& contoury) {
  if (contourx.size() != contoury.size()) return false;
  try {
    std::vector<cv::Point_<T>> merged(contourx.size());
    for (size_t i = 0; i < merged.size(); ++i)
      if (!CurveTruncate(contourx[i], merged[i].x) || !CurveTruncate(contoury[i], merged[i].y)) return false;
    pl.swap(merged);
    return true;
  } catch (...) {
    return false;
  }
}
