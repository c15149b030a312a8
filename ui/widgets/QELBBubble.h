#pragma once
// A container drawn as a speech balloon: a rounded body with a tail on one of its four sides,
// at a place along that side set by `offset` (0 to 1). An active bubble draws its outline as
// if hovered.
#include "ui/gl/OGLC2DContext.h"
#include "ui/widgets/QELBParent.h"

enum : int32_t {
  kQELBubbleTailTop = 0,
  kQELBubbleTailBottom = 1,
  kQELBubbleTailLeft = 2,
  kQELBubbleTailRight = 3,
};

class QELBBubble : public QELBParent {
public:
  QELBBubble(OGLTSize size, OGLTPoint position);
  ~QELBBubble() override;

  // The size of a bubble around content of that size with the tail on that side: 4 around,
  // 8 more on the tail side, the tail's side at least 24 long; even whole numbers; zero
  // without a window.
  static OGLTSize preferredSizeWithWindow(QELBWindow* window, const OGLTSize* content, int32_t origin);

  int32_t origin() const { return origin_; }
  void setOrigin(int32_t origin) { origin_ = origin; }
  float offset() const { return offset_; }
  // Clamped to [0, 1].
  void setOffset(float offset);
  bool active() const { return active_; }
  void setActive(bool active) { active_ = active; }
  // The offset that puts the tail at the local point.
  float offsetForPoint(const OGLTPoint* point) const;

  // The bounds with the tail side moved in by 8, inset by 4.
  OGLTRect space() override;
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  void onRenderWithStep(float step) override;

private:
  // The bounds with the tail side moved in by 8.
  OGLTRect tailless(OGLTRect rect) const;
  void drawTail(OGLC2DContext* ctx, const OGLTRect& body, const OGLTColor& fill, const OGLTColor& ink, float tint);

  int32_t origin_ = kQELBubbleTailTop;
  float offset_ = 0;
  bool active_ = false;
};

class QELCBubble : public QELBBubble {
public:
  [[nodiscard]] static Ref<QELCBubble> widgetWithSize(OGLTSize size, OGLTPoint position);
  using QELBBubble::QELBBubble;
};
