// Menus in a headless window: shortcut texts, measuring, one message per choice after the
// click highlight, sub-lists, and the ways a menu collapses (Escape, a click inside that no
// item takes, a click outside).
#include <gtest/gtest.h>

#include "tests/widgets/QELControlTestKit.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/gl/OGLF.h"
#include "ui/widgets/QELBMenu.h"
#include "ui/widgets/QELBMenuItem.h"
#include "ui/widgets/QELBMenuList.h"

namespace {

constexpr QELTGroupSetup kColumn = {kQELGroupColumn, 0, 0, 2, kQELGroupUniformCross};
constexpr uint64_t kOpen = 0x100, kDeep = 0x200;

TEST(QELMenuShortcut, TextNamesModifiersInOrderThenTheKey) {
  struct Case {
    QELTMenuShortcut shortcut;
    const char* text;
  } cases[] = {
      {{kOGLKeyS, 0}, ""},
      {{0, kOGLModControl}, ""},
      {{kOGLKeyS, kOGLModControl}, "Control+S"},
      {{kOGLKeyS, kOGLModControl | kOGLModShift}, "Shift+Control+S"},
      {{kOGLKeyS, kOGLModSuper | kOGLModAlt}, "Alt+Super+S"},
  };
  for (const Case& c : cases) EXPECT_EQ(QELFMenuItemKeymdToString(&c.shortcut), c.text) << c.text;
}

class MenuTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    menu = QELCMenu::widgetWithSize({10, 10}, {20, 20});
    list = QELCMenuList::widgetWithSize({10, 10}, {0, 0}, &kColumn);
    open = item("Open");
    open->setOnClick(LLKCMessage::messageWithCode(kOpen));
    more = item("More");
    sub = QELCMenuList::widgetWithSize({10, 10}, {0, 0}, &kColumn);
    deep = item("Deep");
    deep->setOnClick(LLKCMessage::messageWithCode(kDeep));
    ASSERT_TRUE(sub->attach(deep));
    more->setChild(sub);
    ASSERT_TRUE(list->attach(open) && list->attach(more) && list->attach(item("Inert")));
    ASSERT_TRUE(menu->attach(list));
    menu->setTarget(catcher.get());
  }
  static Ref<QELCMenuItem> item(const char* label) { return QELCMenuItem::widgetWithSize({60, 20}, {0, 0}, label); }
  // Shows the menu as a pop-up of the catcher (or in the window when top).
  void show(uint32_t flags, bool top = false) {
    menu->setFlags(flags);
    ASSERT_TRUE(top ? window->attach(menu) : catcher->attach(menu));
    window->frame();
    window->frame();
  }
  OGLTPoint centre(QELBWidget* w) { return w->localToWorld({w->size().w / 2, w->size().h / 2}); }
  // Frames until the 0.1 s click highlight has run out.
  void settle() {
    for (int i = 0; i < 5; ++i) window->frame();
  }
  bool shown(QELBWidget* w) { return w->visible() && (w->parent() || w->window()); }

  Ref<QELCMenu> menu;
  Ref<QELCMenuList> list, sub;
  Ref<QELCMenuItem> open, more, deep;
};

TEST_F(MenuTest, ItemsShareTheWidestWidthsAndMeasureEven) {
  show(kQELMenuDetaches);
  open->setShortcut({kOGLKeyS, kOGLModControl});
  window->frame();
  OGLTSize own = open->preferredSizeWithWindow(window.get());
  EXPECT_EQ(static_cast<int>(own.w) % 2, 0);
  EXPECT_EQ(static_cast<int>(own.h) % 2, 0);
  EXPECT_GT(open->restWidth(), 12 + open->padding());
  window->frame();
  float common = open->headWidth() + open->restWidth();
  for (const Ref<QELBWidget>& child : list->childs()) {
    EXPECT_GE(child->size().w, common);
    EXPECT_FLOAT_EQ(child->size().w, open->size().w);
  }
}

TEST_F(MenuTest, AListWithOwnWidthsKeepsEachItemsWidth) {
  const QELTGroupSetup plain = {kQELGroupColumn, 0, 0, 2, 0};
  Ref<QELCMenuList> own = QELCMenuList::widgetWithSize({10, 10}, {0, 0}, &plain);
  own->setFlags(kQELMenuListOwnWidths);
  Ref<QELCMenuItem> narrow = item("A"), wide = item("A much longer label");
  narrow->setSize({33, 20});
  ASSERT_TRUE(own->attach(narrow) && own->attach(wide));
  ASSERT_TRUE(catcher->attach(own));
  window->frame();
  window->frame();
  EXPECT_FLOAT_EQ(narrow->size().w, 33);
  EXPECT_FLOAT_EQ(wide->size().w, 60);
}

TEST_F(MenuTest, AChoiceDeliversOneMessageAfterItsHighlightAndCollapsesThePopUp) {
  show(kQELMenuDetaches);
  window->click(centre(open.get()));
  EXPECT_TRUE(open->clicked());
  EXPECT_TRUE(catcher->messages.empty());  // still highlighted
  settle();
  ASSERT_EQ(catcher->messages.size(), 1u);
  EXPECT_EQ(catcher->messages[0]->codeValue(), kOpen);
  EXPECT_EQ(catcher->messages[0]->details().objectForKey("sender").get(), open.get());
  EXPECT_FALSE(shown(menu.get()));
  settle();
  EXPECT_EQ(catcher->messages.size(), 1u);
}

