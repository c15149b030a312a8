#include "ui/widgets/QELCPickerEntry.h"

#include <cstdio>
#include <ctime>

#include "framework/core/LLKFTime.h"
#include "ui/gl/OGLF.h"
#include "ui/gl/OGLTextIterator.h"

QELCPickerEntry::QELCPickerEntry(Ref<LLKBFSEntry> entry, std::string name, uint64_t size, double time)
    : entry_(std::move(entry)),
      name_(std::move(name)),
      shownName_(QELFPickerShownName(name_)),
      size_(size),
      time_(time) {}

std::string QELFFilePickerSizeText(uint64_t bytes) {
  char text[32];
  double n = static_cast<double>(bytes);
  if (n < 1024) {
    std::snprintf(text, sizeof text, "%0.f B", n);
    return text;
  }
  double k = n / 1024;
  if (k < 1024) {
    std::snprintf(text, sizeof text, "%.1f KB", k);
    return text;
  }
  double m = k / 1024;
  std::snprintf(text, sizeof text, m < 1024 ? "%.1f MB" : "%.1f GB", m < 1024 ? m : m / 1024);
  return text;
}

std::string QELFFilePickerDateText(double seconds) {
  struct tm local {};
  char text[64];
  if (!LLKFThenInLocalTime(seconds, &local) || !LLKFTimeToString(&local, "%d %b %y %T", text, sizeof text)) return "";
  return text;
}

std::string QELFPickerShownName(std::string_view name) {
  std::string shown;
  shown.reserve(name.size());
  const char* p = name.data();
  const char* end = p + name.size();
  while (p < end) {
    const char* start = p;
    uint32_t codePoint = OGLFDecodeUTF8(p, end);
    if (codePoint == 0xFFFD) {
      shown += "\xEF\xBF\xBD";
    } else {
      shown.append(start, p);
    }
  }
  return shown;
}
