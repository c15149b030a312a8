#pragma once
// A row of labelled segments, one of them selected (−1: none). A click inside the control
// selects the segment under it (a click between segments keeps the selection), flashes it for
// 0.1 s and sends a copy of onClick with "selected" (signed integer) and "sender".
#include <cstdint>
#include <string>
#include <vector>

#include "ui/widgets/QELBControl.h"

// The index of the label with the most characters (the earliest on a tie; 0 for none).
uint32_t QELFSegmentedButtonFindLongestLabel(const std::vector<std::string>& labels);

class QELBSegmentedButton : public QELBControl {
public:
  // Without labels nothing can be selected: the selection starts at −1.
  QELBSegmentedButton(OGLTSize size, OGLTPoint position, std::vector<std::string> labels);

  const std::vector<std::string>& labels() const { return labels_; }
  int32_t selected() const { return selected_; }
  // Only −1 or an index below the count is stored.
  void setSelected(int32_t selected);
  const Ref<LLKCMessage>& onClick() const { return onClick_; }
  void setOnClick(Ref<LLKCMessage> message) { onClick_ = std::move(message); }
  bool pressed() const { return flash_.pressed; }
  // The segment's rect in local coordinates (i below the count).
  OGLTRect segment(uint32_t i) const;

  OGLTRect space() override { return inner(); }
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  // The segment whose rect inset by 1 holds the point, −1 for none.
  int32_t segmentAt(OGLTPoint point) const;

  Ref<LLKCMessage> onClick_;
  uint32_t longest_ = 0;
  std::vector<std::string> labels_;
  QELTPressFlash flash_;
  int32_t selected_ = 0;
};

class QELCSegmentedButton : public QELBSegmentedButton {
public:
  [[nodiscard]] static Ref<QELCSegmentedButton> widgetWithSize(OGLTSize size, OGLTPoint position,
                                                               std::vector<std::string> labels);
  using QELBSegmentedButton::QELBSegmentedButton;
};
