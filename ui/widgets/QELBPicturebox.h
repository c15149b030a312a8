#pragma once
// Shows a bitmap centred at its natural size (not scaled, not clipped to the box). The texture
// is made on the first update after the bitmap is set while the box has a window.
#include "ui/widgets/QELBWidget.h"
#include "ui/widgets/QELCBitmap.h"

enum : uint32_t {
  kQELPictureboxBackground = 0x1,  // fills the box with panelColor behind the picture
};

class QELBPicturebox : public QELBWidget {
public:
  QELBPicturebox(OGLTSize size, OGLTPoint position, Ref<QELCBitmap> bitmap = nullptr);
  ~QELBPicturebox() override;

  OGLTSize preferredSizeWithWindow(QELBWindow*) override { return size(); }
  const Ref<QELCBitmap>& bitmap() const { return bitmap_; }
  void setBitmap(Ref<QELCBitmap> bitmap) { bitmap_ = std::move(bitmap); }

  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  Ref<QELCBitmap> bitmap_;
};

class QELCPicturebox : public QELBPicturebox {
public:
  [[nodiscard]] static Ref<QELCPicturebox> widgetWithSize(OGLTSize size, OGLTPoint position);
  [[nodiscard]] static Ref<QELCPicturebox> widgetWithSize(OGLTSize size, OGLTPoint position, Ref<QELCBitmap> bitmap);
  using QELBPicturebox::QELBPicturebox;
};
