#include "ui/widgets/QELBSegmentedButton.h"

#include <algorithm>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELFGeometry.h"

uint32_t QELFSegmentedButtonFindLongestLabel(const std::vector<std::string>& labels) {
  uint32_t longest = 0;
  for (uint32_t i = 1; i < labels.size(); ++i)
    if (QELFControlCharacterCount(labels[i]) > QELFControlCharacterCount(labels[longest])) longest = i;
  return longest;
}

Ref<QELCSegmentedButton> QELCSegmentedButton::widgetWithSize(OGLTSize size, OGLTPoint position,
                                                             std::vector<std::string> labels) {
  return makeRef<QELCSegmentedButton>(size, position, std::move(labels));
}

QELBSegmentedButton::QELBSegmentedButton(OGLTSize size, OGLTPoint position, std::vector<std::string> labels)
    : QELBControl(size, position),
      longest_(QELFSegmentedButtonFindLongestLabel(labels)),
      labels_(std::move(labels)),
      selected_(labels_.empty() ? -1 : 0) {}

void QELBSegmentedButton::setSelected(int32_t selected) {
  if (selected == -1 || (selected >= 0 && static_cast<size_t>(selected) < labels_.size()))
    showChange(selected_, selected);
}

OGLTRect QELBSegmentedButton::segment(uint32_t i) const {
  OGLTRect r = inner();
  auto count = static_cast<float>(std::max<size_t>(labels_.size(), 1));
  float width = QELFRoundEven((r.right - r.left - 2) / count);
  float left = r.left + i * width;
  float right = i + 1 >= labels_.size() ? r.right : left + width;
  return {left, r.top, right, r.bottom};
}

int32_t QELBSegmentedButton::segmentAt(OGLTPoint point) const {
  for (uint32_t i = 0; i < labels_.size(); ++i)
    if (QELFRectContains(QELFRectInset(segment(i), 1), point)) return static_cast<int32_t>(i);
  return -1;
}

OGLTSize QELBSegmentedButton::preferredSizeWithWindow(QELBWindow* window) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d || labels_.empty()) return {0, 0};
  QELFControlStandardText(d.ctx, *d.tweaks);
  OGLF2DTextAlignment(d.ctx, kOGLAlignLeft | kOGLAlignTop);
  OGLTSize text = QELFControlTextSize(d.ctx, labels_[longest_].c_str());
  float room = 4 * QELFControlPad(*d.tweaks) + 1;
  auto count = static_cast<float>(labels_.size());
  return QELFControlRoundedSize({(text.w + 2 * d.tweaks->padding) * count + room, text.h + room});
}

bool QELBSegmentedButton::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!queueInsideInner(cursor)) return false;
  if (QELFControlIsClick(cursor)) {
    if (int32_t hit = segmentAt(worldToLocal(cursor.point)); hit >= 0) selected_ = hit;
    flash_.start();
    if (Ref<LLKCMessage> copy = QELFControlCopy(onClick_)) {
      copy->details().storeSint(selected_, "selected");
      deliver(copy);
    }
  }
  return true;
}

void QELBSegmentedButton::onUpdateWithStep(float step) {
  QELBControl::onUpdateWithStep(step);
  if (flash_.step(step)) redraw();
}

void QELBSegmentedButton::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  const QELTWindowTweaks& tw = *d.tweaks;
  const OGLTCursorEvent* cursor = firstCursorRecord();
  int32_t under = cursor ? segmentAt(cursor->point) : -1;
  QELFControlStandardText(d.ctx, tw);
  for (uint32_t i = 0; i < labels_.size(); ++i) {
    OGLTRect s = segment(i);
    bool hot = static_cast<int32_t>(i) == under;
    OGLF2DPathBegin(d.ctx);
    OGLF2DPathRect(d.ctx, s.left, s.top, s.right - s.left, s.bottom - s.top);
    if (hot && flash_.pressed) QELFControlFill(d.ctx, tw.hoverColor, tint());
    else QELFControlStroke(d.ctx, tw.textColor, tint());
    const OGLTColor& ink = hot ? tw.brightColor : tw.textColor;
    OGLF2DTextAlignment(d.ctx, kOGLAlignLeft | kOGLAlignTop);
    OGLTSize text = QELFControlTextSize(d.ctx, labels_[i].c_str());
    float x = s.left + (s.right - s.left - text.w) / 2, y = s.top + (s.bottom - s.top - text.h) / 2;
    QELFControlDrawText(d.ctx, labels_[i].c_str(), x, y, kOGLAlignLeft | kOGLAlignTop, ink, tint());
    if (static_cast<int32_t>(i) != selected_) continue;
    OGLF2DPathBegin(d.ctx);
    OGLF2DPathMoveTo(d.ctx, x, y + text.h + 1);
    OGLF2DPathLineTo(d.ctx, x + text.w, y + text.h + 1);
    QELFControlStroke(d.ctx, ink, tint());
  }
}
