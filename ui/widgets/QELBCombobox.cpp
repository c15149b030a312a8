#include "ui/widgets/QELBCombobox.h"

#include <algorithm>
#include <initializer_list>

#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetDrawing.h"

namespace {

// The parts' messages: the buttons (uid 1, tag 1 "+" and 2 "-"), the drop box, the text box.
constexpr uint64_t kAddClick = 0x100000001, kRemoveClick = 0x200000001;
constexpr uint32_t kButtonUid = 1, kAddTag = 1, kRemoveTag = 2, kDropboxChange = 2, kTextboxCommit = 3;

}  // namespace

Ref<QELCCombobox> QELCCombobox::widgetWithSize(OGLTSize size, OGLTPoint position, Ref<LLKBObjectSequence> values,
                                               uint32_t capacity) {
  return makeRef<QELCCombobox>(size, position, std::move(values), capacity);
}

QELBCombobox::QELBCombobox(OGLTSize size, OGLTPoint position, Ref<LLKBObjectSequence> values, uint32_t capacity)
    : QELBParent(size, position),
      add_(QELCButton::widgetWithSize({0, 0}, {0, 0}, "+")),
      remove_(QELCButton::widgetWithSize({0, 0}, {0, 0}, "-")),
      textbox_(QELCTextbox::widgetWithSize({0, 0}, {0, 0}, "", capacity)),
      dropbox_(QELCDropbox::widgetWithSize({0, 0}, {0, 0}, std::move(values))) {
  add_->setOnClick(LLKCMessage::messageWithCode(kAddClick));
  remove_->setOnClick(LLKCMessage::messageWithCode(kRemoveClick));
  dropbox_->setOnChange(LLKCMessage::messageWithCode(kDropboxChange));
  textbox_->setOnCommit(LLKCMessage::messageWithCode(kTextboxCommit));
  textbox_->setVisible(false);
  textbox_->setFlags(kQELTextboxSelfFocus);
  attach(add_);
  attach(dropbox_);
  attach(textbox_);
  attach(remove_);
}

QELBCombobox::~QELBCombobox() = default;

void QELBCombobox::setOpacity(float opacity) {
  QELBParent::setOpacity(opacity);
  for (QELBWidget* part : std::initializer_list<QELBWidget*>{add_.get(), dropbox_.get(), textbox_.get(), remove_.get()})
    if (part) part->setOpacity(opacity);
}

void QELBCombobox::setFlags(uint32_t flags) {
  QELBParent::setFlags(flags);
  dropbox_->setFlags((dropbox_->flags() & ~kQELDropboxOpensAbove) | (flags & kQELDropboxOpensAbove));
}

OGLTSize QELBCombobox::preferredSizeWithWindow(QELBWindow* window) {
  if (!QELFControlDrawingOf(window)) return {0, 0};
  OGLTSize button = add_->preferredSizeWithWindow(window);
  OGLTSize text = textbox_->preferredSizeWithWindow(window), drop = dropbox_->preferredSizeWithWindow(window);
  return {2 * (button.w - 1) + std::max(text.w, drop.w), std::max(text.h, drop.h)};
}

void QELBCombobox::onAwaken() {
  QELBParent::onAwaken();
  OGLTRect s = space();
  float w = s.right - s.left, h = s.bottom - s.top;
  QELBWindow* window = this->window();
  for (QELCButton* button : {add_.get(), remove_.get()})
    button->setSize({window ? button->preferredSizeWithWindow(window).w : button->size().w, h});
  dropbox_->setSize({w - 2 * add_->size().w, h});
  textbox_->setSize(dropbox_->size());
  dropbox_->setPosition({add_->frame().right - 1, 0});
  textbox_->setPosition(dropbox_->position());
  remove_->setPosition({dropbox_->frame().right - 1, 0});
}

void QELBCombobox::edit(bool editing) {
  textbox_->setVisible(editing);
  dropbox_->setVisible(!editing);
  textbox_->setFocused(editing);
}

void QELBCombobox::sendChange() {
  Ref<LLKCMessage> copy = copyWithSender(onChange_);
  if (!copy) return;
  if (Ref<LLKCString> chosen = dropbox_->value()) {
    copy->details().storeUint(dropbox_->selected(), "selected");
    copy->details().storeObject(chosen, "value");
  }
  send(copy);
}

void QELBCombobox::removeChosen() {
  const Ref<LLKBObjectSequence>& values = dropbox_->values();
  uint32_t index = dropbox_->selected();
  if (!values || index == kQELChoiceNone) return;
  Ref<LLKBObject> removed = values->removeAtIndex(index);
  // The next value takes the removed one's place; after the last one nothing is chosen.
  dropbox_->setSelected(index < values->count() ? index : kQELChoiceNone);
  if (Ref<LLKCMessage> copy = copyWithSender(onRemove_)) {
    copy->details().storeObject(removed, "value");
    send(copy);
  }
  sendChange();
}

void QELBCombobox::insert(const Ref<LLKCMessage>& commit) {
  Ref<LLKCString> text = commit->details().objectForKeyAs<LLKCString>("value");
  const Ref<LLKBObjectSequence>& values = dropbox_->values();
  if (!text || !values) return;
  uint32_t index = dropbox_->selected();
  if (index != kQELChoiceNone) {
    values->insert(text, index);  // the new text takes the chosen place
  } else {
    values->append(text);
    index = static_cast<uint32_t>(values->count() - 1);  // what was added is chosen
  }
  dropbox_->setSelected(index);
  if (Ref<LLKCMessage> copy = copyWithSender(onInsert_)) {
    copy->details().storeObject(text, "value");
    send(copy);
  }
  if (Ref<LLKCMessage> copy = copyWithSender(onChange_)) {
    copy->details().storeUint(dropbox_->selected(), "selected");
    copy->details().storeObject(text, "value");
    send(copy);
  }
  edit(false);
}

void QELBCombobox::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  Ref<QELBCombobox> self(this);  // a handler of the messages sent here may detach the combo box
  switch (message->uid()) {
    case kButtonUid:
      if (message->tag() == kAddTag) edit(!editing());
      else if (message->tag() == kRemoveTag && editing()) edit(false);  // cancels the edit
      else if (message->tag() == kRemoveTag) removeChosen();
      break;
    case kDropboxChange:
      sendChange();
      break;
    case kTextboxCommit:
      insert(message);
      break;
    default:
      break;
  }
}

bool QELBCombobox::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (!hasCursorRecord()) return false;
  if (editing() && key.key == kOGLKeyEscape) {
    edit(false);
    return true;
  }
  if (editing()) return textbox_->onInputWithKeypad(key);
  return QELBParent::onInputWithKeypad(key);
}

void QELBCombobox::onRenderWithStep(float step) {
  OGLC2DContext* ctx = window() ? window()->context() : nullptr;
  // Drawn clipped to its frame by its parent; each child clipped to its own.
  if (ctx && visible()) QELFWidgetRenderChildren(ctx, childs(), step);
}