TEST_F(MenuTest, SubListsOpenBesideTheirItemAndTheirChoiceCollapsesEverything) {
  show(kQELMenuDetaches);
  window->click(centre(more.get()));
  settle();
  ASSERT_TRUE(shown(sub.get()));
  EXPECT_EQ(sub->parent(), menu.get());
  EXPECT_NEAR(centre(deep.get()).x - centre(more.get()).x, more->size().w, 8);  // to the right

  // Clicking the open item again folds it (the list's topple) and opens it again 0.1 s later.
  window->click(centre(more.get()));
  EXPECT_FALSE(shown(sub.get()));
  settle();
  EXPECT_TRUE(shown(sub.get()));

  window->click(centre(deep.get()));
  settle();
  ASSERT_EQ(catcher->messages.size(), 1u);
  EXPECT_EQ(catcher->messages[0]->codeValue(), kDeep);
  EXPECT_FALSE(shown(sub.get()));
  EXPECT_FALSE(shown(menu.get()));
}

TEST_F(MenuTest, EscapeCollapsesOnReleaseOnly) {
  show(kQELMenuDetaches, true);
  more->expand();
  ASSERT_TRUE(shown(sub.get()));
  window->cursorEvent(centre(open.get()));
  window->key(kOGLKeyEscape, kOGLActionPress);
  window->frame();
  EXPECT_TRUE(shown(menu.get()));
  window->cursorEvent(centre(open.get()));
  window->key(kOGLKeyEscape, kOGLActionRelease);
  window->frame();
  EXPECT_FALSE(shown(menu.get()));
  EXPECT_FALSE(shown(sub.get()));
}

TEST_F(MenuTest, AClickOutsideFoldsAMenuBarAndRemovesAPopUp) {
  struct Case {
    uint32_t flags;
    bool stays;
  } cases[] = {{kQELMenuPersistent, true}, {kQELMenuDetaches, false}, {0, false}};
  for (const Case& c : cases) {
    SetUp();
    show(c.flags);
    more->expand();
    window->frame();
    ASSERT_TRUE(shown(sub.get()));
    window->click({380, 280});
    EXPECT_FALSE(shown(sub.get())) << c.flags;
    EXPECT_EQ(menu->visible(), c.stays) << c.flags;
    EXPECT_EQ(menu->parent() != nullptr, c.flags != kQELMenuDetaches) << c.flags;
    EXPECT_TRUE(catcher->messages.empty());
  }
}

// Shows a widget from its own update, as a view that opens a pop-up on a click does.
class Revealer : public QELBWidget {
public:
  Revealer() : QELBWidget({1, 1}, {0, 0}) {}
  void onUpdateWithStep(float step) override {
    QELBWidget::onUpdateWithStep(step);
    if (shown) shown->setVisible(true);
    shown = nullptr;
  }
  QELBWidget* shown = nullptr;
};

TEST_F(MenuTest, AMenuShownDuringAFrameIsNotCollapsedByThatFramesClick) {
  show(kQELMenuDetaches);
  menu->setVisible(false);
  Ref<Revealer> revealer = makeRef<Revealer>();
  ASSERT_TRUE(window->attach(revealer));
  window->frame();
  revealer->shown = menu.get();
  window->cursorEvent({380, 280}, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  EXPECT_TRUE(shown(menu.get()));
  window->click({380, 280});
  EXPECT_FALSE(shown(menu.get()));
}

TEST_F(MenuTest, AClickInsideThatNoItemTakesCollapses) {
  show(kQELMenuDetaches);
  more->expand();
  window->frame();
  // The menu has grown over the open sub-list; below the sub-list lies menu, no list.
  float subBottom = sub->localToWorld({0, sub->size().h}).y, menuBottom = menu->localToWorld({0, menu->size().h}).y;
  ASSERT_LT(subBottom + 4, menuBottom);
  OGLTPoint gap{centre(deep.get()).x, (subBottom + menuBottom) / 2};
  window->click(gap);
  EXPECT_FALSE(shown(menu.get()));
}

TEST_F(MenuTest, APopUpWithoutTargetStillDeliversItsChoice) {
  menu->setTarget(nullptr);
  show(kQELMenuDetaches);
  window->click(centre(open.get()));
  settle();
  ASSERT_EQ(catcher->messages.size(), 1u);  // through the parent it had before it collapsed
  EXPECT_EQ(catcher->messages[0]->codeValue(), kOpen);
}

TEST_F(MenuTest, AnItemOutsideAnyMenuOpensNothing) {
  Ref<QELCMenuList> loose = QELCMenuList::widgetWithSize({100, 100}, {0, 0}, &kColumn);
  Ref<QELCMenuItem> lone = item("Lone");
  Ref<QELCMenuList> child = QELCMenuList::widgetWithSize({10, 10}, {0, 0}, &kColumn);
  ASSERT_TRUE(child->attach(item("Leaf")));
  lone->setChild(child);
  ASSERT_TRUE(loose->attach(lone));
  ASSERT_TRUE(catcher->attach(loose));
  window->frame();
  EXPECT_EQ(lone->menu(), nullptr);
  lone->expand();
  window->click(centre(lone.get()));
  settle();
  lone->topple();
  EXPECT_FALSE(child->visible());
  EXPECT_EQ(child->parent(), nullptr);
}

}  // namespace
