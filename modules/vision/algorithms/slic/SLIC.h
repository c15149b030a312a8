#pragma once
// SLICO superpixels (simple linear iterative clustering with adaptive colour compactness) of
// packed 32-bit images: red in bits 16..23, green in 8..15, blue in 0..7, top byte ignored.
// Labels are one int per pixel, row-major. The seed and core steps work on the image of the last
// run and do nothing before one.
#include <cstddef>
#include <vector>

class SLIC {
public:
  using Seeds = std::vector<double>;
  using Plane = std::vector<double>;
  using Volume = std::vector<Plane>;

  // sRGB (0..255) to CIE XYZ and to CIE Lab (D65), in double precision.
  static void RGB2XYZ(int r, int g, int b, double& X, double& Y, double& Z);
  static void RGB2LAB(int r, int g, int b, double& L, double& A, double& B);

  // Converts the current width × height image into Lab planes (allocated here).
  void DoRGBtoLABConversion(const unsigned int* ubuff, Plane& lvec, Plane& avec, Plane& bvec);
  // Converts depth images of the current size into Lab volumes (allocated here).
  void DoRGBtoLABConversion(const unsigned int* const* ubuffvec, int depth, Volume& lvec, Volume& avec, Volume& bvec);
  // Edge strength of each pixel: squared Lab distance across it horizontally plus vertically;
  // 0 on the border.
  void DetectLabEdges(const double* lvec, const double* avec, const double* bvec, int width, int height,
                      std::vector<double>& edges);
  // Moves each seed to the weakest edge among its 8 neighbours.
  void PerturbSeeds(Seeds& kseedsl, Seeds& kseedsa, Seeds& kseedsb, Seeds& kseedsx, Seeds& kseedsy,
                    const std::vector<double>& edges);
  // One seed per step × step cell, rows outer.
  void GetLABXYSeeds_ForGivenStepSize(Seeds& kseedsl, Seeds& kseedsa, Seeds& kseedsb, Seeds& kseedsx, Seeds& kseedsy,
                                      int step, bool perturb, const std::vector<double>& edges);
  // About K seeds on a hexagonal grid.
  void GetLABXYSeeds_ForGivenK(Seeds& kseedsl, Seeds& kseedsa, Seeds& kseedsb, Seeds& kseedsx, Seeds& kseedsy, int K,
                               bool perturb, const std::vector<double>& edges);
  // The SLICO iterations: labels every pixel with its nearest seed, then moves the seeds.
  void PerformSuperpixelSegmentation_VariableSandM(Seeds& kseedsl, Seeds& kseedsa, Seeds& kseedsb, Seeds& kseedsx,
                                                   Seeds& kseedsy, int* klabels, int step, int iterations);
  // Relabels so that every label is one 4-connected segment, merging segments of at most a
  // quarter of the expected size (width × height / K) into a neighbour.
  void EnforceLabelConnectivity(const int* labels, int width, int height, int* nlabels, int& numlabels, int K);

  // Segments with seeds step pixels apart (m is ignored: SLICO adapts it). False, with
  // numlabels 0 and the labels untouched, for a missing buffer, an empty or too large image, or
  // a step below 1; a step beyond the image gives a single seed.
  bool PerformSLICO_ForGivenStepSize(const unsigned int* ubuff, int width, int height, int* klabels, int& numlabels,
                                     int step, double m);
  // Segments into about K superpixels (K is at most the number of pixels). False as above, and
  // for K below 1.
  bool PerformSLICO_ForGivenK(const unsigned int* ubuff, int width, int height, int* klabels, int& numlabels, int K,
                              double m);

  // Paints pixels that border at least two not yet painted pixels of another label.
  void DrawContoursAroundSegments(unsigned int* ubuff, const int* labels, int width, int height, unsigned int color);
  // Paints boundary pixels white and their unpainted neighbours black.
  void DrawContoursAroundSegmentsTwoColors(unsigned int* ubuff, const int* labels, int width, int height);

  int width() const { return m_width; }
  int height() const { return m_height; }
  int depth() const { return m_depth; }

private:
  // True once a run has converted an image into the Lab planes.
  bool hasImage() const { return m_width > 0 && m_height > 0 && m_lvec.size() == size_t(m_width) * size_t(m_height); }
  bool start(const unsigned int* ubuff, int width, int height, int* klabels, int& numlabels);
  void segment(int* klabels, int& numlabels, Seeds (&seeds)[5], int coreStep, int K);

  int m_width = 0;
  int m_height = 0;
  int m_depth = 0;
  Plane m_lvec, m_avec, m_bvec;
  Volume m_lvecvec, m_avecvec, m_bvecvec;
};
