// Names that the file system hands a picker's worker: any bytes but '/' and NUL, a file of that
// name listed in a folder of its own. Whatever the bytes, the listing ends, the entry keeps the
// name as it is (its path reaches the file) and the name it shows is valid UTF-8.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/core/LLKCObjectList.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/widgets/QELBPickerWorker.h"
#include "ui/widgets/QELCPickerEntry.h"
#include "ui/widgets/QELFTextUTF8.h"

namespace {

// Keeps the batches that reach it.
class Collector : public QELBWidget {
public:
  Collector() : QELBWidget({1, 1}, {0, 0}) {}
  void onMessaged(const Ref<LLKCMessage>& message) override { batches.push_back(message); }
  std::vector<Ref<LLKCMessage>> batches;
};

// A folder of its own for each input, removed after it.
std::filesystem::path folder() {
  return std::filesystem::temp_directory_path() / ("vesko-names-" + std::to_string(getpid()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({10, 10});
  if (!window) return 0;
  std::string name(reinterpret_cast<const char*>(data), std::min<size_t>(size, 200));
  for (char& c : name)
    if (c == '/' || c == '\0') c = '_';
  if (name.empty() || name[0] == '.') name.insert(0, "n");
  std::error_code error;
  std::filesystem::create_directories(folder(), error);
  std::filesystem::path file = folder() / name;
  if (!std::ofstream(file)) return 0;

  Ref<Collector> collector = makeRef<Collector>();
  window->attach(collector);
  Ref<QELCPickerLink> link = makeRef<QELCPickerLink>(collector.get(), window.get());
  Ref<QELCFilePickerWorker> worker = makeRef<QELCFilePickerWorker>(link);
  if (!worker->start()) std::abort();
  (void)worker->post(
      LLKCMessage::messageWithCode(LLKTMessageCode{6, 0, 1}, LLKCFSFolder::folderWithPath(folder().c_str())));
  bool ended = window->pumpUntil(
      [&] { return !collector->batches.empty() && collector->batches.back()->details().boolForKey("last"); });
  link->cut();
  worker->stopAndJoin();
  window->detach(collector);
  std::filesystem::remove_all(folder(), error);
  if (!ended) std::abort();
  size_t found = 0;
  for (const Ref<LLKCMessage>& batch : collector->batches) {
    Ref<LLKCObjectList> entries = batch->payloadAs<LLKCObjectList>();
    for (size_t i = 0; entries && i < entries->count(); ++i) {
      Ref<QELCPickerEntry> entry = entries->fetchAtIndexAs<QELCPickerEntry>(i);
      if (!entry || entry->name() != name || entry->file()->fullPath() != file.string()) std::abort();
      if (QELFUTF8Sanitized(entry->shownName(), SIZE_MAX) != entry->shownName()) std::abort();
      ++found;
    }
  }
  if (found != 1) std::abort();
  return 0;
}
