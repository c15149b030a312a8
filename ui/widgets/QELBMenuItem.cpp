#include "ui/widgets/QELBMenuItem.h"

#include <cmath>

#include "framework/core/LLKFLog.h"
#include "ui/gl/OGLF.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBMenu.h"
#include "ui/widgets/QELBControl.h"
#include "ui/widgets/QELBMenuList.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetDrawing.h"
#include "ui/widgets/QELFWidgetInput.h"

namespace {

constexpr float kClickHighlight = 0.1f;  // seconds the clicked item shows highlighted
constexpr char kSymbolsFace[] = "symbols";

// The standard text setting in the "symbols" face at the given size.
void setSymbolText(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks, float size) {
  QELFControlStandardText(ctx, tweaks);
  OGLF2DTextFontFace(ctx, kSymbolsFace);
  OGLF2DTextFontSize(ctx, size);
}

std::string utf8(uint32_t codePoint) {
  char bytes[7] = {};
  return OGLFCodePointToUTF8(static_cast<int>(codePoint), bytes) ? std::string(bytes) : std::string();
}

}  // namespace

std::string QELFMenuItemKeymdToString(const QELTMenuShortcut* shortcut) {
  if (!shortcut || shortcut->key == 0 || shortcut->modifiers == 0) return {};
  std::string text;
  text.reserve(64);
  for (int bit : {kOGLModShift, kOGLModControl, kOGLModAlt, kOGLModSuper}) {
    if (!(shortcut->modifiers & bit)) continue;
    const char* name = OGLFModToString(bit);
    if (!name) return {};
    if (!text.empty()) text += '+';
    text += name;
  }
  const char* key = OGLFKeyToString(shortcut->key);
  if (!key || text.empty()) return {};
  text += '+';
  text += key;
  return text;
}

QELBMenuItem::QELBMenuItem(OGLTSize size, OGLTPoint position, std::string label)
    : QELBWidget(size, position), label_(std::move(label)) {}

QELBMenuItem::QELBMenuItem(OGLTSize size, OGLTPoint position, uint32_t icon)
    : QELBWidget(size, position), icon_(icon) {}

QELBMenuItem::~QELBMenuItem() = default;

Ref<QELCMenuItem> QELCMenuItem::widgetWithSize(OGLTSize size, OGLTPoint position, std::string label) {
  return makeRef<QELCMenuItem>(size, position, std::move(label));
}

Ref<QELCMenuItem> QELCMenuItem::widgetWithSize(OGLTSize size, OGLTPoint position, uint32_t icon) {
  return makeRef<QELCMenuItem>(size, position, icon);
}

void QELBMenuItem::setShortcut(const QELTMenuShortcut& shortcut) {
  shortcut_ = shortcut;
  shortcutText_ = QELFMenuItemKeymdToString(&shortcut_);
}

void QELBMenuItem::setIcon(uint32_t codePoint) {
  icon_ = codePoint;
  label_.reset();
}

const std::string& QELBMenuItem::label() const {
  static const std::string none;
  return label_ ? *label_ : none;
}

void QELBMenuItem::setChild(Ref<QELBMenuList> list) {
  child_ = std::move(list);
  if (child_) child_->setVisible(false);
}

QELBMenu* QELBMenuItem::menu() const {
  auto* list = dynamic_cast<QELBMenuList*>(parent());
  return list ? dynamic_cast<QELBMenu*>(list->parent()) : nullptr;
}

void QELBMenuItem::open(QELBMenu* owner) {
  if (!owner) {
    LLKFLog("menu: the item \"%s\" lies in no menu; its sub-list cannot open", label().c_str());
    return;
  }
  OGLTRect b = bounds();
  OGLTPoint anchor = (flags() & kQELMenuItemOpensBelow) ? OGLTPoint{b.left, b.bottom} : OGLTPoint{b.right, b.top - 4};
  anchor = {std::round(anchor.x), std::round(anchor.y)};
  child_->setPosition(owner->worldToLocal(localToWorld(anchor)));
  child_->setVisible(true);
  (void)owner->attach(child_);  // refused only when it is still attached from before
}

void QELBMenuItem::close(QELBMenu* owner) {
  child_->setVisible(false);
  if (owner) owner->detach(child_);
}

void QELBMenuItem::expand() {
  if (child_ && !child_->visible()) open(menu());
}

void QELBMenuItem::topple() {
  if (!child_) return;
  child_->topple();
  if (child_->visible()) close(menu());
}

void QELFMenuItemTrigger(QELBMenuItem* item) {
  if (!item) return;
  if (item->child_) {
    // An empty sub-list never opens; an open one closes (when no topple closed it first).
    if (item->child_->_childs()->count() == 0 || item->child_->visible()) item->close(item->menu());
    else item->open(item->menu());
    return;
  }
  item->sendCopy(item->onClick_);
}

