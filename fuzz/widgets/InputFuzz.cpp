// Input records from the window into the example scene on a headless window: each input is a
// run of records (kind, button, action, point) and frames. Nothing may crash, whatever order
// presses, releases, drags, edge grabs, greedy and sink changes and detaches come in.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/example/QELExampleScene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({640, 400});
  if (!window) return 0;
  QELExampleScene scene = QELFExampleSceneMake(window.get());
  window->frame();
  for (size_t i = 0; i + 4 <= size; i += 4) {
    const uint8_t* r = data + i;
    OGLTPoint point{static_cast<float>(r[2]) * 2.6f, static_cast<float>(r[3]) * 1.6f};
    switch (r[0] % 8) {
      case 0:
        window->cursorEvent(point, r[1] % 4, (r[1] >> 2) % 6);
        break;
      case 1:
        window->key(r[1] + 32, 1 + r[2] % 3, r[3] % 16);
        break;
      case 2:
        window->character(r[1] + (static_cast<uint32_t>(r[2]) << 8));
        break;
      case 3:
        window->scroll({static_cast<float>(static_cast<int8_t>(r[1])), static_cast<float>(static_cast<int8_t>(r[2]))});
        break;
      case 4:
        window->frame(static_cast<float>(r[1]) / 100.0f);
        break;
      case 5:
        // Hands the interface to a widget, or takes a widget out of the tree.
        if (r[1] % 3 == 0) window->setGreedy(r[2] % 2 ? Ref<QELBWidget>(scene.canvas) : Ref<QELBWidget>(scene.red));
        if (r[1] % 3 == 1) window->setSink(scene.green);
        if (r[1] % 3 == 2) scene.column->detach(scene.red);
        break;
      case 6:
        if (r[1] % 2) scene.canvasView->rollup();
        else scene.layoutView->close();
        break;
      default:
        scene.red->setVisible(r[1] % 2);
        scene.layoutView->setEnabled(r[2] % 2);
        break;
    }
  }
  window->frame();
  window->close();
  return 0;
}
