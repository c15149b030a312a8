// Gaussian derivative kernels and the convolution of a curve's coordinates with them.
#include "imagekit/curves/CurveResampling.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace {

// The longest smoothing window; beyond it a contour would only be averaged to a point, slowly.
constexpr double kMaxWindow = 65535;

bool kernelsAgree(const std::vector<double>& g, const std::vector<double>& dg, const std::vector<double>& d2g) {
  return !g.empty() && g.size() % 2 == 1 && dg.size() == g.size() && d2g.size() == g.size();
}

// The sample for index t of a curve of size samples (size > 0), as the curve's ends say.
size_t sampleIndex(long long t, long long n, long long size, bool isOpen) {
  if (!isOpen) return static_cast<size_t>(((t % size) + size) % size);
  if (t < 0) t = -t;
  if (t > size - 1) t = 2 * n - t;
  return static_cast<size_t>(std::clamp(t, 0LL, size - 1));
}

}  // namespace

bool CurveGaussianDerivs(double sigma, int M, std::vector<double>& g, std::vector<double>& dg,
                         std::vector<double>& d2g) {
  const double sigma2 = sigma * sigma;
  if (!(sigma > 0) || !std::isfinite(sigma2 * sigma2) || sigma2 == 0 || M < 1 || M % 2 != 1) return false;
  try {
    const cv::Mat kernel = cv::getGaussianKernel(M, sigma, CV_64F);
    std::vector<double> gauss(M), first(M), second(M);
    const int L = (M - 1) / 2;
    for (int k = 0; k < M; ++k) {
      const double i = k - L;
      const double value = kernel.at<double>(k);
      gauss[k] = value;
      first[k] = (-i / sigma2) * value;
      second[k] = ((i * i - sigma2) / (sigma2 * sigma2)) * value;
    }
    g.swap(gauss);
    dg.swap(first);
    d2g.swap(second);
    return true;
  } catch (...) {
    return false;
  }
}

bool CurveCoordinateDerivsAt(const std::vector<double>& x, int n, double, double& gx, double& dgx, double& d2gx,
                             const std::vector<double>& g, const std::vector<double>& dg,
                             const std::vector<double>& d2g, bool isOpen) {
  if (x.empty() || !kernelsAgree(g, dg, d2g)) return false;
  const long long L = static_cast<long long>(g.size() - 1) / 2;
  const long long size = static_cast<long long>(x.size());
  double sumG = 0, sumDG = 0, sumD2G = 0;
  for (long long j = 0; j <= 2 * L; ++j) {
    const double sample = x[sampleIndex(n + L - j, n, size, isOpen)];
    sumG += g[j] * sample;
    sumDG += dg[j] * sample;
    sumD2G += d2g[j] * sample;
  }
  gx = sumG;
  dgx = sumDG;
  d2gx = sumD2G;
  return true;
}

bool CurveCoordinateDerivs(const std::vector<double>& x, double sigma, std::vector<double>& gx, std::vector<double>& dx,
                           std::vector<double>& d2x, const std::vector<double>& g, const std::vector<double>& dg,
                           const std::vector<double>& d2g, bool isOpen) {
  if (!kernelsAgree(g, dg, d2g)) return false;
  try {
    std::vector<double> smooth(x.size()), first(x.size()), second(x.size());
    for (size_t i = 0; i < x.size(); ++i)
      CurveCoordinateDerivsAt(x, static_cast<int>(i), sigma, smooth[i], first[i], second[i], g, dg, d2g, isOpen);
    gx.swap(smooth);
    dx.swap(first);
    d2x.swap(second);
    return true;
  } catch (...) {
    return false;
  }
}

bool Smooth(std::vector<cv::Point>& curve, double sigma) {
  const double window = 2 * std::round((10 * sigma + 1) / 2) - 1;
  if (!std::isfinite(window) || window < 1 || window > kMaxWindow) return false;
  const int M = static_cast<int>(window);
  if (M % 2 != 1) return false;
  try {
    std::vector<double> g, dg, d2g, xs, ys, smoothX, smoothY, ignoredFirst, ignoredSecond;
    if (!CurveGaussianDerivs(sigma, M, g, dg, d2g)) return false;
    if (!PolyLineSplit(curve, xs, ys)) return false;
    if (!CurveCoordinateDerivs(xs, sigma, smoothX, ignoredFirst, ignoredSecond, g, dg, d2g, false)) return false;
    if (!CurveCoordinateDerivs(ys, sigma, smoothY, ignoredFirst, ignoredSecond, g, dg, d2g, false)) return false;
    return PolyLineMerge(curve, smoothX, smoothY);
  } catch (...) {
    return false;
  }
}
