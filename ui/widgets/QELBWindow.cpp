#include "ui/widgets/QELBWindow.h"

#include <cmath>

#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFThreadContract.h"
#include "ui/gl/OGLF2D.h"
#include "ui/gl/OGLFBuiltinFonts.h"
#include "ui/widgets/QELBParent.h"
#include "ui/widgets/QELBView.h"
#include "ui/widgets/QELFWidgetDrawing.h"

QELBWindow::QELBWindow() : widgets_(QELCWidgets::widgets()) { OGLFInputQueueReset(inputs_); }

QELBWindow::~QELBWindow() {
  // Widgets that outlive the window must not keep a link to it.
  for (const Ref<QELBWidget>& widget : widgets_->members()) widget->detachFromWindow();
  widgets_->clear();
}

bool QELBWindow::owns(const QELBWidget* widget) { return widget && const_cast<QELBWidget*>(widget)->window() == this; }

bool QELBWindow::usable(const QELBWidget* widget) { return widget && widget->showing() && widget->enabled(); }

void QELBWindow::setGreedy(const Ref<QELBWidget>& widget) {
  if (!widget || owns(widget.get())) greedy_ = widget;
}

void QELBWindow::setSink(const Ref<QELBWidget>& widget) {
  if (!widget || owns(widget.get())) sink_ = widget;
}

bool QELBWindow::holdsChild(const QELBWidget* widget) const {
  return !widget->parent() && const_cast<QELBWidget*>(widget)->window() == this;
}

bool QELBWindow::attach(const Ref<QELBWidget>& widget) {
  LLKF_EXPECT_THREAD(isWidgetThread(), "attaching a widget: window thread only");
  return QELFChildListAttach(*widgets_, *this, widget);
}

bool QELBWindow::detach(const Ref<QELBWidget>& widget) { return QELFChildListDetach(*widgets_, *this, widget); }

void QELBWindow::detachAll() { QELFChildListDetachAll(*widgets_, *this); }

void QELBWindow::detachAllBut(const Ref<QELBWidget>& widget) { QELFChildListDetachAllBut(*widgets_, *this, widget); }

bool QELBWindow::raise(const QELBWidget* widget) { return QELFChildListRaise(*widgets_, *this, widget); }

bool QELBWindow::lower(const QELBWidget* widget) { return QELFChildListLower(*widgets_, *this, widget); }

QELBWidget* QELBWindow::locate(std::string_view alias) { return QELFWidgetsLocate(*widgets_, alias); }

OGLTRect QELBWindow::viewArea() const {
  const OGLTSize area = size();
  return {0, 0, area.w, area.h};
}

bool QELBWindow::schedule(std::function<void()> task, bool delayed, uint32_t afterMs) {
  return delayed ? LLKBLooper::sched(std::move(task), afterMs) : LLKBLooper::sched(std::move(task));
}

// Work run on the window's thread may change anything a widget shows: the frame after it
// redraws everything.
bool QELBWindow::sched(std::function<void()> task) {
  return task && schedule(
                     [this, task = std::move(task)] {
                       task();
                       redraw();
                     },
                     false, 0);
}

bool QELBWindow::sched(std::function<void()> task, uint32_t afterMs) {
  return task && schedule(
                     [this, task = std::move(task)] {
                       task();
                       redraw();
                     },
                     true, afterMs);
}

// Tasks name the window without holding it: its loop keeps it alive while it runs, and drops
// the tasks when it ends (a task holding the window would keep a never-started one for ever).
bool QELBWindow::post(Ref<LLKCMessage> message) {
  return message && sched([this, message] { onMessaged(message); });
}

bool QELBWindow::onMessaged(const Ref<LLKCMessage>& message) { return OGLBWindow::onMessaged(message); }

bool QELBWindow::broadcast(Ref<LLKBObject> object) {
  return sched([this, object] { onBroadcast(object); });
}

void QELBWindow::onBroadcast(const Ref<LLKBObject>& object) {
  for (const Ref<QELBWidget>& widget : widgets_->members())
    if (owns(widget.get()) && !widget->parent()) widget->onBroadcast(object);
}

