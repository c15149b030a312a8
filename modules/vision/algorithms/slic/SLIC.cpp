#include "modules/vision/algorithms/slic/SLIC.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <climits>
#include <cmath>

namespace {

constexpr int kIterations = 10;
// The 8 neighbours, left first and then clockwise; the first, third, fifth and seventh are the
// 4 neighbours in the order the connectivity pass visits them.
constexpr int kDx8[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
constexpr int kDy8[8] = {0, -1, -1, -1, 0, 1, 1, 1};
constexpr int kDx4[4] = {-1, 0, 1, 0};
constexpr int kDy4[4] = {0, -1, 0, 1};

// sRGB channel value to linear light; only 256 inputs exist, so they are computed once.
double linear(int channel) {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> values{};
    for (int c = 0; c < 256; ++c) {
      const double v = c / 255.0;
      values[size_t(c)] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    }
    return values;
  }();
  return table[size_t(channel & 0xFF)];
}

double labF(double t) { return t > 0.008856 ? std::cbrt(t) : (903.3 * t + 16.0) / 116.0; }

void unpackLab(unsigned int pixel, double& L, double& A, double& B) {
  SLIC::RGB2LAB(int((pixel >> 16) & 0xFF), int((pixel >> 8) & 0xFF), int(pixel & 0xFF), L, A, B);
}

bool inside(int x, int y, int width, int height) { return x >= 0 && x < width && y >= 0 && y < height; }

bool fitsLabels(int width, int height) { return width > 0 && height > 0 && width <= INT_MAX / height; }

struct Cluster {
  double l, a, b, x;
  double invlab;   // 1 / the cluster's largest colour distance
  double invxywt;  // 1 / step²
  int label;
};

// One image row from x1 to x2: the Lab planes, and per pixel the best distance so far, its
// colour part and the label.
struct Row {
  const double* l;
  const double* a;
  const double* b;
  double* best;
  double* bestlab;
  int* label;
};

// Takes the pixels of the row that are nearer to the cluster than to any seen before. The
// selects are written without branches and cloned for AVX2, where the loop runs in vector
// registers.
__attribute__((target_clones("avx2", "default"))) void nearestInRow(const Row& row, const Cluster& cluster, int x1,
                                                                    int x2, double dy2) {
  const double* __restrict L = row.l;
  const double* __restrict A = row.a;
  const double* __restrict B = row.b;
  double* __restrict best = row.best;
  double* __restrict bestlab = row.bestlab;
  int* __restrict label = row.label;
  const double l = cluster.l, a = cluster.a, b = cluster.b, cx = cluster.x;
  const double invlab = cluster.invlab, invxywt = cluster.invxywt;
  const int seed = cluster.label;
  for (int x = x1; x < x2; ++x) {
    const double dl = L[x] - l, da = A[x] - a, db = B[x] - b;
    const double dlab = dl * dl + da * da + db * db;
    const double dx = x - cx;
    const double dist = dlab * invlab + (dx * dx + dy2) * invxywt;
    const double previous = best[x], previousLab = bestlab[x];
    const int previousLabel = label[x];
    const bool nearer = dist < previous;
    best[x] = nearer ? dist : previous;
    bestlab[x] = nearer ? dlab : previousLab;
    label[x] = nearer ? seed : previousLabel;
  }
}

}  // namespace

void SLIC::RGB2XYZ(int r, int g, int b, double& X, double& Y, double& Z) {
  const double R = linear(r), G = linear(g), B = linear(b);
  X = R * 0.4124564 + G * 0.3575761 + B * 0.1804375;
  Y = R * 0.2126729 + G * 0.7151522 + B * 0.0721750;
  Z = R * 0.0193339 + G * 0.1191920 + B * 0.9503041;
}

void SLIC::RGB2LAB(int r, int g, int b, double& L, double& A, double& B) {
  double X, Y, Z;
  RGB2XYZ(r, g, b, X, Y, Z);
  const double fx = labF(X / 0.950456), fy = labF(Y), fz = labF(Z / 1.088754);
  L = 116.0 * fy - 16.0;
  A = 500.0 * (fx - fy);
  B = 200.0 * (fy - fz);
}

