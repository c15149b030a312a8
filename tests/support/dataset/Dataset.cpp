#include "tests/support/dataset/Dataset.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>

#include <opencv2/imgproc.hpp>

#include "framework/core/LLKCData.h"
#include "imagekit/IMKFImageFormat.h"
#include "imagekit/IMKFImageLoad.h"
#include "modules/vision/module/QAVFEncodeJPEG.h"

namespace dataset {
namespace {

// COCO categories the scenes use, 90 among them.
constexpr uint32_t kCategories[] = {1, 3, 18, 44, 62, 90};

std::vector<cv::Point> rectangle(cv::Rect box) {
  return {box.tl(), {box.x + box.width, box.y}, box.br(), {box.x, box.y + box.height}};
}

std::vector<cv::Point> triangle(cv::Rect box) {
  return {{box.x + box.width / 2, box.y}, box.br(), {box.x, box.y + box.height}};
}

std::vector<cv::Point> disc(cv::Rect box) {
  std::vector<cv::Point> points;
  const double cx = box.x + box.width / 2.0, cy = box.y + box.height / 2.0;
  for (int i = 0; i < 24; ++i) {
    const double angle = 2 * std::numbers::pi * i / 24;
    points.emplace_back(int(std::lround(cx + box.width / 2.0 * std::cos(angle))),
                        int(std::lround(cy + box.height / 2.0 * std::sin(angle))));
  }
  return points;
}

std::vector<cv::Point> lShape(cv::Rect box) {
  const int w = box.width, h = box.height, x = box.x, y = box.y;
  return {{x, y}, {x + w / 2, y}, {x + w / 2, y + h / 2}, {x + w, y + h / 2}, {x + w, y + h}, {x, y + h}};
}

// A smooth background, so that superpixels inside it are plain.
cv::Mat background(int width, int height, cv::RNG& rng) {
  cv::Mat image(height, width, CV_8UC3);
  const cv::Vec3d from(rng.uniform(150, 230), rng.uniform(150, 230), rng.uniform(150, 230));
  for (int y = 0; y < height; ++y) {
    const double t = double(y) / std::max(1, height - 1);
    image.row(y).setTo(cv::Scalar(from[0] - 30 * t, from[1] - 20 * t, from[2] - 10 * t));
  }
  return image;
}

Object shapeIn(cv::Rect cell, int index, cv::RNG& rng) {
  Object object;
  object.group = "object" + std::to_string(index);
  object.ctid = kCategories[rng.uniform(0, int(std::size(kCategories)))];
  object.colour = cv::Scalar(rng.uniform(0, 120), rng.uniform(0, 120), rng.uniform(0, 120));
  const cv::Rect box(cell.x + cell.width / 8, cell.y + cell.height / 8, cell.width * 3 / 4, cell.height * 3 / 4);
  switch (rng.uniform(0, 5)) {
    case 0:
      object.parts = {rectangle(box)};
      break;
    case 1:
      object.parts = {triangle(box)};
      break;
    case 2:
      object.parts = {disc(box)};
      break;
    case 3:
      object.parts = {lShape(box)};
      break;
    default: {  // two separate parts of one object
      const cv::Rect left(box.x, box.y, box.width * 2 / 5, box.height),
          right(box.x + box.width * 3 / 5, box.y, box.width * 2 / 5, box.height);
      object.parts = {rectangle(left), disc(right)};
      object.oneAnnotation = index % 2 == 0;
    }
  }
  return object;
}

}  // namespace

nlohmann::ordered_json annotate(const std::vector<Object>& objects) {
  nlohmann::ordered_json file = nlohmann::ordered_json::object();
  for (const Object& object : objects) {
    nlohmann::ordered_json group = nlohmann::ordered_json::array();
    for (const auto& part : object.parts) {
      nlohmann::ordered_json flat = nlohmann::ordered_json::array();
      for (const cv::Point& point : part) flat.push_back(point.x), flat.push_back(point.y);
      if (object.oneAnnotation && !group.empty()) {
        group[0]["poly"].push_back(flat);
        group[0]["area"] = group[0]["area"].get<double>() + cv::contourArea(part);
      } else {
        group.push_back(
            {{"ctid", object.ctid}, {"poly", nlohmann::ordered_json::array({flat})}, {"area", cv::contourArea(part)}});
      }
    }
    file[object.group] = group;
  }
  return file;
}

std::vector<Scene> synthetic(uint32_t count, int width, int height, uint32_t seed) {
  std::vector<Scene> scenes;
  cv::RNG rng(seed);
  for (uint32_t s = 0; s < count; ++s) {
    Scene scene;
    scene.name = "synthetic" + std::to_string(s);
    scene.bgr = background(width, height, rng);
    // Shapes sit in the cells of a 3 x 2 grid; some cells stay empty.
    const int columns = 3, rows = 2;
    int index = 0;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        if (rng.uniform(0, 4) == 0) continue;
        const cv::Rect cell(c * width / columns, r * height / rows, width / columns, height / rows);
        Object object = shapeIn(cell, index++, rng);
        cv::fillPoly(scene.bgr, object.parts, object.colour, cv::LINE_8);
        scene.objects.push_back(std::move(object));
      }
    }
    scene.annotations = annotate(scene.objects);
    scenes.push_back(std::move(scene));
  }
  return scenes;
}

