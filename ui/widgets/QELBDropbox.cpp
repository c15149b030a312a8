#include "ui/widgets/QELBDropbox.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "framework/core/LLKFLog.h"
#include "ui/gl/OGLF.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBMenu.h"
#include "ui/widgets/QELBMenuItem.h"
#include "ui/widgets/QELBMenuList.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFGeometry.h"
#include "ui/widgets/QELFWidgetInput.h"

namespace {

constexpr float kOpenDelay = 0.1f;  // seconds from the click to the menu
constexpr int8_t kMenuLayer = 8;
const QELTGroupSetup kSetupMenuList = {kQELGroupColumn, 0, 0, 2, 0x02};

// The arrow in the "symbols" face at the text size.
void setArrowText(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks) {
  QELFControlStandardText(ctx, tweaks);
  OGLF2DTextFontFace(ctx, "symbols");
}

std::string arrowText() {
  char bytes[7] = {};
  return OGLFCodePointToUTF8(static_cast<int>(kQELMenuArrowGlyph), bytes);
}

}  // namespace

Ref<QELCDropbox> QELCDropbox::widgetWithSize(OGLTSize size, OGLTPoint position, Ref<LLKBObjectSequence> values,
                                             uint32_t capacity) {
  return makeRef<QELCDropbox>(size, position, std::move(values), capacity);
}

QELBDropbox::QELBDropbox(OGLTSize size, OGLTPoint position, Ref<LLKBObjectSequence> values, uint32_t capacity)
    : QELBChoiceControl(size, position, std::move(values), capacity) {}

QELBDropbox::~QELBDropbox() {
  if (menu_) menu_->setTarget(nullptr);
}

void QELBDropbox::setSelected(uint32_t index) {
  if (index == kQELChoiceNone || index < choice_.count()) showChange(choice_.selected, index);
}

void QELBDropbox::setValue(std::string_view value) {
  uint32_t index = kQELChoiceNone;
  showChange(choice_.selected, choice_.find(value, &index) ? index : kQELChoiceNone);
}

void QELBDropbox::setValues(Ref<LLKBObjectSequence> values) {
  choice_.values = std::move(values);
  choice_.selected = kQELChoiceNone;
  redraw();
}

QELCMenu* QELBDropbox::openMenu() const { return menu_ && menu_->visible() ? menu_.get() : nullptr; }

OGLTSize QELBDropbox::preferredSizeWithWindow(QELBWindow* window) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  OGLF2DStatePush(d.ctx);
  QELFControlStandardText(d.ctx, *d.tweaks);
  OGLF2DTextAlignment(d.ctx, kOGLAlignLeft | kOGLAlignTop);
  float T[4] = {0, 0, 0, 0}, A[4] = {0, 0, 0, 0};
  OGLF2DTextBounds(d.ctx, choice_.sample(QELFDropboxFindLongestValues(choice_.values.get())).c_str(), T, 0, 0);
  setArrowText(d.ctx, *d.tweaks);
  OGLF2DTextBounds(d.ctx, arrowText().c_str(), A, 0, 0);
  OGLF2DStatePull(d.ctx);
  float m = 4 * QELFControlPad(*d.tweaks);
  return QELFControlRoundedSize({(A[2] - A[0]) + (T[2] - T[0]) + m + 1 + 4, (T[3] - T[1]) + m + 1});
}

Ref<QELCMenu> QELFDropboxBuildMenu(QELBDropbox* box, const LLKBObjectSequence* values) {
  QELBWindow* window = box ? box->window() : nullptr;
  if (!window || !values) return nullptr;
  Ref<QELCMenuList> list = QELCMenuList::widgetWithSize({0, 0}, {0, 0}, &kSetupMenuList);
  OGLTRect space = box->space();
  OGLTSize itemSize{space.right - space.left - 6, space.bottom - space.top - 6};
  for (size_t i = 0; i < values->count(); ++i) {
    Ref<LLKCString> text = values->fetchAtIndexAs<LLKCString>(i);
    Ref<QELCMenuItem> item = QELCMenuItem::widgetWithSize(itemSize, {0, 0}, text ? text->string() : std::string());
    item->setOnClick(LLKCMessage::messageWithCode(LLKTMessageCode{kQELDropboxItemUid, static_cast<uint32_t>(i), 0}));
    list->attach(item);
  }
  list->setOpacity(box->opacity());
  list->setFlags(kQELMenuListOwnWidths);
  list->resizeToPreferredWithWindow(window);
  Ref<QELCMenu> menu = QELCMenu::widgetWithSize({0, 0}, {0, 0});
  menu->setFlags(kQELMenuDetaches | kQELMenuKeepsSize);
  menu->setLayer(kMenuLayer);
  menu->setOpacity(box->opacity());
  menu->attach(list);
  menu->resizeToPreferredWithWindow(window);
  if (!window->attach(menu)) return nullptr;
  return menu;
}