void SLIC::DoRGBtoLABConversion(const unsigned int* ubuff, Plane& lvec, Plane& avec, Plane& bvec) {
  const size_t size = ubuff ? size_t(m_width) * size_t(m_height) : 0;
  lvec.assign(size, 0.0);
  avec.assign(size, 0.0);
  bvec.assign(size, 0.0);
  for (size_t i = 0; i < size; ++i) unpackLab(ubuff[i], lvec[i], avec[i], bvec[i]);
}

void SLIC::DoRGBtoLABConversion(const unsigned int* const* ubuffvec, int depth, Volume& lvec, Volume& avec,
                                Volume& bvec) {
  m_depth = ubuffvec ? std::max(depth, 0) : 0;
  lvec.assign(size_t(m_depth), {});
  avec.assign(size_t(m_depth), {});
  bvec.assign(size_t(m_depth), {});
  for (size_t d = 0; d < size_t(m_depth); ++d) DoRGBtoLABConversion(ubuffvec[d], lvec[d], avec[d], bvec[d]);
}

void SLIC::DetectLabEdges(const double* lvec, const double* avec, const double* bvec, int width, int height,
                          std::vector<double>& edges) {
  if (!fitsLabels(width, height)) {
    edges.clear();
    return;
  }
  edges.assign(size_t(width) * size_t(height), 0.0);
  if (!lvec || !avec || !bvec) return;
  auto distance = [&](size_t i, size_t j) {
    const double dl = lvec[i] - lvec[j], da = avec[i] - avec[j], db = bvec[i] - bvec[j];
    return dl * dl + da * da + db * db;
  };
  for (int y = 1; y < height - 1; ++y)
    for (int x = 1; x < width - 1; ++x) {
      const size_t i = size_t(y) * size_t(width) + size_t(x);
      edges[i] = distance(i - 1, i + 1) + distance(i - size_t(width), i + size_t(width));
    }
}

void SLIC::PerturbSeeds(Seeds& kseedsl, Seeds& kseedsa, Seeds& kseedsb, Seeds& kseedsx, Seeds& kseedsy,
                        const std::vector<double>& edges) {
  if (!hasImage() || edges.size() != m_lvec.size()) return;
  const size_t count = std::min({kseedsl.size(), kseedsa.size(), kseedsb.size(), kseedsx.size(), kseedsy.size()});
  for (size_t n = 0; n < count; ++n) {
    const int ox = int(kseedsx[n]);
    const int oy = int(kseedsy[n]);
    if (!inside(ox, oy, m_width, m_height)) continue;
    const int oind = oy * m_width + ox;
    int storeind = oind;
    for (int i = 0; i < 8; ++i) {
      const int nx = ox + kDx8[i];
      const int ny = oy + kDy8[i];
      if (!inside(nx, ny, m_width, m_height)) continue;
      const int nind = ny * m_width + nx;
      if (edges[size_t(nind)] < edges[size_t(storeind)]) storeind = nind;
    }
    if (storeind != oind) {
      kseedsx[n] = storeind % m_width;
      kseedsy[n] = storeind / m_width;
      kseedsl[n] = m_lvec[size_t(storeind)];
      kseedsa[n] = m_avec[size_t(storeind)];
      kseedsb[n] = m_bvec[size_t(storeind)];
    }
  }
}

void SLIC::GetLABXYSeeds_ForGivenStepSize(Seeds& kseedsl, Seeds& kseedsa, Seeds& kseedsb, Seeds& kseedsx,
                                          Seeds& kseedsy, int step, bool perturb, const std::vector<double>& edges) {
  for (Seeds* seeds : {&kseedsl, &kseedsa, &kseedsb, &kseedsx, &kseedsy}) seeds->clear();
  if (!hasImage()) return;
  step = std::max(step, 1);
  // A step beyond the image still gives one strip, so no division by zero.
  const int xstrips = std::max(1, int(0.5 + double(m_width) / double(step)));
  const int ystrips = std::max(1, int(0.5 + double(m_height) / double(step)));
  const double xerrperstrip = double(m_width - step * double(xstrips)) / double(xstrips);
  const double yerrperstrip = double(m_height - step * double(ystrips)) / double(ystrips);
  const int offset = step / 2;
  for (int y = 0; y < ystrips; ++y) {
    const int ye = int(y * yerrperstrip);
    for (int x = 0; x < xstrips; ++x) {
      const int xe = int(x * xerrperstrip);
      const int sx = std::clamp(int(double(x) * step + offset + xe), 0, m_width - 1);
      const int sy = std::clamp(int(double(y) * step + offset + ye), 0, m_height - 1);
      const size_t i = size_t(sy) * size_t(m_width) + size_t(sx);
      kseedsl.push_back(m_lvec[i]);
      kseedsa.push_back(m_avec[i]);
      kseedsb.push_back(m_bvec[i]);
      kseedsx.push_back(sx);
      kseedsy.push_back(sy);
    }
  }
  if (perturb) PerturbSeeds(kseedsl, kseedsa, kseedsb, kseedsx, kseedsy, edges);
}

