#pragma once
// A laid-out group that reacts to clicks as a whole: a click sends a copy of onClick (with the
// board under "sender"), flashes for a tenth of a second and, when the board is selectable,
// selects it. It frames its content while hovered, flashing or selected (with a setup border).
#include "ui/widgets/QELBGroup.h"

enum : uint32_t {
  kQELBoardSelectable = 0x10,  // a click selects; a selected board keeps its frame
  kQELBoardNoHover = 0x20,     // no frame on hover
};

class QELBBoard : public QELBGroup {
public:
  QELBBoard(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup);
  ~QELBBoard() override;

  const Ref<LLKCMessage>& onClick() const { return onClick_; }
  void setOnClick(Ref<LLKCMessage> message) { onClick_ = std::move(message); }
  // Set by clicks (selectable boards) and cleared only by the owner.
  bool selected() const { return selected_; }
  void setSelected(bool selected) { selected_ = selected; }
  bool flashing() const { return flash_ == 1; }

  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  Ref<LLKCMessage> onClick_;
  int32_t flash_ = 0;
  float flashCountdown_ = 0;
  bool selected_ = false;
};

class QELCBoard : public QELBBoard {
public:
  [[nodiscard]] static Ref<QELCBoard> widgetWithSize(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup);
  using QELBBoard::QELBBoard;
};
