#pragma once
// One entry of a menu list: a text label or a glyph of the "symbols" face, an optional shortcut
// text and an optional arrow. A click highlights the item for a tenth of a second, then either
// opens (or closes) its sub-list inside the menu or sends a copy of its onClick message (with
// the item under "sender") up to the menu.
//
// The item owns its sub-list throughout; the list is attached to the item's menu only while it
// is open. An item outside a menu (its parent not a menu list inside a menu) opens nothing.
#include <cstdint>
#include <optional>
#include <string>

#include "ui/widgets/QELBWidget.h"

class QELBMenu;
class QELBMenuList;

struct QELTMenuShortcut {
  int32_t key;        // a key code of the GL layer
  int32_t modifiers;  // shift 1, control 2, alt 4, super 8
};

enum : uint32_t {
  kQELMenuItemNoArrow = 0x1,     // no sub-list arrow and no room for it
  kQELMenuItemOpensBelow = 0x2,  // the sub-list opens below the item (a menu bar entry)
};

// The glyph of the sub-list arrow in the "symbols" face.
constexpr uint32_t kQELMenuArrowGlyph = 0xE80F;

// "Shift+Control+S": the modifier names in the order shift, control, alt, super, then the key
// name; empty when the key or the modifiers are 0 (a shortcut without a modifier shows nothing).
std::string QELFMenuItemKeymdToString(const QELTMenuShortcut* shortcut);

class QELBMenuItem : public QELBWidget {
public:
  QELBMenuItem(OGLTSize size, OGLTPoint position, std::string label);
  QELBMenuItem(OGLTSize size, OGLTPoint position, uint32_t icon);
  ~QELBMenuItem() override;

  // Opens the sub-list when it is closed, without the toggle of a click.
  void expand();
  // Folds the sub-list's own sub-lists, then closes the sub-list.
  void topple();

  // Measures the label (or icon) with the shortcut or arrow and stores headWidth and restWidth;
  // zero without a window or a drawing context. Even whole numbers.
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  float headWidth() const { return headWidth_; }
  float restWidth() const { return restWidth_; }

  const QELTMenuShortcut& shortcut() const { return shortcut_; }
  void setShortcut(const QELTMenuShortcut& shortcut);
  // Empty when the shortcut shows no text.
  const std::string& shortcutText() const { return shortcutText_; }
  float padding() const { return padding_; }
  void setPadding(float padding) { padding_ = padding; }
  uint32_t icon() const { return icon_; }
  // Drops the label: the item becomes an icon item.
  void setIcon(uint32_t codePoint);
  // Empty for an icon item.
  const std::string& label() const;
  void setLabel(std::string label) { label_ = std::move(label); }
  const Ref<QELBMenuList>& child() const { return child_; }
  // Also hides the list.
  void setChild(Ref<QELBMenuList> list);
  const Ref<LLKCMessage>& onClick() const { return onClick_; }
  void setOnClick(Ref<LLKCMessage> message) { onClick_ = std::move(message); }
  // Whether the click highlight is on (the item fires when it ends).
  bool clicked() const { return clickState_ == 1; }

  // The menu that holds the item: its parent's parent, when the parent is a menu list and that
  // list's parent a menu; null otherwise.
  QELBMenu* menu() const;

  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  friend void QELFMenuItemTrigger(QELBMenuItem* item);
  // Places the sub-list at the item's corner in the menu and attaches it there.
  void open(QELBMenu* owner);
  void close(QELBMenu* owner);

  QELTMenuShortcut shortcut_{0, 0};
  std::string shortcutText_;
  Ref<LLKCMessage> onClick_;
  float padding_ = 4.0f;
  uint32_t icon_ = 0;
  std::optional<std::string> label_;
  int32_t clickState_ = 0;
  float clickCountdown_ = 0;
  Ref<QELBMenuList> child_;
  float headWidth_ = 0;
  float restWidth_ = 0;
};

class QELCMenuItem : public QELBMenuItem {
public:
  [[nodiscard]] static Ref<QELCMenuItem> widgetWithSize(OGLTSize size, OGLTPoint position, std::string label);
  [[nodiscard]] static Ref<QELCMenuItem> widgetWithSize(OGLTSize size, OGLTPoint position, uint32_t icon);
  using QELBMenuItem::QELBMenuItem;
};
