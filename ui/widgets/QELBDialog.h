#pragma once
// A view that centres itself in its parent's content (or in the window) and closes on the first
// message that reaches it: the message goes on up the tree, then the dialog detaches itself and
// lets go of its children. A closed dialog is not shown again.
//
// Its owner configures it, makes it visible and attaches it above the widgets it covers; the
// user's choice comes back as one message. Window thread only.
#include "ui/widgets/QELBView.h"

// Title bar, draggable, kept inside the window, detached on close.
constexpr uint32_t kQELDialogFlags = kQELViewTitleBar | kQELViewDraggable | kQELViewKeepInside | kQELViewDetachOnClose;

class QELBDialog : public QELBView {
public:
  ~QELBDialog() override;

  // Receives the choice by poke when set (retained until the dialog closes).
  const Ref<QELBWidget>& target() const { return target_; }
  void setTarget(Ref<QELBWidget> target) { target_ = std::move(target); }
  bool placed() const { return placed_; }

  void onAttachedIntoWindow() override;
  void onDetachedFromWindow() override;
  // Centres the dialog when it is not placed yet or no longer lies wholly inside its area.
  void onUpdateWithStep(float step) override;
  // Passes the message on, then closes.
  void onMessaged(const Ref<LLKCMessage>& message) override;

protected:
  QELBDialog(OGLTSize size, OGLTPoint position, std::string title);

  // Hands a choice to the target (poked) when there is one, else sends it up from the dialog.
  void deliverChoice(const Ref<LLKCMessage>& choice);
  // The rect the dialog centres in, in the coordinates of its frame.
  OGLTRect area();

private:
  bool placed_ = false;
  Ref<QELBWidget> target_;
};

// The position that centres a box of that size in the area, halves rounded away from zero.
OGLTPoint QELFDialogCentre(const OGLTRect& area, OGLTSize size);
