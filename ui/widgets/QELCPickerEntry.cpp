#include "ui/widgets/QELCPickerEntry.h"

#include <cstdint>
#include <cstdio>
#include <ctime>

#include "framework/core/LLKFTime.h"
#include "ui/widgets/QELFTextUTF8.h"

QELCPickerEntry::QELCPickerEntry(Ref<LLKBFSEntry> entry, std::string name, uint64_t size, double time)
    : entry_(std::move(entry)),
      name_(std::move(name)),
      shownName_(QELFUTF8Sanitized(name_, SIZE_MAX)),
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
