// Resampling a polyline to N points equally spaced along its length.
#include "imagekit/curves/CurveResampling.h"

#include <opencv2/imgproc.hpp>

namespace {

// Points are placed on a segment while more than this much of it remains beyond them.
constexpr double kRemainderTolerance = 0.001;

bool integerPolyline(const std::vector<double>& xs, const std::vector<double>& ys, std::vector<cv::Point>& pl) {
  pl.resize(xs.size());
  for (size_t i = 0; i < xs.size(); ++i)
    if (!CurveTruncate(xs[i], pl[i].x) || !CurveTruncate(ys[i], pl[i].y)) return false;
  return true;
}

// Walks the segments, placing a point each time the length walked reaches another step.
void placeAlong(const std::vector<cv::Point>& pl, double step, std::vector<cv::Point2d>& out) {
  const size_t N = out.size();
  size_t i = 1;
  double dist = 0;
  for (size_t s = 0; i < N && s + 1 < pl.size(); ++s) {
    const cv::Point2d from(pl[s]), to(pl[s + 1]);
    const double seg = cv::norm(to - from);
    dist += seg;
    if (dist < step) continue;
    dist -= step;
    const cv::Point2d unit = seg > 0 ? (to - from) / seg : cv::Point2d(0, 0);
    out[i++] = from + (seg - dist) * unit;
    double rem = dist;
    while (rem - step > kRemainderTolerance && i < N) {
      out[i] = out[i - 1] + step * unit;
      rem -= step;
      ++i;
    }
    dist = rem;
  }
  for (; i < N; ++i) out[i] = cv::Point2d(pl.back());
}

}  // namespace

bool ResampleCurve(const std::vector<double>& curvex, const std::vector<double>& curvey, std::vector<double>& resampleX,
                   std::vector<double>& resampleY, int N, bool) {
  if (curvex.empty() || curvex.size() != curvey.size() || N < 1) return false;
  try {
    std::vector<cv::Point> pl;
    if (!integerPolyline(curvex, curvey, pl)) return false;
    std::vector<cv::Point2d> out(static_cast<size_t>(N));
    out[0] = cv::Point2d(curvex[0], curvey[0]);
    const double step = cv::arcLength(pl, false) / N;
    if (N >= 2) placeAlong(pl, step, out);
    std::vector<double> rx(out.size()), ry(out.size());
    for (size_t i = 0; i < out.size(); ++i) {
      rx[i] = out[i].x;
      ry[i] = out[i].y;
    }
    resampleX.swap(rx);
    resampleY.swap(ry);
    return true;
  } catch (...) {
    return false;
  }
}

bool Resample(std::vector<cv::Point>& curve, int N) {
  try {
    std::vector<double> xs, ys, rx, ry;
    return PolyLineSplit(curve, xs, ys) && ResampleCurve(xs, ys, rx, ry, N, false) && PolyLineMerge(curve, rx, ry);
  } catch (...) {
    return false;
  }
}