OGLTSize QELBMenuItem::preferredSizeWithWindow(QELBWindow* window) {
  OGLC2DContext* ctx = window ? window->context() : nullptr;
  if (!ctx) return {0, 0};
  const QELTWindowTweaks& tweaks = *window->tweaks();
  float L[4] = {0, 0, 0, 0};
  OGLF2DStatePush(ctx);
  if (label_) {
    QELFControlStandardText(ctx, tweaks);
    OGLF2DTextBounds(ctx, label_->c_str(), L, 0, 0);
  } else {
    setSymbolText(ctx, tweaks, tweaks.textFontSize * 1.5f);
    OGLF2DTextBounds(ctx, utf8(icon_).c_str(), L, 0, 0);
  }
  headWidth_ = (L[2] - L[0]) + padding_;
  float end = L[2];
  if (!shortcutText_.empty()) {
    float S[4] = {0, 0, 0, 0};
    QELFControlStandardText(ctx, tweaks);
    OGLF2DTextBounds(ctx, shortcutText_.c_str(), S, 0, 0);
    end = (S[2] - S[0]) + 12 + L[2];
  } else if (child_ && !(flags() & kQELMenuItemNoArrow)) {
    float A[4] = {0, 0, 0, 0};
    setSymbolText(ctx, tweaks, tweaks.textFontSize);
    OGLF2DTextBounds(ctx, utf8(kQELMenuArrowGlyph).c_str(), A, 0, 0);
    end = L[2] + padding_ + (A[2] - A[0]);
  }
  OGLF2DStatePull(ctx);
  float width = end - L[0] + 2 * padding_;
  float height = (L[3] - L[1]) + 2 * padding_;
  restWidth_ = width - headWidth_;
  return QELFControlRoundedSize({width, height});
}

bool QELBMenuItem::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!QELFWidgetInnerHit(this, cursor.point)) return false;
  QELBWidget::onInputWithCursor(cursor);
  if (QELFControlIsClick(cursor)) {
    clickState_ = 1;
    clickCountdown_ = kClickHighlight;
  }
  return true;
}

void QELBMenuItem::onUpdateWithStep(float step) {
  QELBWidget::onUpdateWithStep(step);
  if (clickState_ != 1) return;
  clickCountdown_ -= step;
  if (clickCountdown_ > 0) return;
  clickState_ = 0;
  redraw();
  Ref<QELBMenuItem> self(this);  // the trigger may detach the item's list
  QELFMenuItemTrigger(this);
}

void QELBMenuItem::onRenderWithStep(float) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx || !visible()) return;
  const QELTWindowTweaks& tweaks = *owner->tweaks();
  float tint = QELFWidgetTint(this);
  bool hot = clickState_ == 1 || hasCursorRecord();
  OGLTRect b = bounds();
  OGLF2DStatePush(ctx);
  if (clickState_ == 1) {
    OGLTRect h = QELFRectInset(b, 1);
    OGLF2DPathBegin(ctx);
    OGLF2DPathRect(ctx, h.left, h.top, h.right - h.left, h.bottom - h.top);
    OGLF2DPathFillColorWithTint(ctx, &tweaks.hoverColor, tint);
    OGLF2DPathFill(ctx);
    OGLF2DPathFillColor(ctx, &tweaks.panelColor);
  } else {
    OGLF2DPathFillColorWithTint(ctx, hot ? &tweaks.brightColor : &tweaks.textColor, tint);
  }
  float middle = (b.top + b.bottom) / 2;
  OGLF2DTextAlignment(ctx, kOGLAlignLeft | kOGLAlignMiddle);
  if (label_) {
    QELFControlStandardText(ctx, tweaks);
    OGLF2DTextDraw(ctx, label_->c_str(), b.left + padding_, middle + 2);
  } else {
    setSymbolText(ctx, tweaks, tweaks.textFontSize * 1.5f);
    OGLF2DTextDraw(ctx, utf8(icon_).c_str(), b.left + padding_, middle);
  }
  // The shortcut or the arrow ends at the right padding.
  std::string rest = !shortcutText_.empty()                         ? shortcutText_
                     : (child_ && !(flags() & kQELMenuItemNoArrow)) ? utf8(kQELMenuArrowGlyph)
                                                                    : std::string();
  if (!rest.empty()) {
    if (shortcutText_.empty()) setSymbolText(ctx, tweaks, tweaks.textFontSize);
    else QELFControlStandardText(ctx, tweaks);
    float R[4] = {0, 0, 0, 0};
    float advance = OGLF2DTextBounds(ctx, rest.c_str(), R, 0, 0);
    OGLF2DTextDraw(ctx, rest.c_str(), b.right - padding_ - advance, middle + 2);
  }
  OGLF2DStatePull(ctx);
}
