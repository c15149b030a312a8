#pragma once
// The GL window as the root of a widget tree. It holds the theme (tweaks), the top-level
// widgets in a layered list, the built-in faces, and three special widgets: the greedy widget
// (takes every cursor event while set), the sink (keyboard focus) and the long-press
// candidate. It turns the frame's input queue into calls on the widgets, moves views by their
// title bar, resizes them at their edges, raises them on a click, and draws the top-level
// widgets of negative layers beneath the raw GL content pass and the others above it.
//
// A frame draws the widgets again only where something changed (see "Redrawing" in
// docs/widgets.md); the rest of the window keeps its last pixels.
//
// Applications subclass it and add their own onMessaged. Everything runs on the window's
// thread; other threads enter through sched, post and broadcast (and the widgets' poke).
#include <functional>
#include <string_view>
#include <vector>

#include "ui/gl/OGLBWindow.h"
#include "ui/widgets/QELBWidget.h"
#include "ui/widgets/QELCDamage.h"
#include "ui/widgets/QELCWidgets.h"
#include "ui/widgets/QELFChildList.h"
#include "ui/widgets/QELTWindowTweaks.h"

class QELBView;

// Resize modes of a view being resized at an edge.
enum : uint32_t {
  kQELResizeNone = 0,
  kQELResizeLeft = 1,
  kQELResizeRight = 2,
  kQELResizeTop = 3,
  kQELResizeBottom = 4,
};

class QELBWindow : public OGLBWindow, private QELPChildOwner {
public:
  ~QELBWindow() override;

  void dirtyLayers() { dirtyLayers_ = true; }
  // Widget code runs on the window's thread only: true there, and anywhere while the window's
  // loop does not run (a window built before it starts, or driven by a test).
  bool isWidgetThread() const { return !isRunning() || isLoopThread(); }

  // Redraw requests (window thread): the next frame draws again the widgets over the rect
  // (window coordinates), or all of them. A widget asks with its own redraw(). Input, work run
  // through sched, post and broadcast, a change of the theme and a top-level widget moved,
  // resized, shown, hidden or re-ordered ask by themselves.
  void redraw();
  void redraw(const OGLTRect& rect);
  // True (the default): frames redraw only what was asked. False: every frame draws every
  // widget, for widgets that change what they show without asking.
  bool redrawsOnRequest() const { return redrawsOnRequest_; }
  void setRedrawsOnRequest(bool onRequest);
  const std::vector<Ref<QELBWidget>>& childs() const { return widgets_->childs(); }
  QELCWidgets* _childs() const { return widgets_.get(); }
  QELTWindowTweaks* tweaks() { return &tweaks_; }
  const OGLTInputQueue* inputs() const { return &inputs_; }
  // The 2D context the widgets draw with; null before the window opened.
  virtual OGLC2DContext* context() const { return OGLBWindow::context(); }

  // Set only to a widget of this window (null clears).
  QELBWidget* greedy() const { return greedy_.get(); }
  void setGreedy(const Ref<QELBWidget>& widget);
  QELBWidget* sink() const { return sink_.get(); }
  void setSink(const Ref<QELBWidget>& widget);

  // Top-level widgets. attach refuses a widget that has a window or a parent.
  bool attach(const Ref<QELBWidget>& widget);
  bool detach(const Ref<QELBWidget>& widget);
  void detachAll();
  void detachAllBut(const Ref<QELBWidget>& widget);
  bool raise(const QELBWidget* widget);
  bool lower(const QELBWidget* widget);
  QELBWidget* locate(std::string_view alias);
  // Where a view's title bar can be taken, in window coordinates: the whole window here; a
  // window that keeps bars of its own above the views leaves them out.
  virtual OGLTRect viewArea() const;

  // onBroadcast with the object on a later turn of the window's thread; any thread.
  bool broadcast(Ref<LLKBObject> object);
  virtual void onBroadcast(const Ref<LLKBObject>& object);

  // Work for the window's thread (any thread): a task on a later turn, or after a delay; a
  // message to onMessaged on a later turn. False when the window no longer takes work.
  bool sched(std::function<void()> task);
  bool sched(std::function<void()> task, uint32_t afterMs);
  bool post(Ref<LLKCMessage> message);
  // Messages that climbed to the top of the tree; the default handles the GL window's own
  // cross-thread commands.
  bool onMessaged(const Ref<LLKCMessage>& message) override;

  // The view being resized and the long-press candidate (for tests and subclasses).
  uint32_t resizeMode() const { return resizeMode_; }
  QELBView* candidate() const { return candidate_.get(); }

protected:
  QELBWindow();

  // Where sched and post put their work: the window's own loop here; a headless test window
  // queues it for the test to run.
  virtual bool schedule(std::function<void()> task, bool delayed, uint32_t afterMs);

