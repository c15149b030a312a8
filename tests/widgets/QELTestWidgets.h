#pragma once
// Small widgets for the widget tests: a probe that records what reaches it, a parent that
// records messages, a solid block, a spacer, and a message helper.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBGroup.h"
#include "ui/widgets/QELBParent.h"
#include "ui/widgets/QELBView.h"
#include "ui/widgets/QELBWindow.h"
#include "tests/support/PixelMatch.h"

inline Ref<LLKCMessage> message(uint64_t code) { return LLKCMessage::messageWithCode(code); }

// Records its hooks; consumes cursor events when asked to.
class Probe : public QELBWidget {
public:
  static Ref<Probe> make(OGLTSize size = {10, 10}, OGLTPoint position = {0, 0}) {
    return adoptRef(new Probe(size, position));
  }
  bool onInputWithCursor(const OGLTCursorEvent& c) override {
    QELBWidget::onInputWithCursor(c);
    cursors.push_back(c);
    return consumeCursor;
  }
  bool onInputWithKeypad(const OGLTKeypadEvent& k) override {
    QELBWidget::onInputWithKeypad(k);
    keys.push_back(k.key);
    return consumeKeys;
  }
  bool onInputWithSymbol(const OGLTCharacterEvent& s) override {
    QELBWidget::onInputWithSymbol(s);
    symbols.push_back(s.codePoint);
    return true;
  }
  bool onInputWithScroll(const OGLTScrollEvent& s) override {
    QELBWidget::onInputWithScroll(s);
    ++scrolls;
    return true;
  }
  void onMessaged(const Ref<LLKCMessage>& m) override {
    messages.push_back(m->codeValue());
    if (onMessage) onMessage(m);
  }
  void onCursorEnter() override { ++enters; }
  void onCursorLeave() override { ++leaves; }
  void onAttachedIntoWindow() override { ++windowAttaches; }
  void onDetachedFromWindow() override { ++windowDetaches; }
  void onAwaken() override {
    QELBWidget::onAwaken();
    if (onAwake) onAwake();
  }
  void onRenderWithStep(float) override {
    renders.push_back(frame().left);
    if (color.a > 0 && window() && window()->context()) {
      OGLC2DContext* ctx = window()->context();
      OGLF2DPathBegin(ctx);
      OGLF2DPathRect(ctx, 0, 0, size().w, size().h);
      OGLF2DPathFillColor(ctx, &color);
      OGLF2DPathFill(ctx);
    }
    if (onRender) onRender();
  }

  bool consumeCursor = true;
  bool consumeKeys = true;
  OGLTColor color{0, 0, 0, 0};
  std::vector<OGLTCursorEvent> cursors;
  std::vector<int32_t> keys;
  std::vector<uint32_t> symbols;
  int scrolls = 0;
  std::vector<uint64_t> messages;
  std::function<void(const Ref<LLKCMessage>&)> onMessage;
  std::function<void()> onAwake;
  std::function<void()> onRender;
  std::vector<float> renders;
  int enters = 0, leaves = 0, windowAttaches = 0, windowDetaches = 0;

protected:
  using QELBWidget::QELBWidget;
};

// A parent that records the messages that climb to it (and passes them on).
class Box : public QELBParent {
public:
  static Ref<Box> make(OGLTSize size = {100, 100}, OGLTPoint position = {0, 0}) {
    return adoptRef(new Box(size, position));
  }
  void onMessaged(const Ref<LLKCMessage>& m) override {
    messages.push_back(m->codeValue());
    if (passOn) QELBParent::onMessaged(m);
  }
  OGLTRect space() override {
    return {bounds().left + inset.x, bounds().top + inset.y, bounds().right, bounds().bottom};
  }

  OGLTPoint inset{0, 0};
  bool passOn = true;
  std::vector<uint64_t> messages;

protected:
  using QELBParent::QELBParent;
};

class Spacer : public QELBWidget, public QELPSpacer {
public:
  static Ref<Spacer> make(OGLTSize size = {0, 0}) { return adoptRef(new Spacer(size, {0, 0})); }

protected:
  using QELBWidget::QELBWidget;
};

// A view whose hooks tests can watch.
class TestView : public QELBView {
public:
  static Ref<TestView> make(OGLTSize size, OGLTPoint position, uint32_t flags, std::string title = "view") {
    Ref<TestView> view = adoptRef(new TestView(size, position, std::move(title), flags));
    view->setVisible(true);
    return view;
  }
  void onResized() override { ++resized; }
  void onClose() override { ++closes; }
  void onToggleMenu() override { ++menus; }
  void onMessaged(const Ref<LLKCMessage>& m) override {
    messages.push_back(m->codeValue());
    QELBView::onMessaged(m);
  }
  int resized = 0, closes = 0, menus = 0;
  std::vector<uint64_t> messages;

protected:
  using QELBView::QELBView;
};

// Pixels composed by the window through its passes may differ from the drawn colour by a little more.
constexpr int kComposedTolerance = 3;
