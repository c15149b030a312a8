// Every control and container driven as a person would, in a window that redraws only what was
// asked and in one that draws everything: after every step both show the same pixels. Handlers
// of messages that controls send while they draw change another widget; flashes and highlights
// end by themselves; a hidden spinner costs no frame.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/core/LLKCObjectList.h"
#include "tests/widgets/QELSamePixels.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/QELTestWidgets.h"
#include "ui/widgets/QELBBoard.h"
#include "ui/widgets/QELBButton.h"
#include "ui/widgets/QELBCheckbox.h"
#include "ui/widgets/QELBDropbox.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBMenu.h"
#include "ui/widgets/QELBMenuItem.h"
#include "ui/widgets/QELBMenuList.h"
#include "ui/widgets/QELBScrollbox.h"
#include "ui/widgets/QELBSlider.h"
#include "ui/widgets/QELBSpinner.h"
#include "ui/widgets/QELBTextbox.h"
#include "ui/widgets/QELBToggle.h"

namespace {

constexpr int kWidth = 480, kHeight = 330;

// A window whose handler writes every message that reaches it into the status label, as an
// application shows what its controls did elsewhere in the window.
class ReportingWindow : public QELTestHeadlessWindow {
public:
  bool onMessaged(const Ref<LLKCMessage>& message) override {
    if (status && message) status->setText("message " + std::to_string(message->codeValue()) + " #" +
                                            std::to_string(++reports));
    return true;
  }
  Ref<QELCLabel> status;
  int reports = 0;
};

Ref<LLKCObjectList> names(std::initializer_list<const char*> texts) {
  Ref<LLKCObjectList> list = LLKCObjectList::list();
  for (const char* t : texts) list->append(LLKCString::stringWithChars(t));
  return list;
}

// One of each control and container, each at the top level of the window so that the partial
// redraw touches only what the input reaches.
struct Scene {
  Ref<ReportingWindow> window;
  Ref<QELCToggle> toggle;
  Ref<QELCSlider> slider;
  Ref<QELCTextbox> textbox;
  Ref<QELCCheckbox> checkbox;
  Ref<QELCButton> button;
  Ref<QELCDropbox> dropbox;
  Ref<QELCBoard> board;
  Ref<Probe> underSpinner;
  Ref<QELCSpinner> spinner;
  Ref<QELCScrollbox> scrollbox;
  Ref<QELCMenu> bar;
  Ref<QELCMenuItem> fileHead, runItem;
  Ref<QELCView> view;
  Ref<Probe> menuTarget;  // hands the menu's choices to the window's handler at once

  explicit Scene(bool onRequest) {
    window = QELTestHeadlessWindow::open(adoptRef(new ReportingWindow()), {kWidth, kHeight});
    window->setRedrawsOnRequest(onRequest);
    window->status = QELCLabel::widgetWithSize({200, 20}, {10, 10}, 0x11, "nothing yet");
    window->attach(window->status);
    toggle = QELCToggle::widgetWithSize({120, 28}, {10, 40}, "on", "off");
    toggle->setOnClick(message(1));
    slider = QELCSlider::widgetWithSize({150, 28}, {10, 75}, 0.2f);
    slider->setOnChange(message(2));
    textbox = QELCTextbox::widgetWithSize({200, 26}, {10, 110}, "", 64);
    textbox->setOnChange(message(3));
    textbox->setOnCommit(message(4));
    checkbox = QELCCheckbox::widgetWithSize({120, 24}, {10, 145}, "check");
    checkbox->setOnClick(message(5));
    button = QELCButton::widgetWithSize({80, 24}, {140, 145}, "press");
    button->setOnClick(message(6));
    dropbox = QELCDropbox::widgetWithSize({120, 24}, {10, 180}, names({"red", "green", "blue"}));
    dropbox->setOnChange(message(7));
    for (const Ref<QELBWidget>& control : std::vector<Ref<QELBWidget>>{toggle, slider, textbox, checkbox, button, dropbox})
      window->attach(control);

    static const QELTGroupSetup column = {kQELGroupColumn, 4, 0, 2, kQELGroupUniformCross};
    board = QELCBoard::widgetWithSize({150, 60}, {250, 10}, &column);
    board->setOnClick(message(8));
    board->attach(QELCLabel::widgetWithSize({100, 20}, {0, 0}, 0x11, "a board"));
    window->attach(board);
    underSpinner = Probe::make({28, 28}, {250, 80});
    window->attach(underSpinner);
    spinner = QELCSpinner::widgetWithSize({28, 28}, {250, 80}, 0.5f);
    window->attach(spinner);

    scrollbox = QELCScrollbox::widgetWithSize({150, 90}, {250, 120});
    for (int i = 0; i < 8; ++i)
      scrollbox->attach(QELCLabel::widgetWithSize({120, 20}, {4, 4 + 22.0f * i}, 0x11, "row " + std::to_string(i)));
    window->attach(scrollbox);

    static const QELTGroupSetup row = {kQELGroupRow, 0, 0, 2, kQELGroupUniformCross};
    bar = QELCMenu::widgetWithSize({140, 28}, {10, 220});
    bar->setFlags(kQELMenuPersistent);
    Ref<QELCMenuList> top = QELCMenuList::widgetWithSize({140, 28}, {0, 0}, &row);
    top->setFlags(kQELMenuListOwnWidths);
    fileHead = QELCMenuItem::widgetWithSize({60, 22}, {0, 0}, "File");
    fileHead->setFlags(kQELMenuItemNoArrow | kQELMenuItemOpensBelow);
    Ref<QELCMenuList> entries = QELCMenuList::widgetWithSize({10, 10}, {0, 0}, &column);
    for (int i = 0; i < 3; ++i) {
      Ref<QELCMenuItem> item = QELCMenuItem::widgetWithSize({10, 22}, {0, 0}, "Entry " + std::to_string(i));
      item->setOnClick(message(10 + static_cast<uint64_t>(i)));
      entries->attach(item);
    }
    fileHead->setChild(entries);
    top->attach(fileHead);
    runItem = QELCMenuItem::widgetWithSize({60, 22}, {0, 0}, "Run");
    runItem->setFlags(kQELMenuItemNoArrow);
    runItem->setOnClick(message(9));
    top->attach(runItem);
    bar->attach(top);
    window->attach(bar);
    menuTarget = Probe::make({1, 1}, {kWidth - 1, kHeight - 1});
    menuTarget->onMessage = [this](const Ref<LLKCMessage>& m) { window->onMessaged(m); };
    window->attach(menuTarget);
    bar->setTarget(menuTarget.get());

    view = QELCView::widgetWithSize({200, 90}, {260, 225}, "view",
                                    kQELViewTitleBar | kQELViewStatusBar | kQELViewDraggable);
    view->attach(QELCCheckbox::widgetWithSize({120, 24}, {4, 4}, "inside"));
    window->attach(view);
    settle();
  }
  ~Scene() { bar->setTarget(nullptr); }

