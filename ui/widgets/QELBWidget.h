#pragma once
// The root of the widget tree: a frame in the parent's space, a layer, visibility and
// enablement, an alias, free slots for the owner, the links to parent and window, the frame's
// input queue, the hover messages and the three ways to send a message.
//
// Lifetimes (the one rule of the widget tree, see docs/widgets.md): children are iterated over
// a snapshot, so any hook may detach its widget or a sibling; a widget that sends a message is
// kept alive while the message is handled; the parent and window links do not own and are
// cleared by the parent and the window when they let the widget go; every value taken from a
// message or a frame is checked before use. Everything runs on the window's thread except
// poke(), which may be called from any thread while the window lives.
#include <atomic>
#include <cstdint>
#include <string>
#include <typeinfo>
#include <utility>

#include "framework/core/LLKBObject.h"
#include "framework/core/LLKCMessage.h"
#include "ui/gl/OGLTGeometry.h"
#include "ui/gl/OGLTInput.h"

class QELBParent;
class QELBWindow;
class QELCWidgets;

// The records that reached a widget this frame (since its last onAwaken); a ninth is dropped.
// Records use the GL window's layout; a cursor record's point is in the widget's local
// coordinates.
constexpr uint32_t kQELInputSlots = 8;
struct QELTInputs {
  OGLTInputEvent records[kQELInputSlots];
  uint32_t count;
};

// The layer a dialog takes over a window or a view: the topmost one, above the views and bars.
constexpr int8_t kQELDialogLayer = 8;

class QELBWidget : public LLKBObject {
public:
  ~QELBWidget() override;

  // The nearest ancestor whose class is exactly T (a subclass of T does not match).
  template <typename T>
  T* findAncestorOfClass() const {
    return static_cast<T*>(findAncestorOfType(typeid(T)));
  }
  QELBWidget* findAncestorOfType(const std::type_info& type) const;

  // Free slots for the owner.
  uint32_t tag() const { return tag_; }
  void setTag(uint32_t tag) { tag_ = tag; }
  uint64_t seqn() const { return seqn_; }
  void setSeqn(uint64_t seqn) { seqn_ = seqn; }
  const Ref<LLKBObject>& ancillary() const { return ancillary_; }
  void setAncillary(Ref<LLKBObject> ancillary) { ancillary_ = std::move(ancillary); }
  // A face of the 2D context; the string is not copied. Null is ignored.
  const char* fontName() const { return fontName_; }
  void setFontName(const char* name);

  // Sent (as copies carrying this widget under "sender") when the cursor reaches and leaves it.
  const Ref<LLKCMessage>& onEnter() const { return onEnter_; }
  void setOnEnter(Ref<LLKCMessage> message) { onEnter_ = std::move(message); }
  const Ref<LLKCMessage>& onLeave() const { return onLeave_; }
  void setOnLeave(Ref<LLKCMessage> message) { onLeave_ = std::move(message); }

  // Sizes.
  OGLTSize preferredSize();
  // The current size; controls measure themselves with the window's theme.
  virtual OGLTSize preferredSizeWithWindow(QELBWindow* window);
  // Sets the size and tells the parent, which refits itself at its next update.
  void resizeTo(OGLTSize size);
  void resizeToPreferred();
  void resizeToPreferredWithWindow(QELBWindow* window);
  // Sets the size to the preferred one without telling the parent.
  virtual void resizeWithWindow(QELBWindow* window);

  QELTInputs& inputs() { return inputs_; }
  const QELTInputs& inputs() const { return inputs_; }
  // Whether a cursor record reached the widget this frame (the cursor is over it).
  bool hasCursorRecord() const;

  // Never 0: setLayer(0) stores -1. Changing the layer of an attached widget moves it to its
  // new layer in its parent's (or window's) list.
  int8_t layer() const { return layer_; }
  void setLayer(int8_t layer);

  const std::string& alias() const { return alias_; }
  void setAlias(std::string alias) { alias_ = std::move(alias); }

  virtual uint32_t flags() const { return flags_; }
  virtual void setFlags(uint32_t flags);

  bool visible() const { return visible_; }
  void setVisible(bool visible);
  // The own flag and, with a parent, the parent's enabled().
  bool enabled() const;
  void setEnabled(bool enabled);
  // Visible with every ancestor visible.
  bool showing() const;

  // Coordinates (see docs/widgets.md): a frame is in the parent's space.
  virtual OGLTPoint localToSpace(const OGLTPoint& point);
  virtual OGLTPoint spaceToLocal(const OGLTPoint& point);
  OGLTPoint worldToLocal(const OGLTPoint& point);
  OGLTPoint worldToSpace(const OGLTPoint& point);
  OGLTPoint localToWorld(const OGLTPoint& point);

