// Clipboard text from other programs pasted into a wrapped text box: the first byte sets the
// capacity, the second how far the caret moves in and how much it selects, the rest is the
// clipboard. Whatever the bytes, the value stays valid UTF-8 within the capacity and the caret
// on a character of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/widgets/QELBTextbox.h"
#include "ui/widgets/QELFTextUTF8.h"

namespace {

constexpr int32_t kRight = 262, kPageUp = 266, kKeyV = 86;

void press(QELTestHeadlessWindow& window, int32_t key, int32_t mods = 0) {
  window.key(key, kOGLActionPress, mods);
  window.key(key, kOGLActionRelease, mods);
  window.frame();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({300, 200});
  if (!window) return 0;
  uint32_t capacity = data[0];
  Ref<QELCTextbox> box = QELCTextbox::widgetWithSize({60, 120}, {10, 10}, "héllo wörld €", capacity);
  window->attach(box);
  window->click({12, 12});
  press(*window, kPageUp);
  for (int i = 0; i < data[1] % 8; ++i) press(*window, kRight);
  for (int i = 0; i < data[1] / 32; ++i) press(*window, kRight, kOGLModShift);
  window->context()->ownClipboard().assign(reinterpret_cast<const char*>(data + 2), size - 2);
  press(*window, kKeyV, kOGLModControl);
  window->character(0x1F600);
  window->frame();
  const std::string& value = box->value();
  if (value.size() > capacity || QELFUTF8Sanitized(value, capacity) != value) std::abort();
  if (box->caret() > value.size() || QELFUTF8Floor(value, box->caret()) != box->caret()) std::abort();
  window->detach(box);
  return 0;
}