void QELBDropbox::open() {
  closeMenu();
  if (choice_.count() == 0) return;  // nothing to choose from
  Ref<QELCMenu> menu = QELFDropboxBuildMenu(this, choice_.values.get());
  if (!menu) {
    LLKFLog("QELBDropbox : cannot make the menu");
    return;
  }
  // On the side asked for when the menu fits there, else on the side with more room; cut to the
  // room it has, its list then scrolls, showing first the items nearest the box.
  OGLTRect b = bounds();
  OGLTPoint top = localToWorld({std::round(b.left - 1), b.top}), bottom = localToWorld({b.left, b.bottom});
  QELBWindow* owner = window();
  float height = menu->size().h, above = top.y, below = (owner ? owner->size().h : 0) - bottom.y;
  bool up = flags() & kQELDropboxOpensAbove;
  if (height > (up ? above : below) && (up ? below : above) > (up ? above : below)) up = !up;
  float room = std::max(0.0f, up ? above : below);
  if (height > room) {
    height = room;
    menu->setSize({menu->size().w, height});
    if (up) menu->scrollList(std::numeric_limits<float>::max());
  }
  menu->setPosition({top.x, std::round(up ? above - height : bottom.y)});
  menu->setTarget(this);
  menu->setVisible(true);
  menu_ = menu;
}

void QELBDropbox::closeMenu() {
  if (!menu_) return;
  Ref<QELCMenu> menu = std::move(menu_);
  menu->setTarget(nullptr);
  menu->setVisible(false);
  if (QELBWindow* w = menu->window()) w->detach(menu);
}

void QELBDropbox::onDetachedFromWindow() {
  closeMenu();
  openPending_ = false;
  QELBControl::onDetachedFromWindow();
}

void QELBDropbox::onMessaged(const Ref<LLKCMessage>& message) {
  if (message && message->uid() == kQELDropboxItemUid) {
    uint32_t index = message->tag();
    if (index >= choice_.count()) {
      // The list changed while the menu was open: the picked entry is gone.
      LLKFLog("QELBDropbox : the picked value %u is no longer in the list", index);
      return;
    }
    if (index != choice_.selected) {
      choice_.selected = index;
      redraw();
      choice_.notify(this);
      return;
    }
  }
  QELBControl::onMessaged(message);
}

bool QELBDropbox::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!QELFWidgetInnerHit(this, cursor.point)) return false;
  QELBControl::onInputWithCursor(cursor);
  if (!QELFControlIsClick(cursor)) return true;
  if (openMenu()) {
    closeMenu();  // a click on the box closes its menu
  } else {
    openPending_ = true;
    openCountdown_ = kOpenDelay;
  }
  return true;
}

bool QELBDropbox::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (key.key == kOGLKeyEscape && key.action == kOGLActionPress && openMenu()) closeMenu();
  return QELBControl::onInputWithKeypad(key);
}

void QELBDropbox::onUpdateWithStep(float step) {
  QELBControl::onUpdateWithStep(step);
  if (menu_ && !menu_->window()) {  // it collapsed and left the window by itself
    menu_->setTarget(nullptr);
    menu_.reset();
  }
  if (!openPending_) return;
  openCountdown_ -= step;
  if (openCountdown_ > 0) return;
  openPending_ = false;
  redraw();
  open();
}

void QELBDropbox::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  const QELTWindowTweaks& t = *d.tweaks;
  bool hot = hovered() || openMenu();
  const OGLTColor& ink = hot || openPending_ ? t.brightColor : t.textColor;
  OGLTRect r = inner();
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathRoundedRect(d.ctx, r.left, r.top, r.right - r.left, r.bottom - r.top, t.cornerRadius);
  if (openPending_) QELFControlFill(d.ctx, t.hoverColor, tint());
  else QELFControlStroke(d.ctx, ink, tint());
  OGLF2DStatePush(d.ctx);
  QELFControlStandardText(d.ctx, t);
  if (Ref<LLKCString> text = choice_.value()) {
    float h = QELFControlTextSize(d.ctx, "#").h;
    QELFControlDrawText(d.ctx, text->chars(), r.left + 5, centreY() - h / 2, kOGLAlignLeft | kOGLAlignTop, ink, tint());
  }
  setArrowText(d.ctx, t);
  std::string arrow = arrowText();
  float A[4] = {0, 0, 0, 0};
  OGLF2DTextBounds(d.ctx, arrow.c_str(), A, 0, 0);
  QELFControlDrawText(d.ctx, arrow.c_str(), r.right - (A[2] - A[0]), centreY(), kOGLAlignRight | kOGLAlignMiddle, ink,
                      tint());
  OGLF2DStatePull(d.ctx);
}