std::vector<Scene> photos() {
  const char* folder = std::getenv("VESKO_OPENCV_DATA");
  const std::string data = folder ? folder : "/usr/share/doc/opencv-doc/examples/data";
  // Outlines traced by hand on fruits.jpg (512 x 480): 55 "orange" for the citrus fruits,
  // 53 "apple" for the kiwi and 54 "sandwich" for the cheese.
  const std::vector<Object> fruits = {
      {"orange",
       55,
       {},
       {{{75, 230},
         {90, 170},
         {130, 110},
         {185, 70},
         {230, 45},
         {265, 50},
         {290, 150},
         {320, 250},
         {345, 330},
         {345, 420},
         {330, 450},
         {280, 460},
         {200, 440},
         {130, 390},
         {90, 320}}}},
      {"lime",
       53,
       {},
       {{{345, 170},
         {370, 135},
         {420, 122},
         {470, 128},
         {505, 150},
         {512, 200},
         {505, 240},
         {470, 268},
         {420, 285},
         {375, 270},
         {350, 235}}}},
      {"lemon",
       55,
       {},
       {{{325, 380}, {340, 320}, {380, 275}, {440, 250}, {500, 252}, {512, 260}, {512, 480}, {350, 480}, {330, 440}}}},
      {"kiwi", 53, {}, {{{0, 285}, {40, 285}, {80, 310}, {100, 360}, {100, 420}, {80, 460}, {45, 480}, {0, 480}}}},
      {"cheese", 54, {}, {{{0, 95}, {110, 100}, {115, 150}, {80, 230}, {75, 290}, {0, 270}}}},
  };
  std::vector<Scene> scenes;
  Ref<LLKCData> pixels;
  uint32_t width = 0, height = 0;
  if (IMKFImageLoadFromFile((data + "/fruits.jpg").c_str(), IMKPixelFormatBGR, &pixels, &width, &height) != 0)
    return scenes;
  const cv::Mat bgr = cv::Mat(int(height), int(width), CV_8UC3, pixels->bytes()).clone();
  scenes.push_back({"fruits", bgr, fruits, annotate(fruits)});
  return scenes;
}

bool write(const std::vector<Scene>& scenes, const std::string& folder, std::string* why) {
  for (const Scene& scene : scenes) {
    const std::string base = folder + "/" + scene.name;
    const cv::Mat bgr = scene.bgr.isContinuous() ? scene.bgr : scene.bgr.clone();
    Ref<LLKCData> jpeg;
    std::ofstream image(base + ".jpg", std::ios::binary);
    if (QAVFEncodeJPEG(IMKPixelFormatBGR, bgr.data, uint32_t(bgr.cols), uint32_t(bgr.rows), 95, &jpeg) != 0 ||
        !image.write(reinterpret_cast<const char*>(jpeg->bytes()), std::streamsize(jpeg->length())).flush()) {
      if (why) *why = "cannot write " + base + ".jpg";
      return false;
    }
    std::ofstream json(base + ".json");
    json << scene.annotations.dump(1);
    if (!json.flush()) {
      if (why) *why = "cannot write " + base + ".json";
      return false;
    }
  }
  return true;
}

}  // namespace dataset
