#pragma once
// The base of the workbench's main window: the widget window with the application's settings
// frame and a status line drawn along its bottom edge.
//
// Everything runs on the window's thread. Subclasses that override onOpening, onClosing or
// onRenderOverlayWithStep call this class's first.
#include <string>

#include "framework/core/JSKCFrame.h"
#include "ui/widgets/QELBWindow.h"

class ZRVBWindow : public QELBWindow {
public:
  // The application's settings frame; null while no application has started.
  JSKCFrame* config() const;

  // The status line; an empty text shows nothing.
  const std::string& status() const { return status_; }
  void setStatus(std::string text) { status_ = std::move(text); }

protected:
  ZRVBWindow() = default;

  // The base opening (faces), then onTweaksConfigured.
  void onOpening() override;
  // The top-level widgets, then the status line above them.
  void onRenderOverlayWithStep(float step, const OGLTSize& size) override;

  // Called once the theme (tweaks) is set up at opening; a subclass may change it in place.
  virtual void onTweaksConfigured() {}

private:
  std::string status_;
};
