#include "ui/widgets/QELBRadiobox.h"

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELCWidgets.h"

void QELFRadioboxDeselectSiblings(QELBRadiobox* radiobox) {
  QELCWidgets* siblings = radiobox ? radiobox->owningList() : nullptr;
  if (!siblings) return;
  for (const Ref<QELBWidget>& sibling : siblings->members())
    if (auto* other = dynamic_cast<QELBRadiobox*>(sibling.get()); other && other != radiobox && other->value_) {
      other->value_ = false;
      other->redraw();
    }
}

Ref<QELCRadiobox> QELCRadiobox::widgetWithSize(OGLTSize size, OGLTPoint position, std::string label) {
  return makeRef<QELCRadiobox>(size, position, std::move(label));
}

OGLTSize QELBRadiobox::preferredSizeWithWindow(QELBWindow* window, const std::string& label) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  QELFControlStandardText(d.ctx, *d.tweaks);
  OGLTSize text = QELFControlTextSize(d.ctx, label.c_str());
  return QELFControlRoundedSize({text.w + 28, text.h + 8});
}

void QELBRadiobox::setValue(bool value) {
  bool selecting = value && !value_;
  value_ = value;
  redraw();
  if (selecting) QELFRadioboxDeselectSiblings(this);
}

bool QELBRadiobox::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!queueInsideInner(cursor)) return false;
  if (QELFControlIsClick(cursor) && !value_) {
    setValue(true);
    if (Ref<LLKCMessage> copy = QELFControlCopy(onClick_)) {
      copy->details().storeBool(true, "value");
      deliver(copy);
    }
  }
  return true;
}

void QELBRadiobox::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  const QELTWindowTweaks& tw = *d.tweaks;
  const OGLTColor& c = hovered() ? tw.brightColor : tw.textColor;
  float cy = centreY();
  QELFControlStandardText(d.ctx, tw);
  QELFControlDrawText(d.ctx, label_.c_str(), 27, cy, kOGLAlignLeft | kOGLAlignMiddle, c, tint());
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathCircle(d.ctx, 11, cy, 8);
  QELFControlStroke(d.ctx, c, tint());
  if (!value_) return;
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathCircle(d.ctx, 11, cy, 4);
  QELFControlFill(d.ctx, c, tint());
}
