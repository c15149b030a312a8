// Opens a window with the example scene: two views, groups and a canvas. Runs until the window
// is closed.
#include <cstdio>

#include "tests/widgets/example/QELExampleScene.h"
#include "ui/widgets/QELBWindow.h"

namespace {

class ExampleWindow : public QELBWindow {
public:
  static Ref<ExampleWindow> make() { return adoptRef(new ExampleWindow()); }

protected:
  void onOpening() override {
    QELBWindow::onOpening();
    scene_ = QELFExampleSceneMake(this);
  }

private:
  QELExampleScene scene_;
};

}  // namespace

int main() {
  if (!OGLFInit()) {
    std::fprintf(stderr, "the GL layer cannot start\n");
    return 1;
  }
  int status = 0;
  {
    Ref<ExampleWindow> window = ExampleWindow::make();
    window->setTitle("vesko widgets");
    window->setSize({640, 400});
    if (!window->startSync()) status = 1;
  }
  OGLFExit();
  return status;
}