void SLIC::GetLABXYSeeds_ForGivenK(Seeds& kseedsl, Seeds& kseedsa, Seeds& kseedsb, Seeds& kseedsx, Seeds& kseedsy,
                                   int K, bool perturb, const std::vector<double>& edges) {
  for (Seeds* seeds : {&kseedsl, &kseedsa, &kseedsb, &kseedsx, &kseedsy}) seeds->clear();
  if (!hasImage()) return;
  const double size = double(m_width) * double(m_height);
  const double step = std::sqrt(size / std::clamp(double(K), 1.0, size));
  const int offset = int(step / 2.0);
  for (int r = 0;; ++r) {
    const int Y = int(r * step + offset);
    if (Y > m_height - 1) break;
    for (int c = 0;; ++c) {
      const int X = int(c * step + (offset << (r & 1)));
      if (X > m_width - 1) break;
      const size_t i = size_t(Y) * size_t(m_width) + size_t(X);
      kseedsl.push_back(m_lvec[i]);
      kseedsa.push_back(m_avec[i]);
      kseedsb.push_back(m_bvec[i]);
      kseedsx.push_back(X);
      kseedsy.push_back(Y);
    }
  }
  if (perturb) PerturbSeeds(kseedsl, kseedsa, kseedsb, kseedsx, kseedsy, edges);
}

void SLIC::PerformSuperpixelSegmentation_VariableSandM(Seeds& kseedsl, Seeds& kseedsa, Seeds& kseedsb, Seeds& kseedsx,
                                                       Seeds& kseedsy, int* klabels, int step, int iterations) {
  const int width = m_width;
  const int height = m_height;
  const size_t sz = size_t(width) * size_t(height);
  if (!klabels || !hasImage()) return;
  const size_t numk = std::min({kseedsl.size(), kseedsa.size(), kseedsb.size(), kseedsx.size(), kseedsy.size()});
  step = std::max(step, 1);
  const int offset = step < 10 ? int(step * 1.5) : step;
  const double invxywt = 1.0 / (double(step) * double(step));

  std::vector<double> clustersize(numk), sigmal(numk), sigmaa(numk), sigmab(numk), sigmax(numk), sigmay(numk);
  std::vector<double> distlab(sz, DBL_MAX), distvec(sz, DBL_MAX);
  std::vector<double> maxlab(numk, 10.0 * 10.0);

  for (int iteration = 0; iteration < iterations; ++iteration) {
    std::fill(distvec.begin(), distvec.end(), DBL_MAX);
    for (size_t n = 0; n < numk; ++n) {
      const double sx = kseedsx[n], sy = kseedsy[n];
      const Cluster cluster{kseedsl[n], kseedsa[n], kseedsb[n], sx, 1.0 / maxlab[n], invxywt, int(n)};
      const int y1 = std::max(0, int(sy - offset)), y2 = std::min(height, int(sy + offset));
      const int x1 = std::max(0, int(sx - offset)), x2 = std::min(width, int(sx + offset));
      for (int y = y1; y < y2; ++y) {
        const size_t row = size_t(y) * size_t(width);
        const Row pixels{m_lvec.data() + row,  m_avec.data() + row,  m_bvec.data() + row,
                         distvec.data() + row, distlab.data() + row, klabels + row};
        nearestInRow(pixels, cluster, x1, x2, (y - sy) * (y - sy));
      }
    }

    // The colour compactness of each cluster follows the largest colour distance in it. A pixel
    // that no cluster reached keeps what the caller's array held, which need not be a cluster.
    auto cluster = [numk](int k) { return k >= 0 && size_t(k) < numk; };
    for (size_t i = 0; i < sz; ++i) {
      const int k = klabels[i];
      if (cluster(k) && maxlab[size_t(k)] < distlab[i]) maxlab[size_t(k)] = distlab[i];
    }

    for (std::vector<double>* sums : {&clustersize, &sigmal, &sigmaa, &sigmab, &sigmax, &sigmay})
      std::fill(sums->begin(), sums->end(), 0.0);
    for (int y = 0, i = 0; y < height; ++y)
      for (int x = 0; x < width; ++x, ++i) {
        const int k = klabels[i];
        if (!cluster(k)) continue;
        sigmal[size_t(k)] += m_lvec[size_t(i)];
        sigmaa[size_t(k)] += m_avec[size_t(i)];
        sigmab[size_t(k)] += m_bvec[size_t(i)];
        sigmax[size_t(k)] += x;
        sigmay[size_t(k)] += y;
        clustersize[size_t(k)] += 1.0;
      }
    for (size_t k = 0; k < numk; ++k) {
      const double count = clustersize[k] <= 0 ? 1.0 : clustersize[k];
      kseedsl[k] = sigmal[k] / count;
      kseedsa[k] = sigmaa[k] / count;
      kseedsb[k] = sigmab[k] / count;
      kseedsx[k] = sigmax[k] / count;
      kseedsy[k] = sigmay[k] / count;
    }
  }
}

