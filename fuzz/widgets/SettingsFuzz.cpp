// The settings file: whatever bytes it holds, reading answers a frame (never null), and a frame
// that was read is written back and read again unchanged in size.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ui/widgets/QELBApplication.h"

namespace {

// The folder the files are written in, removed with them when the run ends.
struct Folder {
  Folder() {
    char pattern[] = "/tmp/qel-settings-fuzz-XXXXXX";
    if (mkdtemp(pattern)) path = pattern;
  }
  ~Folder() {
    std::error_code error;
    if (!path.empty()) std::filesystem::remove_all(path, error);
  }
  std::string path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Folder folder;
  if (folder.path.empty()) return 0;
  const std::string path = folder.path + "/config.json", copy = folder.path + "/copy.json";
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  Ref<JSKCFrame> frame = QELFApplicationReadConfig(path.c_str());
  if (!frame) std::abort();
  if (QELFApplicationWriteJSON(copy.c_str(), frame.get())) {
    Ref<JSKCFrame> again = QELFApplicationReadJSON(copy.c_str());
    if (!again || again->count() != frame->count()) std::abort();
  }
  return 0;
}
