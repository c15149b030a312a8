// Message, busy and input dialogs in a headless window: choices, closing, centring.
#include <gtest/gtest.h>

#include "tests/widgets/QELControlTestKit.h"
#include "framework/core/LLKCString.h"
#include "ui/widgets/QELBBusyDialog.h"
#include "ui/widgets/QELBInputDialog.h"
#include "ui/widgets/QELBMessageDialog.h"

namespace {

using DialogTest = ControlTest;

// The centre of a dialog's i-th button in window coordinates.
OGLTPoint buttonCentre(QELBGroup& row, size_t i) {
  QELBWidget& button = *row._childs()->members().at(i);
  return button.localToWorld({button.size().w / 2, button.size().h / 2});
}

Ref<QELCMessageDialog> yesNo() {
  Ref<QELCMessageDialog> dialog = QELCMessageDialog::widgetWithSize({320, 320}, {0, 0}, "Question");
  EXPECT_TRUE(dialog);
  dialog->setSymbol(0xE816);
  dialog->setMessage("Go on?");
  dialog->setButtons({"Yes", "No"});
  dialog->setVisible(true);
  return dialog;
}

TEST_F(DialogTest, APressedButtonSendsTheChoiceThenItsOwnMessageAndCloses) {
  struct Case {
    bool withChoice;
    bool withTarget;
  } cases[] = {{true, false}, {true, true}, {false, false}};
  for (const Case& c : cases) {
    SetUp();
    Ref<QELCMessageDialog> dialog = yesNo();
    Ref<Catcher> target = Catcher::make({10, 10});
    ASSERT_TRUE(window->attach(target));
    if (c.withChoice) dialog->setOnChoice(LLKCMessage::messageWithCode(77));
    if (c.withTarget) dialog->setTarget(target);
    place(dialog);
    window->frame();
    window->click(buttonCentre(*dialog->buttonRow(), 1));
    window->pump();
    EXPECT_EQ(dialog->parent(), nullptr) << "closed";
    EXPECT_EQ(dialog->_childs()->count(), 0u);
    Catcher& choices = c.withTarget ? *target : *catcher;
    if (c.withChoice) {
      ASSERT_FALSE(choices.messages.empty());
      const Ref<LLKCMessage>& choice = choices.messages.front();
      EXPECT_EQ(choice->codeValue(), 77u);
      EXPECT_EQ(choice->details().uintForKey("button", 99), 1u);
      EXPECT_EQ(choice->details().objectForKey("sender").get(), dialog.get());
    }
    // The button's own message climbs on: code {1, 1, 1}.
    ASSERT_FALSE(catcher->messages.empty());
    EXPECT_EQ(catcher->messages.back()->uid(), 1u);
    EXPECT_EQ(catcher->messages.back()->ctx(), 1u);
  }
}

TEST_F(DialogTest, AnEmptyMessageClosesWithoutBeingTakenForTheFirstButton) {
  Ref<QELCMessageDialog> dialog = yesNo();
  dialog->setOnChoice(LLKCMessage::messageWithCode(77));
  place(dialog);
  dialog->onMessaged(LLKCMessage::messageWithCode(0));
  EXPECT_EQ(dialog->parent(), nullptr);
  ASSERT_EQ(catcher->messages.size(), 1u);
  EXPECT_EQ(catcher->messages[0]->codeValue(), 0u) << "no choice went out";
}

TEST_F(DialogTest, DialogsCentreInTheWindowOrInTheirParentsContent) {
  Ref<QELCMessageDialog> top = yesNo();
  ASSERT_TRUE(window->attach(top));
  window->frame();
  EXPECT_FLOAT_EQ(top->position().x, std::round((400 - top->size().w) / 2));
  EXPECT_FLOAT_EQ(top->position().y, std::round((300 - top->size().h) / 2));

  Ref<QELCView> view = QELCView::widgetWithSize({390, 290}, {5, 5}, "Holder");
  view->setVisible(true);
  ASSERT_TRUE(window->attach(view));
  Ref<QELCBusyDialog> busy = QELCBusyDialog::widgetWithSize({100, 100}, {0, 0}, "Working");
  ASSERT_TRUE(busy);
  busy->setMessage("Listing ...");
  busy->setVisible(true);
  ASSERT_TRUE(view->attach(busy));
  window->frame();
  OGLTRect space = view->space();
  EXPECT_FLOAT_EQ(busy->position().x, std::round((space.right - space.left - busy->size().w) / 2));
  EXPECT_FLOAT_EQ(busy->position().y, std::round((space.bottom - space.top - busy->size().h) / 2));
  // Pushed partly out of its area, it comes back to the centre.
  OGLTPoint centred = busy->position();
  busy->setPosition({space.right, 0});
  window->frame();
  EXPECT_FLOAT_EQ(busy->position().x, centred.x);
  EXPECT_FLOAT_EQ(busy->position().y, centred.y);
}

TEST_F(DialogTest, NewButtonsReplaceTheOldAndNoneLeavesAnEmptyRow) {
  Ref<QELCMessageDialog> dialog = yesNo();
  dialog->setButtons({"Okay."});
  EXPECT_EQ(dialog->buttonRow()->_childs()->members().size(), 1u);
  dialog->setButtons({});
  EXPECT_TRUE(dialog->buttonRow()->_childs()->members().empty());
  EXPECT_TRUE(dialog->buttons().empty());
}

TEST_F(DialogTest, TheInputDialogSendsItsTextOnACommitOrAButtonAndCloses) {
  struct Case {
    bool commit;
    bool hasButton;
  } cases[] = {{true, false}, {false, true}};
  for (const Case& c : cases) {
    SetUp();
    Ref<QELCInputDialog> dialog = QELCInputDialog::widgetWithSize({0, 0}, {0, 0}, "Name", 24);
    ASSERT_TRUE(dialog);
    dialog->setLabel("Name:");
    dialog->setValue("draft");
    dialog->setButtons({"Okay.", "Cancel"});
    dialog->setOnChoice(LLKCMessage::messageWithCode(5));
    dialog->setVisible(true);
    place(dialog);
    window->frame();
    if (c.commit) {
      QELBTextbox& box = *dialog->textbox();
      window->click(box.localToWorld({box.size().w / 2, box.size().h / 2}));
      window->key(kOGLKeyEnter, kOGLActionPress);
      window->key(kOGLKeyEnter, kOGLActionRelease);
      window->frame();
    } else {
      window->click(buttonCentre(*dialog->buttonRow(), 1));
    }
    window->pump();
    EXPECT_EQ(dialog->parent(), nullptr) << "closed";
    ASSERT_FALSE(catcher->messages.empty());
    const Ref<LLKCMessage>& choice = catcher->messages.front();
    ASSERT_EQ(choice->codeValue(), 5u);
    EXPECT_EQ(choice->details().objectForKeyAs<LLKCString>("value")->string(), "draft");
    EXPECT_EQ(choice->details().contains("button"), c.hasButton);
    if (c.hasButton) {
      EXPECT_EQ(choice->details().uintForKey("button"), 1u);
    }
  }
}

}  // namespace
