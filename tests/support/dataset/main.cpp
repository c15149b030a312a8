// vskdataset FOLDER [--count N] [--seed S] [--size WxH] [--photos]
// Writes the synthetic scenes (and, with --photos, the annotated opencv-doc photos) into FOLDER
// as a COCO-style dataset folder: "<name>.jpg" with "<name>.json" beside it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/dataset/Dataset.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FOLDER [--count N] [--seed S] [--size WxH] [--photos]\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  uint32_t count = 8, seed = 1;
  int width = 640, height = 480;
  bool withPhotos = false;
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (option == "--photos") {
      withPhotos = true;
    } else if (value && option == "--count") {
      count = uint32_t(std::strtoul(argv[++i], nullptr, 10));
    } else if (value && option == "--seed") {
      seed = uint32_t(std::strtoul(argv[++i], nullptr, 10));
    } else if (value && option == "--size" && std::sscanf(argv[++i], "%dx%d", &width, &height) == 2 && width > 0 &&
               height > 0) {
    } else {
      std::fprintf(stderr, "%s: unknown or incomplete option %s\n", argv[0], option.c_str());
      return 2;
    }
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  std::vector<dataset::Scene> scenes = dataset::synthetic(count, width, height, seed);
  if (withPhotos) {
    std::vector<dataset::Scene> photos = dataset::photos();
    if (photos.empty()) std::fprintf(stderr, "%s: no photos: install Debian's opencv-doc\n", argv[0]);
    scenes.insert(scenes.end(), photos.begin(), photos.end());
  }
  std::string why;
  if (!dataset::write(scenes, folder, &why)) {
    std::fprintf(stderr, "%s: %s\n", argv[0], why.c_str());
    return 1;
  }
  std::printf("%zu images in %s\n", scenes.size(), folder.c_str());
  return 0;
}