  OGLTSize size() const { return {frame_.right - frame_.left, frame_.bottom - frame_.top}; }
  // Keeps left and top; not rounded; the parent is not told.
  virtual void setSize(OGLTSize size);
  OGLTPoint position() const { return {frame_.left, frame_.top}; }
  // Rounded up to whole numbers; keeps the size.
  void setPosition(OGLTPoint position);
  OGLTRect bounds() const { return {0, 0, frame_.right - frame_.left, frame_.bottom - frame_.top}; }
  const OGLTRect& frame() const { return frame_; }
  // Moved so that left and top are whole (rounded up); keeps width and height.
  virtual void setFrame(const OGLTRect& frame);
  float opacity() const { return opacity_; }
  virtual void setOpacity(float opacity);

  // Asks the window to draw the widget again at the next frame (window thread; nothing without
  // a window). Call it whenever what the widget shows changes other than through the setters
  // of the widget classes, which ask by themselves.
  void redraw();
  // Where children are placed, in local coordinates; bounds here.
  virtual OGLTRect space();

  // The widget window, asked of the parent and cached when not known yet.
  QELBWindow* window();
  QELBParent* parent() const { return parent_; }

  // Called by the parents' and the window's attach and detach, not by applications.
  void attachIntoParent(QELBParent* parent);
  void detachFromParent();
  void attachIntoWindow(QELBWindow* window);
  void detachFromWindow();

  // Messages: send climbs the tree at once; post delivers to the parent (or the window) on a
  // later turn; poke delivers to this widget's onMessaged on the window's thread, from any
  // thread. Each is dropped (false) without a way to deliver it.
  bool send(const Ref<LLKCMessage>& message);
  bool post(const Ref<LLKCMessage>& message);
  bool poke(const Ref<LLKCMessage>& message);
  bool poke(const Ref<LLKCMessage>& message, uint32_t afterMs);
  // A copy of the message carrying this widget under "sender" (how widgets report what the user
  // did with them), for the caller to add details to; null for a null message.
  Ref<LLKCMessage> copyWithSender(const Ref<LLKCMessage>& message);
  // Sends copyWithSender(message); false for a null message or one that could not be delivered.
  bool sendCopy(const Ref<LLKCMessage>& message);

  // Queues the cursor record as the default cursor hook does; false.
  bool forceInputWithCursor(const OGLTCursorEvent& cursor);

  // Hooks.
  virtual void onAttachedIntoParent() {}
  virtual void onDetachedFromParent() {}
  virtual void onAttachedIntoWindow() {}
  virtual void onDetachedFromWindow() {}
  // Empties the input queue.
  virtual void onAwaken();
  virtual void onSnooze() {}
  // Hands the message on to the parent, or (top level) posts it to the window.
  virtual void onMessaged(const Ref<LLKCMessage>& message);
  virtual void onBroadcast(const Ref<LLKBObject>& object) {}
  // The input hooks queue the record and answer false; true means consumed.
  virtual bool onInputWithKeypad(const OGLTKeypadEvent& key);
  virtual bool onInputWithSymbol(const OGLTCharacterEvent& symbol);
  // The point is in window coordinates.
  virtual bool onInputWithCursor(const OGLTCursorEvent& cursor);
  virtual bool onInputWithScroll(const OGLTScrollEvent& scroll);
  virtual bool onInputWithJoypad(const OGLTJoypadEvent& joypad);
  // Hover tracking.
  virtual void onUpdateWithStep(float step);
  virtual void onRenderWithStep(float step) {}
  virtual void onCursorEnter() {}
  virtual void onCursorLeave() {}

protected:
  QELBWidget(OGLTSize size, OGLTPoint position);
  // Sets a field that the widget's drawing shows, asking for a redraw when it changes.
  template <typename T, typename V>
  void showChange(T& field, V&& value) {
    if (field == value) return;
    field = std::forward<V>(value);
    redraw();
  }

  // The list that holds this widget: the parent's, or the window's for a top-level widget.
  QELCWidgets* owningList();

private:
  bool queue(const OGLTInputEvent& record);
  void moveFrame(const OGLTRect& frame);

  uint64_t seqn_ = 0;
  Ref<LLKBObject> ancillary_;
  OGLTRect frame_{};
  float opacity_ = 1.0f;
  int8_t layer_ = 1;
  uint32_t flags_ = 0;
  uint32_t tag_ = 0;
  const char* fontName_ = nullptr;
  bool visible_ = true;
  bool enabled_ = true;
  bool hovered_ = false;
  QELBParent* parent_ = nullptr;
  std::atomic<QELBWindow*> window_{nullptr};
  std::string alias_;
  QELTInputs inputs_{};
  Ref<LLKCMessage> onEnter_;
  Ref<LLKCMessage> onLeave_;
};

class QELCWidget : public QELBWidget {
public:
  [[nodiscard]] static Ref<QELCWidget> widgetWithSize(OGLTSize size, OGLTPoint position);

protected:
  using QELBWidget::QELBWidget;
};