void SLIC::EnforceLabelConnectivity(const int* labels, int width, int height, int* nlabels, int& numlabels, int K) {
  if (!labels || !nlabels || !fitsLabels(width, height)) {
    numlabels = 0;
    return;
  }
  const int sz = width * height;
  const int SUPSZ = sz / std::max(K, 1);
  std::fill(nlabels, nlabels + sz, -1);
  std::vector<int> xvec(static_cast<size_t>(sz)), yvec(static_cast<size_t>(sz));
  int label = 0;
  int adjlabel = 0;
  for (int j = 0, oindex = 0; j < height; ++j)
    for (int k = 0; k < width; ++k, ++oindex) {
      if (nlabels[oindex] >= 0) continue;
      nlabels[oindex] = label;
      xvec[0] = k;
      yvec[0] = j;
      for (int n = 0; n < 4; ++n) {
        const int x = k + kDx4[n], y = j + kDy4[n];
        if (inside(x, y, width, height) && nlabels[y * width + x] >= 0) adjlabel = nlabels[y * width + x];
      }
      int count = 1;
      for (int c = 0; c < count; ++c)
        for (int n = 0; n < 4; ++n) {
          const int x = xvec[size_t(c)] + kDx4[n], y = yvec[size_t(c)] + kDy4[n];
          if (!inside(x, y, width, height)) continue;
          const int nindex = y * width + x;
          if (nlabels[nindex] < 0 && labels[oindex] == labels[nindex]) {
            xvec[size_t(count)] = x;
            yvec[size_t(count)] = y;
            nlabels[nindex] = label;
            count++;
          }
        }
      // Too small a segment joins the neighbour found before growing it.
      if (count <= SUPSZ >> 2) {
        for (int c = 0; c < count; ++c) nlabels[yvec[size_t(c)] * width + xvec[size_t(c)]] = adjlabel;
        label--;
      }
      label++;
    }
  numlabels = label;
}

bool SLIC::start(const unsigned int* ubuff, int width, int height, int* klabels, int& numlabels) {
  numlabels = 0;
  if (!ubuff || !klabels || !fitsLabels(width, height)) return false;
  m_width = width;
  m_height = height;
  std::fill(klabels, klabels + size_t(width) * size_t(height), -1);
  DoRGBtoLABConversion(ubuff, m_lvec, m_avec, m_bvec);
  return true;
}

