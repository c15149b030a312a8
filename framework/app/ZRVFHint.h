#pragma once
// Hints: a small box with one line of text shown by a widget while the cursor is over it.
// Window's thread only.
#include <string>

#include "ui/widgets/QELBWidget.h"

class QELBWindow;

// Hint styles: where the hint goes relative to its widget.
enum : uint32_t {
  kZRVHintAbove = 1,
  kZRVHintBelow = 2,
};

class ZRVCHint : public QELBWidget {
public:
  const std::string& text() const { return text_; }
  uint32_t style() const { return style_; }
  OGLTPoint offset() const { return offset_; }

  // The text's extent plus the theme's padding; zero without a window context.
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  void onRenderWithStep(float step) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  ZRVCHint(std::string text, uint32_t style, OGLTPoint offset)
      : QELBWidget({0, 0}, {0, 0}), text_(std::move(text)), style_(style), offset_(offset) {}

  std::string text_;
  uint32_t style_;
  OGLTPoint offset_;
};

// A hint for the widget with the text, style and offset (the gap from the widget); null for a
// null widget or an empty text. The hint is not attached anywhere yet.
[[nodiscard]] Ref<ZRVCHint> ZRVFHintMake(QELBWidget* widget, const std::string& text, uint32_t style, OGLTPoint offset);
// Sizes the hint for the window and places it by the widget (in window coordinates), above or
// below it as its style says, kept inside the window; false when one of them is missing.
bool ZRVFHintPlaceOnWindow(QELBWindow* window, QELBWidget* widget, ZRVCHint* hint);