  // Frames enough for the tenth-of-a-second delays, flashes and highlights to run out.
  void settle() {
    for (int i = 0; i < 8; ++i) window->frame();
  }
  static OGLTPoint centre(QELBWidget* w) { return w->localToWorld({w->size().w / 2, w->size().h / 2}); }
  void type(const std::string& text) {
    for (char c : text) {
      window->character(static_cast<unsigned char>(c));
      window->frame();
    }
  }
  // The cursor leaves for a place where nothing is.
  void rest() { window->moveTo({470, 200}); }
};

TEST(ControlsRedraw, EveryStepShowsThePixelsOfAFullRedraw) {
  struct Step {
    const char* name;
    std::function<void(Scene&)> apply;
  } steps[] = {
      {"toggle clicked", [](Scene& s) { s.window->click(Scene::centre(s.toggle.get())); }},
      {"cursor away from the toggle", [](Scene& s) { s.rest(); }},
      {"slider dragged",
       [](Scene& s) {
         OGLTPoint c = Scene::centre(s.slider.get());
         s.window->drag({c.x - 40, c.y}, {c.x + 50, c.y}, 5);
       }},
      {"text typed and committed",
       [](Scene& s) {
         s.window->click(Scene::centre(s.textbox.get()));
         s.type("hello");
         s.window->key(kOGLKeyEnter, kOGLActionPress);
         s.window->frame();
         s.window->key(kOGLKeyEnter, kOGLActionRelease);
         s.window->frame();
       }},
      {"check box and button clicked",
       [](Scene& s) {
         s.window->click(Scene::centre(s.checkbox.get()));
         s.window->click(Scene::centre(s.button.get()));
         s.rest();
       }},
      {"drop box opened and a name chosen",
       [](Scene& s) {
         s.window->click(Scene::centre(s.dropbox.get()));
         s.settle();
         QELCMenu* menu = s.dropbox->openMenu();
         ASSERT_NE(menu, nullptr);
         auto* list = dynamic_cast<QELBParent*>(menu->childs()[0].get());
         ASSERT_TRUE(list && list->childs().size() == 3);
         s.window->click(Scene::centre(list->childs()[2].get()));
         s.settle();
         s.rest();
       }},
      {"board clicked, its flash ends",
       [](Scene& s) {
         s.window->click(Scene::centre(s.board.get()));
         s.rest();
       }},
      {"scroll box scrolled by the wheel",
       [](Scene& s) {
         s.window->moveTo(Scene::centre(s.scrollbox.get()));
         s.window->scroll({0, -2});
         s.window->frame();
         s.rest();
       }},
      {"menu opened and an entry chosen",
       [](Scene& s) {
         s.window->click(Scene::centre(s.fileHead.get()));
         s.settle();
         ASSERT_TRUE(s.fileHead->child() && s.fileHead->child()->window());
         QELBWidget* entry = s.fileHead->child()->childs()[1].get();
         s.window->click(Scene::centre(entry));
         s.rest();
       }},
      {"menu bar item clicked, its highlight ends",
       [](Scene& s) {
         s.window->click(Scene::centre(s.runItem.get()));
         s.rest();
       }},
      {"view dragged by its title bar",
       [](Scene& s) {
         s.window->drag({300, 232}, {280, 200}, 4);
         s.rest();
       }},
      {"spinner hidden", [](Scene& s) { s.spinner->setVisible(false); }},
      {"spinner shown", [](Scene& s) { s.spinner->setVisible(true); }},
  };
  Scene partial(true), full(false);
  for (const Step& step : steps) {
    step.apply(partial);
    step.apply(full);
    partial.settle();
    full.settle();
    expectSamePixels(*partial.window, *full.window, kWidth, kHeight, step.name);
  }
  EXPECT_GE(partial.window->reports, 8) << "the controls reported what was done with them";
}

TEST(ControlsRedraw, AHiddenSpinnerAsksForNoFrame) {
  Scene scene(true);
  size_t before = scene.underSpinner->renders.size();
  scene.window->frame();
  EXPECT_GT(scene.underSpinner->renders.size(), before) << "a shown spinner turns: what lies under it is drawn again";
  scene.spinner->setVisible(false);
  scene.window->frame();
  before = scene.underSpinner->renders.size();
  for (int i = 0; i < 5; ++i) scene.window->frame();
  EXPECT_EQ(scene.underSpinner->renders.size(), before) << "a hidden spinner asks for nothing";
}

}  // namespace
