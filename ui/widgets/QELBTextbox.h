#pragma once
// The editable text field: UTF-8 text of a fixed capacity in bytes, wrapped to the box's width,
// with a caret and a selection, mouse placement and drag selection (a press held 0.15 s),
// keyboard navigation and editing, and copy, cut and paste through the window's clipboard.
// It sends a copy of onChange ("value", "sender") at the end of every frame that edited the
// text, and of onCommit ("value", "sender") on Enter.
//
// The text is always valid UTF-8 without NUL bytes and never more than `capacity` bytes; the
// caret and the selection are byte offsets of whole characters; nothing ever splits a
// character. Keys act on their release and on repeats, never on the first press; characters
// and keys of one frame are taken in the order they came.
//
// Focus: a click (the release of button 1) on a box that is not read-only makes it the window's
// sink and starts editing, as does the sink given to it by its owner; editing ends when the box no longer holds the sink, unless it is
// self-focused (flag 0x1), whose editing setFocused switches. Everything runs on the window's
// thread.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/widgets/QELBControl.h"
#include "ui/widgets/QELFTextboxLayout.h"

enum : uint32_t {
  kQELTextboxSelfFocus = 0x1,  // keeps editing without holding the sink; setFocused works
  kQELTextboxFrameless = 0x2,  // no outline
  kQELTextboxReadOnly = 0x4,   // no editing, no focus by click, no caret; moving and copying work
};

// The part of the text a selection covers: [low(), high()); none when from == to.
struct QELTTextboxSelection {
  uint32_t from = 0, to = 0;
  bool empty() const { return from == to; }
  uint32_t low() const { return from < to ? from : to; }
  uint32_t high() const { return from < to ? to : from; }
};

class QELBTextbox : public QELBControl {
public:
  QELBTextbox(OGLTSize size, OGLTPoint position, std::string_view value, uint32_t capacity);

  // The size of `capacity` "#" characters in the standard text, plus (6, 9), rounded and made
  // even; zero without a window.
  static OGLTSize preferredSizeWithWindow(QELBWindow* window, uint32_t capacity);
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;

  const std::string& value() const { return text_; }
  // Keeps the first capacity bytes that hold whole characters (malformed bytes become U+FFFD);
  // drops the selection and puts the caret at the end.
  void setValue(std::string_view value);
  uint32_t capacity() const { return capacity_; }

  // Editing (state 1).
  bool focused() const { return state_ == 1; }
  void setFocused(bool focused);
  const std::string& label() const { return label_; }
  void setLabel(std::string label) { showChange(label_, std::move(label)); }
  const Ref<LLKCMessage>& onChange() const { return onChange_; }
  void setOnChange(Ref<LLKCMessage> message) { onChange_ = std::move(message); }
  const Ref<LLKCMessage>& onCommit() const { return onCommit_; }
  void setOnCommit(Ref<LLKCMessage> message) { onCommit_ = std::move(message); }

  uint32_t caret() const { return caret_; }
  const QELTTextboxSelection& selection() const { return selection_; }
  bool selecting() const { return selecting_; }
  const QELTTextboxLayout& layout() const { return layout_; }

  void onDetachedFromWindow() override;
  void onUpdateWithStep(float step) override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onCursorEnter() override;
  void onCursorLeave() override;
  void onRenderWithStep(float step) override;

private:
  bool readOnly() const { return flags() & kQELTextboxReadOnly; }
  bool holdsSink();
  // The frame's mouse step; answers whether the box is active this frame.
  bool takeMouse();
  void takeCursor(const OGLTCursorEvent& record);
  // The offset under a point in local coordinates.
  uint32_t offsetAt(OGLTPoint local) const;
  // Wraps the text again when it is not laid out for the box's width.
  void layOut(OGLC2DContext* ctx);
  void takeKey(OGLC2DContext* ctx, const OGLTKeypadEvent& key);
  void takeCharacter(OGLC2DContext* ctx, uint32_t codePoint);
  // Moves the caret; with shift the selection follows it.
  void moveCaret(uint32_t offset, bool extend);
  uint32_t rowStep(int32_t rows) const;
  // Replaces [at, at + removed) by the bytes and lays the rows out again from there.
  void replace(OGLC2DContext* ctx, uint32_t at, uint32_t removed, std::string_view bytes);
  // Removes the selection (caret at its start); false when there is none.
  bool deleteSelection(OGLC2DContext* ctx);
  void paste(OGLC2DContext* ctx, std::string_view clip);
  void copySelection(OGLC2DContext* ctx);
  void send(const Ref<LLKCMessage>& message);
  void drawSelection(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks);
  void drawText(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks, bool active);
  void drawCaret(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks);

  Ref<LLKCMessage> onChange_;
  Ref<LLKCMessage> onCommit_;
  uint32_t state_ = 0;
  std::string text_;
  uint32_t capacity_;
  QELTTextboxSelection selection_;
  bool blinkPhase_ = true;
  float blinkTime_ = 0;
  bool pressing_ = false;
  float holdTime_ = 0;
  bool selecting_ = false;
  uint32_t savedCursor_ = 0;
  bool moved_ = false;
  std::string label_;
  QELTTextboxLayout layout_;
  bool laidOut_ = false;
  uint32_t caret_ = 0;
  bool changed_ = false;
  std::array<uint8_t, kOGLKeyMenu + 1> pressMods_{};  // by key code: the modifiers at its last press
};

class QELCTextbox : public QELBTextbox {
public:
  [[nodiscard]] static Ref<QELCTextbox> widgetWithSize(OGLTSize size, OGLTPoint position, std::string_view value,
                                                       uint32_t capacity);
  using QELBTextbox::QELBTextbox;
};
