#pragma once
// A container that slides in from one edge of its parent's space when requested and slides
// out when dismissed, sending onRequested (onDismissed) once, when the slide has finished.
// Created hidden. Without a parent it stays where it is until it has one.
#include "ui/widgets/QELBParent.h"

enum : int32_t {
  kQELPanelFromTop = 0,
  kQELPanelFromBottom = 1,
  kQELPanelFromLeft = 2,
  kQELPanelFromRight = 3,
};

enum : uint32_t {
  kQELPanelIdle = 0,
  kQELPanelRequested = 10,
  kQELPanelSlidingIn = 11,
  kQELPanelSlidingOut = 12,
  kQELPanelDismissed = 13,
};

class QELBPanel;

// Sends a copy of the message with the panel under "sender"; nothing for null.
void QELFPanelNotify(QELBPanel* panel, const Ref<LLKCMessage>& message);

class QELBPanel : public QELBParent {
public:
  QELBPanel(OGLTSize size, OGLTPoint position);
  ~QELBPanel() override;

  // Seconds a slide takes.
  float sliding() const { return sliding_; }
  void setSliding(float seconds) { sliding_ = seconds; }
  int32_t origin() const { return origin_; }
  void setOrigin(int32_t origin) { origin_ = origin; }
  uint32_t state() const { return state_; }
  const Ref<LLKCMessage>& onRequested() const { return onRequested_; }
  void setOnRequested(Ref<LLKCMessage> message) { onRequested_ = std::move(message); }
  const Ref<LLKCMessage>& onDismissed() const { return onDismissed_; }
  void setOnDismissed(Ref<LLKCMessage> message) { onDismissed_ = std::move(message); }
  // Acted on at the next update.
  void request() { state_ = kQELPanelRequested; }
  void dismiss() { state_ = kQELPanelDismissed; }

  // The bounds inset by 2 × cornerRadius + 2.
  OGLTRect space() override;
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  // The places outside the parent's space and shown in it, in the parent's space coordinates;
  // false without a parent.
  bool places(OGLTPoint* outside, OGLTPoint* shown);
  // One step of a slide from `from` to `to`; true when it finished.
  bool slide(float step, OGLTPoint from, OGLTPoint to);

  float sliding_ = 1.0f;
  float elapsed_ = 0;
  uint32_t state_ = kQELPanelIdle;
  int32_t origin_ = kQELPanelFromTop;
  Ref<LLKCMessage> onRequested_;
  Ref<LLKCMessage> onDismissed_;
};

class QELCPanel : public QELBPanel {
public:
  [[nodiscard]] static Ref<QELCPanel> widgetWithSize(OGLTSize size, OGLTPoint position);
  using QELBPanel::QELBPanel;
};
