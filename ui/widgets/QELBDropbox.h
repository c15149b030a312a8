#pragma once
// A drop box: shows the chosen string and, when clicked, opens (a tenth of a second later) a
// pop-up menu of all the strings of its list; a pick sends a copy of onChange with "sender",
// "selected" (unsigned) and "value". A second click on the box, Escape, a pick or a click
// elsewhere closes the menu. Flag 0x1 opens the menu above the box.
//
// The box keeps the last menu it opened; the menu's target is the box, a link that does not
// own and that the box clears when it lets the menu go or goes itself. The list may change
// while the menu is open: a pick is checked against the list as it is then. An empty list opens
// nothing. Everything runs on the window's thread.
#include "ui/widgets/QELBChoiceControl.h"

class QELCMenu;

enum : uint32_t {
  kQELDropboxOpensAbove = 0x1,
};

// The low 32 bits of the code of every item of a drop box's menu; the high ones are its index.
constexpr uint32_t kQELDropboxItemUid = 0x0BADF00D;

class QELBDropbox : public QELBChoiceControl {
public:
  QELBDropbox(OGLTSize size, OGLTPoint position, Ref<LLKBObjectSequence> values, uint32_t capacity = 0);
  ~QELBDropbox() override;

  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;

  // Takes an index of the list, or kQELChoiceNone to choose nothing; ignores any other.
  void setSelected(uint32_t index);
  // The first equal value, else nothing.
  void setValue(std::string_view value);
  // Chooses nothing.
  void setValues(Ref<LLKBObjectSequence> values);

  // The menu while it is open (for tests and the combo box).
  QELCMenu* openMenu() const;
  bool openPending() const { return openPending_; }

  void onMessaged(const Ref<LLKCMessage>& message) override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;
  void onDetachedFromWindow() override;

private:
  friend Ref<QELCMenu> QELFDropboxBuildMenu(QELBDropbox* box, const LLKBObjectSequence* values);
  void open();
  // Hides the menu, takes it from the window and lets it go.
  void closeMenu();

  bool openPending_ = false;
  float openCountdown_ = 0;
  Ref<QELCMenu> menu_;
};

// A menu list with one item per value, in a pop-up menu attached to the box's window; null
// when it cannot be made.
[[nodiscard]] Ref<QELCMenu> QELFDropboxBuildMenu(QELBDropbox* box, const LLKBObjectSequence* values);

class QELCDropbox : public QELBDropbox {
public:
  [[nodiscard]] static Ref<QELCDropbox> widgetWithSize(OGLTSize size, OGLTPoint position,
                                                       Ref<LLKBObjectSequence> values, uint32_t capacity = 0);
  using QELBDropbox::QELBDropbox;
};