void QELBWindow::onOpening() {
  OGLC2DContext* ctx = context();
  if (!ctx) {
    LLKFLog("nanovg : failed to create context!");
    return;
  }
  if (const char* failed = OGLFBuiltinFontsRegister(ctx)) LLKFLog("QELBWindow : cannot register the face %s", failed);
}

void QELBWindow::onClosing() {
  greedy_.reset();
  sink_.reset();
  candidate_.reset();
  endClick();
  endResize();
  detachAll();
  renderOrder_.clear();
}

void QELBWindow::onAwaken() {
  OGLFInputQueueReset(inputs_);
  inputs_.count = 0;
  if (greedy_ && !(greedy_->parent() && owns(greedy_.get()))) greedy_.reset();
  if (sink_ && !(sink_->parent() && owns(sink_.get()))) sink_.reset();
  if (candidate_ && !owns(candidate_.get())) candidate_.reset();
  // A click whose widget went away stays held, owned by nobody, until its release.
  if (clickOwner_ && !owns(clickOwner_.get())) clickOwner_.reset();
  widgets_->sync();  // widgets attached since the last beat take this frame's input
  for (const Ref<QELBWidget>& widget : widgets_->members())
    if (owns(widget.get()) && !widget->parent()) widget->onAwaken();
}

void QELBWindow::onSnooze() {
  for (const Ref<QELBWidget>& widget : widgets_->members())
    if (owns(widget.get()) && !widget->parent()) widget->onSnooze();
}

void QELBWindow::updateWidgets(float step) {
  widgets_->sync();
  for (const Ref<QELBWidget>& widget : widgets_->members())
    if (owns(widget.get()) && !widget->parent()) widget->onUpdateWithStep(step);
  widgets_->sync();  // widgets attached while they updated are drawn in this frame
  // Long press: the left button held still on the candidate, which took its press, raises it
  // after a quarter of a second. A pointer resting on a view without a press raises nothing.
  if (!candidate_ || raised_ || !(candidate_->flags() & kQELViewLongPress)) return;
  if (!clickHeld_ || clickOwner_.get() != candidate_.get()) {
    pressTime_ = 0;
    return;
  }
  const OGLTInputEvent* first = nullptr;
  for (uint32_t i = 0; i < inputs_.count && !first; ++i)
    if (inputs_.events[i].type == kOGLInputCursor) first = &inputs_.events[i];
  if (!first) return;
  OGLTPoint point = first->cursor.point;
  float distance = std::hypot(point.x - pressPoint_.x, point.y - pressPoint_.y);
  if (distance <= 1.5f) {
    pressTime_ += step;
    if (pressTime_ >= 0.25f) raised_ = raise(candidate_.get());
  } else {
    pressTime_ = 0;
  }
  pressPoint_ = point;
}

void QELBWindow::onUpdateWithStep(float step) {
  updateWidgets(step);
  noteTopLevelDamage();
}

void QELBWindow::onRenderSurfaceWithStep(float step, const OGLTSize&) {
  renderOrder_ = widgets_->copy();
  renderIndex_ = 0;
  OGLC2DContext* ctx = context();
  takeDamageForPasses();
  beginPass(ctx);
  for (; renderIndex_ < renderOrder_.size(); ++renderIndex_) {
    QELBWidget* widget = renderOrder_[renderIndex_].get();
    if (widget->layer() >= 0) break;
    if (drawsInPass(widget)) QELFWidgetRenderClipped(ctx, widget, step);
  }
}

void QELBWindow::onRenderOverlayWithStep(float step, const OGLTSize&) {
  OGLC2DContext* ctx = context();
  beginPass(ctx);
  for (; renderIndex_ < renderOrder_.size(); ++renderIndex_) {
    QELBWidget* widget = renderOrder_[renderIndex_].get();
    if (drawsInPass(widget)) QELFWidgetRenderClipped(ctx, widget, step);
  }
  renderOrder_.clear();
  endPasses();
}
