// The drop box, the selector and the combo box in a headless window: picks through the real
// pop-up menu (also while the list changes under it), measuring, stepping at both ends, and the
// combo box's insert, remove and edit modes.
#include <initializer_list>

#include <gtest/gtest.h>

#include "framework/core/LLKCObjectList.h"
#include "tests/widgets/QELControlTestKit.h"
#include "ui/widgets/QELBCombobox.h"
#include "ui/widgets/QELBDropbox.h"
#include "ui/widgets/QELBMenu.h"
#include "ui/widgets/QELBSelector.h"

namespace {

constexpr uint64_t kChanged = 7, kInserted = 8, kRemoved = 9;

Ref<LLKCObjectList> strings(std::initializer_list<const char*> texts) {
  Ref<LLKCObjectList> list = LLKCObjectList::list();
  for (const char* t : texts) EXPECT_EQ(list->append(LLKCString::stringWithChars(t)), 0);
  return list;
}

class Choice : public ControlTest {
protected:
  // Frames enough for the 0.1 s delays of the controls and the menu items.
  void settle() {
    for (int i = 0; i < 6; ++i) window->frame();
  }
  OGLTPoint centre(QELBWidget* w) { return w->localToWorld({w->size().w / 2, w->size().h / 2}); }
  // The item of the open menu at that index.
  QELBWidget* item(QELBDropbox* box, size_t index) {
    QELCMenu* menu = box->openMenu();
    if (!menu || menu->childs().empty()) return nullptr;
    auto* list = dynamic_cast<QELBParent*>(menu->childs()[0].get());
    return list && index < list->childs().size() ? list->childs()[index].get() : nullptr;
  }
  std::vector<Ref<LLKCMessage>> messagesWithCode(uint64_t code) {
    std::vector<Ref<LLKCMessage>> found;
    for (const Ref<LLKCMessage>& m : catcher->messages)
      if (m->codeValue() == code) found.push_back(m);
    return found;
  }
  static std::string valueOf(const Ref<LLKCMessage>& m) {
    Ref<LLKCString> v = m->details().objectForKeyAs<LLKCString>("value");
    return v ? v->string() : "(none)";
  }
  Ref<QELCDropbox> dropbox(Ref<LLKCObjectList> values) {
    Ref<QELCDropbox> box = QELCDropbox::widgetWithSize({120, 24}, {20, 20}, values);
    box->setOnChange(LLKCMessage::messageWithCode(kChanged));
    return place(box);
  }
};

TEST_F(Choice, ADropBoxPicksFromItsMenuAndReportsOnlyANewChoice) {
  Ref<QELCDropbox> box = dropbox(strings({"red", "green", "blue"}));
  box->setSelected(0);
  window->click(centre(box.get()));
  EXPECT_TRUE(box->openPending());
  settle();
  ASSERT_NE(box->openMenu(), nullptr);
  EXPECT_EQ(box->openMenu()->target(), box.get());
  window->click(centre(item(box.get(), 2)));
  settle();
  EXPECT_EQ(box->openMenu(), nullptr);
  EXPECT_EQ(box->selected(), 2u);
  ASSERT_EQ(messagesWithCode(kChanged).size(), 1u);
  EXPECT_EQ(catcher->last().uintForKey("selected", 99), 2u);
  EXPECT_EQ(valueOf(catcher->messages.back()), "blue");
  // The value already chosen sends nothing.
  window->click(centre(box.get()));
  settle();
  window->click(centre(item(box.get(), 2)));
  settle();
  EXPECT_EQ(messagesWithCode(kChanged).size(), 1u);
}

// A drop box menu always fits in the window: on the side asked for when it has room, else on the
// side with room; a list longer than any room shows what fits, and the wheel and the keys over
// it bring the last item in reach. Also under the window's partial redrawing.
TEST_F(Choice, ADropBoxMenuFitsInTheWindowAndALongOneScrolls) {
  struct Case {
    float top;
    bool opensAbove;
    size_t count;
    bool below;  // where the menu opens
  } cases[] = {
      {20, true, 3, true},      // no room above: below
      {250, false, 3, false},   // no room below: above
      {250, true, 80, false},   // too long for either side: the larger, above, scrolled
      {20, false, 80, true},
  };
  for (bool partial : {false, true})
    for (const Case& c : cases) {
      SetUp();
      window->setRedrawsOnRequest(partial);
      std::vector<std::string> names;
      Ref<LLKCObjectList> values = LLKCObjectList::list();
      for (size_t i = 0; i < c.count; ++i) {
        names.push_back("name " + std::to_string(i));
        ASSERT_EQ(values->append(LLKCString::stringWithString(names.back())), 0);
      }
      Ref<QELCDropbox> box = QELCDropbox::widgetWithSize({120, 24}, {20, c.top}, values);
      if (c.opensAbove) box->setFlags(kQELDropboxOpensAbove);
      box->setOnChange(LLKCMessage::messageWithCode(kChanged));
      place(box);
      window->click(centre(box.get()));
      settle();
      QELCMenu* menu = box->openMenu();
      ASSERT_NE(menu, nullptr);
      const std::string at = std::to_string(c.top) + (partial ? " partial" : "");
      OGLTRect f = menu->frame();
      EXPECT_GE(f.top, 0) << at;
      EXPECT_LE(f.bottom, 300) << at;
      EXPECT_EQ(f.top >= box->frame().bottom, c.below) << at;
      // The last item: End over the menu brings it into the menu's frame, and a click picks it.
      window->cursorEvent(centre(menu));
      window->key(kOGLKeyDown, kOGLActionPress);
      window->frame();
      window->cursorEvent(centre(menu));
      window->key(kOGLKeyEnd, kOGLActionPress);
      window->frame();
      QELBWidget* last = item(box.get(), c.count - 1);
      ASSERT_NE(last, nullptr);
      OGLTPoint p = centre(last);
      EXPECT_TRUE(p.y > f.top && p.y < f.bottom) << at << ": the last item at " << p.y;
      if (c.count > 3) {  // Home and the wheel move it back and forth
        window->cursorEvent(centre(menu));
        window->key(kOGLKeyHome, kOGLActionPress);
        window->frame();
        EXPECT_GT(centre(last).y, f.bottom) << at;
        window->cursorEvent(centre(menu));
        window->scroll({0, -100});
        window->frame();
        EXPECT_EQ(centre(last).y, p.y) << at;
      }
      window->click(centre(last));
      settle();
      EXPECT_EQ(box->selected(), c.count - 1) << at;
    }
}

TEST_F(Choice, APickIsCheckedAgainstTheListAsItIsWhenTheListChangedUnderTheMenu) {
  Ref<LLKCObjectList> values = strings({"a", "b", "c"});
  Ref<QELCDropbox> box = dropbox(values);
  window->click(centre(box.get()));
  settle();
  QELBWidget* third = item(box.get(), 2);
  ASSERT_NE(third, nullptr);
  values->removeTail();
  values->removeTail();
  window->click(centre(third));
  settle();
  EXPECT_EQ(box->selected(), 0u);  // still the first value, chosen at creation
  EXPECT_TRUE(messagesWithCode(kChanged).empty());
  EXPECT_EQ(box->value()->string(), "a");
}

TEST_F(Choice, AnEmptyDropBoxOpensNothingAndAClickOnTheBoxClosesItsMenu) {
  Ref<LLKCObjectList> values = strings({});
  Ref<QELCDropbox> box = dropbox(values);
  window->click(centre(box.get()));
  settle();
  EXPECT_FALSE(box->openPending());
  EXPECT_EQ(box->openMenu(), nullptr);
  values->append(LLKCString::stringWithChars("x"));
  window->click(centre(box.get()));
  settle();
  ASSERT_NE(box->openMenu(), nullptr);
  Ref<QELCMenu> menu(box->openMenu());
  window->click(centre(box.get()));
  settle();
  EXPECT_EQ(box->openMenu(), nullptr);
  EXPECT_EQ(menu->window(), nullptr);
  EXPECT_EQ(menu->target(), nullptr);
  // A box that leaves the window takes its open menu with it.
  window->click(centre(box.get()));
  settle();
  ASSERT_NE(box->openMenu(), nullptr);
  menu = Ref<QELCMenu>(box->openMenu());
  catcher->detach(box);
  EXPECT_EQ(menu->window(), nullptr);
  EXPECT_EQ(menu->target(), nullptr);
}

TEST_F(Choice, DropBoxChoiceSettersAndMeasuring) {
  Ref<QELCDropbox> box = dropbox(strings({"one", "two"}));
  box->setSelected(1);
  box->setSelected(5);  // not in the list: ignored
  EXPECT_EQ(box->selected(), 1u);
  box->setSelected(kQELChoiceNone);
  EXPECT_EQ(box->value(), nullptr);
  box->setValue("two");
  EXPECT_EQ(box->selected(), 1u);
  box->setValue("three");
  EXPECT_EQ(box->selected(), kQELChoiceNone);
  box->setValues(strings({"x"}));
  EXPECT_EQ(box->value(), nullptr);
  uint32_t at = 9;
  EXPECT_TRUE(box->find("x", &at));
  EXPECT_EQ(at, 0u);
  Ref<QELCDropbox> shortValues = QELCDropbox::widgetWithSize({0, 0}, {0, 0}, strings({"a"}), 8);
  Ref<QELCDropbox> longValues = QELCDropbox::widgetWithSize({0, 0}, {0, 0}, strings({"a much longer value"}), 8);
  Ref<QELCDropbox> longest = QELCDropbox::widgetWithSize({0, 0}, {0, 0}, strings({"a", "a much longer value"}));
  OGLTSize s = shortValues->preferredSizeWithWindow(window.get());
  EXPECT_EQ(s.w, longValues->preferredSizeWithWindow(window.get()).w);
  EXPECT_GT(longest->preferredSizeWithWindow(window.get()).w, s.w);
  EXPECT_EQ(static_cast<int>(s.w) % 2, 0);
  EXPECT_EQ(static_cast<int>(s.h) % 2, 0);
  EXPECT_EQ(QELFDropboxFindLongestValues(strings({"ab", "cd", "e"}).get())->string(), "ab");
  EXPECT_EQ(QELFSelectorFindLongestValues(strings({}).get()), nullptr);
}

TEST_F(Choice, ASelectorStepsWithinItsListAndReportsAfterATenth) {
  Ref<QELCSelector> sel = QELCSelector::widgetWithSize({150, 24}, {20, 60}, strings({"lo", "mid", "hi"}));
  sel->setOnChange(LLKCMessage::messageWithCode(kChanged));
  place(sel);
  OGLTPoint back = sel->localToWorld({4, 12}), forward = sel->localToWorld({146, 12});
  window->click(back);  // at index 0: nothing
  settle();
  EXPECT_TRUE(messagesWithCode(kChanged).empty());
  window->click(forward);
  EXPECT_TRUE(sel->changePending());
  EXPECT_TRUE(messagesWithCode(kChanged).empty());
  settle();
  ASSERT_EQ(messagesWithCode(kChanged).size(), 1u);
  EXPECT_EQ(catcher->last().uintForKey("selected", 99), 1u);
  EXPECT_EQ(valueOf(catcher->messages.back()), "mid");
  // Keys step only while the cursor is over the selector.
  window->moveTo({300, 250});
  window->key(kOGLKeyRight, kOGLActionPress);
  settle();
  EXPECT_EQ(sel->selected(), 1u);
  window->moveTo(centre(sel.get()));
  window->key(kOGLKeyRight, kOGLActionPress);
  settle();
  window->key(kOGLKeyRight, kOGLActionPress);  // at the last index: nothing
  settle();
  EXPECT_EQ(sel->selected(), 2u);
  EXPECT_EQ(messagesWithCode(kChanged).size(), 2u);
  window->key(kOGLKeyLeft, kOGLActionPress);
  settle();
  EXPECT_EQ(sel->selected(), 1u);
  sel->setValues(strings({}));  // an empty list steps nowhere
  window->click(forward);
  settle();
  EXPECT_EQ(sel->value(), nullptr);
  EXPECT_EQ(messagesWithCode(kChanged).size(), 3u);
}

class Combo : public Choice {
protected:
  Ref<QELCCombobox> combo(Ref<LLKCObjectList> values) {
    Ref<QELCCombobox> c = QELCCombobox::widgetWithSize({200, 24}, {20, 100}, values, 16);
    EXPECT_TRUE(c);
    c->setOnChange(LLKCMessage::messageWithCode(kChanged));
    c->setOnInsert(LLKCMessage::messageWithCode(kInserted));
    c->setOnRemove(LLKCMessage::messageWithCode(kRemoved));
    place(c);
    window->frame();
    return c;
  }
  void type(const char* text) {
    for (const char* p = text; *p; ++p) {
      window->character(static_cast<unsigned char>(*p));
      window->frame();
    }
  }
  void enter() {
    window->key(kOGLKeyEnter, kOGLActionPress);
    window->key(kOGLKeyEnter, kOGLActionRelease);
    window->frame();
  }
};

TEST_F(Combo, PartsAreLaidOutSideBySideOverlappingByOnePixel) {
  Ref<QELCCombobox> c = combo(strings({"a"}));
  EXPECT_FLOAT_EQ(c->dropbox()->frame().left, c->addButton()->frame().right - 1);
  EXPECT_FLOAT_EQ(c->removeButton()->frame().left, c->dropbox()->frame().right - 1);
  EXPECT_EQ(c->textbox()->frame().left, c->dropbox()->frame().left);
  EXPECT_FALSE(c->editing());
  OGLTSize p = c->preferredSizeWithWindow(window.get());
  EXPECT_GT(p.w, c->dropbox()->preferredSizeWithWindow(window.get()).w);
}

TEST_F(Combo, AFadedComboBoxFadesEachOfItsParts) {
  Ref<QELCCombobox> c = combo(strings({"a"}));
  QELBWidget* box = c.get();
  box->setOpacity(0.3f);
  window->frame();
  EXPECT_FLOAT_EQ(c->opacity(), 0.3f);
  std::initializer_list<QELBWidget*> parts{c->addButton(), c->dropbox(), c->textbox(), c->removeButton()};
  for (QELBWidget* part : parts) EXPECT_FLOAT_EQ(part->opacity(), 0.3f);
}

TEST_F(Combo, CommittingIntoAnEmptyListAppendsAndChoosesIt) {
  Ref<LLKCObjectList> values = strings({});
  Ref<QELCCombobox> c = combo(values);
  window->click(centre(c->addButton()));
  settle();
  ASSERT_TRUE(c->editing());
  window->moveTo(centre(c->textbox()));
  type("new");
  enter();
  ASSERT_EQ(values->count(), 1u);
  EXPECT_EQ(c->selected(), 0u);
  EXPECT_FALSE(c->editing());
  ASSERT_EQ(messagesWithCode(kInserted).size(), 1u);
  EXPECT_EQ(valueOf(messagesWithCode(kInserted)[0]), "new");
  ASSERT_EQ(messagesWithCode(kChanged).size(), 1u);
  EXPECT_EQ(messagesWithCode(kChanged)[0]->details().uintForKey("selected", 99), 0u);
}

TEST_F(Combo, CommittingWithNothingChosenChoosesWhatWasAddedAndAChosenPlaceTakesTheNewText) {
  Ref<LLKCObjectList> values = strings({"a", "b"});
  Ref<QELCCombobox> c = combo(values);
  EXPECT_EQ(c->selected(), 0u);  // a new drop box chooses the first value
  c->setSelected(kQELChoiceNone);
  window->click(centre(c->addButton()));
  settle();
  window->moveTo(centre(c->textbox()));
  type("z");
  enter();
  EXPECT_EQ(c->selected(), 2u);
  EXPECT_EQ(c->value()->string(), "z");
  c->setSelected(1);
  window->click(centre(c->addButton()));
  settle();
  window->moveTo(centre(c->textbox()));
  type("y");
  enter();
  EXPECT_EQ(c->selected(), 1u);
  EXPECT_EQ(c->value()->string(), "zy");  // the text box keeps what was typed before
  EXPECT_EQ(values->count(), 4u);
}

TEST_F(Combo, MinusCancelsAnEditOrRemovesTheChosenValue) {
  Ref<LLKCObjectList> values = strings({"a", "b", "c"});
  Ref<QELCCombobox> c = combo(values);
  c->setSelected(1);
  window->click(centre(c->addButton()));
  settle();
  ASSERT_TRUE(c->editing());
  window->click(centre(c->removeButton()));
  settle();
  EXPECT_FALSE(c->editing());
  EXPECT_EQ(values->count(), 3u);
  window->click(centre(c->removeButton()));
  settle();
  ASSERT_EQ(values->count(), 2u);
  ASSERT_EQ(messagesWithCode(kRemoved).size(), 1u);
  EXPECT_EQ(valueOf(messagesWithCode(kRemoved)[0]), "b");
  EXPECT_EQ(valueOf(messagesWithCode(kChanged).back()), "c");
  c->setSelected(1);
  window->click(centre(c->removeButton()));  // the last value: afterwards nothing is chosen
  settle();
  EXPECT_EQ(c->selected(), kQELChoiceNone);
  EXPECT_EQ(valueOf(messagesWithCode(kChanged).back()), "(none)");
  // Escape while hovered leaves edit mode.
  window->click(centre(c->addButton()));
  settle();
  window->moveTo(centre(c->textbox()));
  window->key(kOGLKeyEscape, kOGLActionPress);
  window->frame();
  EXPECT_FALSE(c->editing());
}

}  // namespace
