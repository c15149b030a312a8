// The workbench's recents read from settings of any bytes (as JSON): never a crash; the list
// holds at most five entries, every one an existing file with its own display form, and what it
// archives restores to the same list.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "app/shell/VSKTRecents.h"
#include "framework/core/JSKCReader.h"
#include "framework/core/LLKFFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Ref<JSKCFrame> config = JSKCReader::reader()->readFromString(text);
  if (!config) return 0;
  VSKTRecents recents("/");
  recents.restore(*config);
  if (recents.paths().size() > VSKTRecents::kCapacity) std::abort();
  std::set<std::string> shown;
  for (const std::string& path : recents.paths()) {
    if (!LLKFDoesFilePathExists(path.c_str()) || !shown.insert(recents.displayForm(path)).second) std::abort();
  }
  recents.archive(*config);
  VSKTRecents again("/");
  again.restore(*config);
  if (again.paths() != recents.paths()) std::abort();
  return 0;
}