  void onOpening() override;
  void onClosing() override;
  void onAwaken() override;
  void onSnooze() override;
  bool onInputs(OGLTInputQueue& queue) override;
  virtual bool onInputWithKeypad(const OGLTKeypadEvent& key);
  virtual bool onInputWithSymbol(const OGLTCharacterEvent& symbol);
  virtual bool onInputWithCursor(const OGLTCursorEvent& cursor);
  virtual bool onInputWithScroll(const OGLTScrollEvent& scroll);
  virtual bool onInputWithJoypad(const OGLTJoypadEvent& joypad);
  bool onLostInputFocus() override;
  void onUpdateWithStep(float step) override;
  bool onFrameChanged() override { return !redrawsOnRequest_ || damage_.any(); }
  void onRenderSurfaceWithStep(float step, const OGLTSize& size) override;
  void onRenderOverlayWithStep(float step, const OGLTSize& size) override;

private:
  // Top-level widgets are bound to the window and have no parent.
  bool mayAdopt(const QELBWidget*) const override { return true; }
  void adoptChild(QELBWidget* widget) override { widget->attachIntoWindow(this); }
  void releaseChild(QELBWidget* widget) override { widget->detachFromWindow(); }
  bool holdsChild(const QELBWidget* widget) const override;
  void onChildsChanged() override { redraw(); }

  bool owns(const QELBWidget* widget);
  // Redrawing: damage from the frame's input, from changes of the top-level widgets and the
  // theme; whether the pass on the context draws the widget.
  void noteInputDamage(const OGLTInputQueue& queue);
  void noteTopLevelDamage();
  void takeDamageForPasses();
  void beginPass(OGLC2DContext* ctx);
  bool drawsInPass(const QELBWidget* widget) const;
  bool drawnInArea(const QELBWidget* widget) const;
  void endPasses();
  void updateWidgets(float step);
  bool usable(const QELBWidget* widget);
  void endResize();
  bool resizeStep(const OGLTCursorEvent& cursor);
  void consumedBy(QELBView* view, const OGLTCursorEvent& cursor);
  // The cursor record through the greedy widget, a resize, or the top-level widgets from the
  // topmost down (only the owner, when ownerOnly); the top-level widget that took it, or null.
  QELBWidget* takeCursor(const OGLTCursorEvent& cursor, QELBWidget* owner, bool ownerOnly);
  void endClick();
  // A visible top-level widget of this window that takes the cursor.
  bool reachable(QELBWidget* widget);
  // Offers the record to a view being dragged; true when it took it.
  bool toDraggedView(QELBView* view, const OGLTCursorEvent& cursor);
  void makeCandidate(QELBView* view, const OGLTPoint& point);
  void resetResizeCursor();
  // The greedy widget, or null once it can no longer hold the interface (then it is let go).
  QELBWidget* holdingGreedy();
  // Keys, characters and scrolls reach the greedy widget only while the cursor is over it.
  template <typename Event>
  bool passToGreedy(QELBWidget* greedy, const Event& event, bool (QELBWidget::*hook)(const Event&));
  template <typename Event>
  bool passToHovered(const Event& event, bool (QELBWidget::*hook)(const Event&));

  OGLTInputQueue inputs_{};
  Ref<QELCWidgets> widgets_;
  QELTWindowTweaks tweaks_ = kWindowTweaks;
  bool dirtyLayers_ = false;
  uint32_t renderIndex_ = 0;
  std::vector<Ref<QELBWidget>> renderOrder_;
  uint32_t resizeMode_ = kQELResizeNone;
  Ref<QELBView> resized_;
  OGLTPoint resizeAnchor_{};
  Ref<QELBView> candidate_;
  OGLTPoint pressPoint_{};
  float pressTime_ = 0;
  bool raised_ = false;
  // A left click belongs to the top-level widget that took its press (none when nothing took
  // it): its moves and its release go to that widget alone, while it is there.
  bool clickHeld_ = false;
  Ref<QELBWidget> clickOwner_;
  Ref<QELBWidget> greedy_;
  Ref<QELBWidget> sink_;

  // What a top-level widget looked like when last drawn.
  struct TopLevelLook {
    const QELBWidget* widget;
    OGLTRect frame;
    bool visible;
    bool enabled;
    int8_t layer;
    uint32_t flags;
    float opacity;
  };
  bool redrawsOnRequest_ = true;
  // What the next frame draws again, and what the passes of this frame draw: the passes take
  // the damage when they begin, so what is asked while they draw (a control's handler, sent
  // from its drawing) is kept for the next frame.
  QELCDamage damage_, passDamage_;
  bool partialPass_ = false;
  OGLTRect passArea_{};
  std::vector<TopLevelLook> looks_;
  std::vector<OGLTPoint> cursorPoints_, lastCursorPoints_;
  int32_t heldButton_ = 0;
  QELTWindowTweaks drawnTweaks_ = kWindowTweaks;
};
