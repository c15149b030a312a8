#include "app/vision/VSKCImageView.h"

#include <cmath>

#include "app/vision/VSKFVisionView.h"
#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"

namespace {
// The picture and the cross drawn over it, centred in the view.
const QELTGroupSetup kSetupGraphics = {kQELGroupCentered, 0, 0, 0, kQELGroupUniformMain};
constexpr OGLTSize kPictureSize = {640, 640};
constexpr int64_t kRepeatEveryMs = 30;
}  // namespace

VSKCImageView::VSKCImageView(OGLTSize size, OGLTPoint position, std::string feed, Ref<ZRVCObserver> observer,
                             Ref<JSKCFrame> config)
    : VSKBFeedView(size, position, std::move(feed), std::move(observer), std::move(config)) {}

Ref<VSKCImageView> VSKCImageView::viewWithSize(OGLTSize size, OGLTPoint position, std::string feed,
                                               Ref<JSKCFrame> config) {
  if (feed.empty()) return nullptr;
  Ref<ZRVCObserver> observer = VSKFVisionViewObserver("ui." + feed);
  Ref<VSKCImageView> view =
      makeRef<VSKCImageView>(size, position, std::move(feed), std::move(observer), std::move(config));
  private_t& record = view->record_;
  record.group = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupGraphics);
  record.picture = QELCPicturebox::widgetWithSize(kPictureSize, {0, 0});
  record.overlay = VSKCImageViewOverlay::widgetWithSize(kPictureSize, {0, 0}, *view);
  if (!record.group->attach(record.picture) || !record.group->attach(record.overlay) || !view->attach(record.group))
    return nullptr;
  return view;
}

void VSKCImageView::onAttachedIntoWindow() {
  ZRVBView::onAttachedIntoWindow();
  record_.group->resizeWithWindow(window());
  resizeWithWindow(window());
  follow(kVSKImageViewSquib, std::nullopt, {feed()});
}

void VSKCImageView::onToggleMenu() { VSKFVisionViewToggleMenu(this, false); }

bool VSKCImageView::onInputWithCursor(const OGLTCursorEvent& cursor) {
  const bool handled = ZRVBView::onInputWithCursor(cursor);
  const bool steering = cursor.button == kOGLButtonLeft || cursor.button == kOGLButtonMiddle;
  if (!steering || cursor.action < kOGLActionRelease || cursor.action > kOGLActionRepeat) return handled;
  const OGLTPoint point = record_.picture->worldToLocal(cursor.point);
  const OGLTRect bounds = record_.picture->bounds();
  if (point.x >= bounds.left && point.x <= bounds.right && point.y >= bounds.top && point.y <= bounds.bottom)
    steer(point, bounds);
  if (cursor.action == kOGLActionRelease || cursor.action == kOGLActionRepeat) {
    record_.lastRepeat = 0;
    record_.cursor = {-1, -1};
    record_.overlay->redraw();
  }
  return handled;
}

void VSKCImageView::steer(const OGLTPoint& point, const OGLTRect& bounds) {
  const int64_t now = LLKFNowInMS();
  if (std::hypot(point.x - record_.cursor.x, point.y - record_.cursor.y) <= 1.0) return;
  const auto dx = static_cast<int64_t>(point.x - (bounds.left + (bounds.right - bounds.left) * 0.5f));
  const auto dy = static_cast<int64_t>(point.y - (bounds.top + (bounds.bottom - bounds.top) * 0.5f));
  Ref<MRKCNumber> x = MRKCNumber::numberWithSint(dx);
  Ref<MRKCNumber> y = MRKCNumber::numberWithSint(dy);
  Ref<MRKCList> centre = x && y ? MRKCList::listWithTerms({x.get(), y.get()}) : nullptr;
  if (MRKCSubstrate* substrate = MRKCSubstrate::shared(); centre && substrate)
    (void)substrate->poke("roi.center", {"qav.extr"}, centre.get());
  if (record_.repeat) {
    if (now - record_.lastRepeat < kRepeatEveryMs) return;
    (void)VSKFImageViewRequestRepeat();
    record_.lastRepeat = now;
  }
  record_.cursor = point;
  record_.overlay->redraw();
}

void VSKCImageView::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message || VSKFVisionViewMenuMessaged(this, *message)) return;
  if (message->is(kVSKImageViewSquib)) onSquib(*message);
}

void VSKCImageView::onSquib(const LLKCMessage& message) {
  if (!live()) return;
  MRKCStatement* statement = VSKFVisionViewFirstStatement(message, &record_.repeat);
  QAVTImageStatement image;
  if (!statement || QAVFImageStatementRead(statement, &image) != kQAVImageValid) return;
  (void)VSKFVisionViewShow(record_.picture.get(), image.width, image.height, image.pixelFormat, *image.pixels);
}
