#pragma once
// A widget with children: attaches and detaches them, finds them by alias and passes every hook
// and input event on to them. It draws nothing of its own: the window, groups, views and
// canvases draw children.
#include <string_view>
#include <vector>

#include "ui/widgets/QELBWidget.h"
#include "ui/widgets/QELCWidgets.h"
#include "ui/widgets/QELFChildList.h"
#include "ui/widgets/QELFGeometry.h"

// Marks a widget whose children locate() searches.
class QELPParentable {
public:
  virtual ~QELPParentable() = default;
  // Depth first, pre-order, by alias; null when nothing matches.
  virtual QELBWidget* locate(std::string_view alias) = 0;
};

// The union of the members' frames; {0, 0, 100, 100} without members (what the panel and the
// bubble size themselves around).
OGLTRect QELFWidgetsFrameUnion(const QELCWidgets& list);

class QELBParent : public QELBWidget, public QELPParentable, private QELPChildOwner {
public:
  ~QELBParent() override;

  // The drawing order; _childs is the list itself.
  const std::vector<Ref<QELBWidget>>& childs() const { return childs_->childs(); }
  QELCWidgets* _childs() const { return childs_.get(); }

  // Marks that a child's size changed: the parent refits itself at its next update.
  void resize() { resizePending_ = true; }
  void dirtyLayers() { dirtyLayers_ = true; }

  // Refused (false) for a widget that already has a parent or is a top-level widget of a
  // window, and for this parent itself or one of its ancestors.
  bool attach(const Ref<QELBWidget>& widget);
  // False when the widget is not a child.
  bool detach(const Ref<QELBWidget>& widget);
  void detachAll();
  void detachAllBut(const Ref<QELBWidget>& widget);
  bool raise(const QELBWidget* widget);
  bool lower(const QELBWidget* widget);
  QELBWidget* locate(std::string_view alias) override;
  void resizeWithWindow(QELBWindow* window) override;

  void onAttachedIntoWindow() override;
  void onDetachedFromWindow() override;
  void onAwaken() override;
  void onSnooze() override;
  void onBroadcast(const Ref<LLKBObject>& object) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  bool onInputWithSymbol(const OGLTCharacterEvent& symbol) override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  bool onInputWithScroll(const OGLTScrollEvent& scroll) override;
  bool onInputWithJoypad(const OGLTJoypadEvent& joypad) override;
  void onUpdateWithStep(float step) override;

protected:
  QELBParent(OGLTSize size, OGLTPoint position);

  // The children's cursor handling: topmost first, visible and enabled, the point in this
  // widget's space within the child's frame.
  bool passCursorToChildren(const OGLTCursorEvent& cursor);
  // Hands the key to the children, topmost first, visible and enabled ones only; true once one
  // consumed it. Nothing is queued on this widget.
  bool passKeypadToChildren(const OGLTKeypadEvent& key);

private:
  bool mayAdopt(const QELBWidget* widget) const override;
  void adoptChild(QELBWidget* widget) override { widget->attachIntoParent(this); }
  void releaseChild(QELBWidget* widget) override { widget->detachFromParent(); }
  bool holdsChild(const QELBWidget* widget) const override { return widget->parent() == this; }
  void onChildsChanged() override { redraw(); }

  // Hands a non-cursor event to the children, topmost first, visible and enabled ones only;
  // true once one consumed it.
  template <typename Event>
  bool passToChildren(const Event& event, bool (QELBWidget::*hook)(const Event&));

  bool dirtyLayers_ = false;
  bool resizePending_ = false;
  Ref<QELCWidgets> childs_;
};
