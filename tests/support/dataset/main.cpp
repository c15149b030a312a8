// vskdataset FOLDER [--count N] [--seed S] [--size WxH] [--photos]
// Writes the synthetic scenes (and, with --photos, the annotated opencv-doc photos) into FOLDER
// as a COCO-style dataset folder: "<name>.jpg" with "<name>.json" beside it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/dataset/Dataset.h"

namespace {

constexpr const char* kUsage =
    "usage: vskdataset FOLDER [--count N] [--seed S] [--size WxH] [--photos]\n"
    "Writes synthetic scenes (8 by default, 640x480) and, with --photos, the annotated opencv-doc\n"
    "photos into FOLDER as <name>.jpg with <name>.json beside it.\n"
    "  -h, --help  print this help and exit\n";

// A slip on the command line: said with the usage on standard error, and nothing is written.
int slip(const char* program, const std::string& what) {
  std::fprintf(stderr, "%s: %s\n%s", program, what.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  if (argc < 2) return slip(argv[0], "no folder named");
  // A folder is never made from an option given first.
  if (argv[1][0] == '-') {
    const std::string first = argv[1];
    bool known = first == "--count" || first == "--seed" || first == "--size" || first == "--photos";
    return slip(argv[0], (known ? "the folder comes before the option " : "unknown option ") + first);
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
      return slip(argv[0], "unknown or incomplete option " + option);
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