void SLIC::segment(int* klabels, int& numlabels, Seeds (&seeds)[5], int coreStep, int K) {
  PerformSuperpixelSegmentation_VariableSandM(seeds[0], seeds[1], seeds[2], seeds[3], seeds[4], klabels, coreStep,
                                              kIterations);
  numlabels = int(seeds[0].size());
  std::vector<int> nlabels(size_t(m_width) * size_t(m_height));
  EnforceLabelConnectivity(klabels, m_width, m_height, nlabels.data(), numlabels, K);
  std::copy(nlabels.begin(), nlabels.end(), klabels);
}

bool SLIC::PerformSLICO_ForGivenStepSize(const unsigned int* ubuff, int width, int height, int* klabels, int& numlabels,
                                         int step, double) {
  if (step < 1) {
    numlabels = 0;
    return false;
  }
  if (!start(ubuff, width, height, klabels, numlabels)) return false;
  std::vector<double> edges;
  DetectLabEdges(m_lvec.data(), m_avec.data(), m_bvec.data(), width, height, edges);
  Seeds seeds[5];
  GetLABXYSeeds_ForGivenStepSize(seeds[0], seeds[1], seeds[2], seeds[3], seeds[4], step, true, edges);
  const double cells = double(width) * double(height) / (double(step) * double(step));
  segment(klabels, numlabels, seeds, step, std::max(1, int(cells)));
  return true;
}

bool SLIC::PerformSLICO_ForGivenK(const unsigned int* ubuff, int width, int height, int* klabels, int& numlabels, int K,
                                  double) {
  if (K < 1 || !fitsLabels(width, height)) {
    numlabels = 0;
    return false;
  }
  K = std::min(K, width * height);
  if (!start(ubuff, width, height, klabels, numlabels)) return false;
  std::vector<double> edges;
  DetectLabEdges(m_lvec.data(), m_avec.data(), m_bvec.data(), width, height, edges);
  Seeds seeds[5];
  GetLABXYSeeds_ForGivenK(seeds[0], seeds[1], seeds[2], seeds[3], seeds[4], K, true, edges);
  const int coreStep = int(std::sqrt(double(width) * double(height) / double(K)) + 2.0);
  segment(klabels, numlabels, seeds, coreStep, K);
  return true;
}

void SLIC::DrawContoursAroundSegments(unsigned int* ubuff, const int* labels, int width, int height,
                                      unsigned int color) {
  if (!ubuff || !labels || !fitsLabels(width, height)) return;
  std::vector<bool> istaken(size_t(width) * size_t(height), false);
  for (int j = 0, mainindex = 0; j < height; ++j)
    for (int k = 0; k < width; ++k, ++mainindex) {
      int np = 0;
      for (int i = 0; i < 8; ++i) {
        const int x = k + kDx8[i], y = j + kDy8[i];
        if (!inside(x, y, width, height)) continue;
        const int index = y * width + x;
        if (!istaken[size_t(index)] && labels[mainindex] != labels[index]) np++;
      }
      if (np > 1) {
        ubuff[mainindex] = color;
        istaken[size_t(mainindex)] = true;
      }
    }
}

void SLIC::DrawContoursAroundSegmentsTwoColors(unsigned int* ubuff, const int* labels, int width, int height) {
  if (!ubuff || !labels || !fitsLabels(width, height)) return;
  std::vector<bool> istaken(size_t(width) * size_t(height), false);
  std::vector<int> contour;
  for (int j = 0, mainindex = 0; j < height; ++j)
    for (int k = 0; k < width; ++k, ++mainindex) {
      int np = 0;
      for (int i = 0; i < 8; ++i) {
        const int x = k + kDx8[i], y = j + kDy8[i];
        if (inside(x, y, width, height) && labels[mainindex] != labels[y * width + x]) np++;
      }
      if (np > 1) {
        contour.push_back(mainindex);
        istaken[size_t(mainindex)] = true;
      }
    }
  for (int index : contour) {
    ubuff[index] = 0xffffff;
    const int k = index % width, j = index / width;
    for (int i = 0; i < 8; ++i) {
      const int x = k + kDx8[i], y = j + kDy8[i];
      if (inside(x, y, width, height) && !istaken[size_t(y * width + x)]) ubuff[y * width + x] = 0;
    }
  }
}
