#pragma once
// The test dataset of the vision tests and benchmarks: COCO-style folders of JPEG images, each
// with its annotation file beside it ("<name>.jpg" and "<name>.json"), made when a test or
// benchmark runs (nothing of it is committed).
//
// - Synthetic scenes: flat-coloured shapes of known outline (rectangles, triangles, discs, an
//   L-shape, and objects made of two separate parts) on a smooth background, placed in grid
//   cells so that no two overlap. Category ids go up to 90; some objects carry two annotations.
// - Photos: pictures of Debian's opencv-doc package (Apache-2.0 / BSD-3-Clause, read from the
//   installed package, VESKO_OPENCV_DATA naming another folder) with annotations placed by hand.
//
// The annotation file is one JSON object; each member is one object group, an array of
// annotations {"ctid": category id, "poly": [[x0, y0, x1, y1, ...], ...], "area": square pixels};
// the first annotation's "ctid" names the group's category.
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>

namespace dataset {

struct Object {
  std::string group;                          // the member name in the annotation file
  uint32_t ctid = 0;                          // COCO category id
  cv::Scalar colour;                          // blue, green, red as drawn (synthetic scenes)
  std::vector<std::vector<cv::Point>> parts;  // the outlines
  bool oneAnnotation = false;                 // all parts in one annotation, else one each
};

struct Scene {
  std::string name;  // the file name without ".jpg"
  cv::Mat bgr;       // the picture, 8-bit blue-green-red
  std::vector<Object> objects;
  nlohmann::ordered_json annotations;  // the annotation file's content
};

// count scenes of width x height, the same for the same seed.
std::vector<Scene> synthetic(uint32_t count, int width, int height, uint32_t seed);

// The annotated photos; empty when opencv-doc is not installed.
std::vector<Scene> photos();

// The annotation object of the scene's objects: one group per object.
nlohmann::ordered_json annotate(const std::vector<Object>& objects);

// Writes "<name>.jpg" (quality 95) and "<name>.json" of every scene into the folder, which
// must exist. False, with the reason in *why, when a file cannot be written.
bool write(const std::vector<Scene>& scenes, const std::string& folder, std::string* why);

}  // namespace dataset
