#include "framework/app/ZRVBView.h"

#include "ui/gl/OGLFValueCoding.h"

namespace {

Ref<JSKCFrame> frameOrEmpty(Ref<JSKCFrame> config) { return config ? config : JSKCFrame::frame(); }

}  // namespace

ZRVBView::ZRVBView(OGLTSize size, OGLTPoint position, std::string title, uint32_t flags, Ref<JSKCFrame> config)
    : QELBView(OGL::sizeForLabel(*frameOrEmpty(config), "size", size),
               placeablePoint(OGL::pointForLabel(*frameOrEmpty(config), "position", position)), std::move(title),
               flags),
      config_(frameOrEmpty(std::move(config))) {}

void ZRVBView::wring() {
  (void)OGL::storePoint(*config_, position(), "position");
  (void)OGL::storeSize(*config_, size(), "size");
  (void)config_->storeBool(visible(), "visible");
}

void ZRVBView::onDetachedFromWindow() {
  onLeavingWindow();
  QELBView::onDetachedFromWindow();
  wring();
}
