#pragma once
// The base of the workbench's main window: the widget window with a menu bar, the
// application's settings frame and a status label kept along its bottom edge.
//
// The menu bar's first entry is the framework's own menu: "Statistics" (a sub-list that
// programs fill with their statistics views), "About vesko" (calls onAboutBoxRequested), a
// separator and "Quit", which ends the window's
// loop (onClosing runs, then the program stops the application and the settings are written).
// Programs attach their own entries after it. Chosen items send their messages up to this
// window's onMessaged.
//
// Everything runs on the window's thread. Subclasses that override onOpening, onClosing,
// onMessaged or onUpdateWithStep call this class's.
#include <string>

#include "framework/core/JSKCFrame.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBMenu.h"
#include "ui/widgets/QELBMenuList.h"
#include "ui/widgets/QELBWindow.h"

// The framework menu's message uid and its commands (tags).
enum : uint32_t {
  kZRVWindowCommand = 0x100,
  kZRVCommandQuit = 2,
  kZRVCommandAbout = 3,
};

class ZRVBWindow : public QELBWindow {
public:
  // The application's settings frame; null while no application has started.
  JSKCFrame* config() const;

  // The list of the menu bar's entries (the framework's menu first); null before opening.
  QELCMenuList* menubar() const { return menubar_.get(); }

  // The status label (never null once the window is made).
  QELCLabel* status() const { return status_.get(); }
  // Shows the text in the status label, sized to it and wrapped to the window's width (again
  // whenever that changes), so that a long text is never cut off.
  void setStatus(std::string text);

  bool onMessaged(const Ref<LLKCMessage>& message) override;
  // The window below the menu bar: a title bar under it could be neither grabbed nor closed.
  OGLTRect viewArea() const override;

protected:
  ZRVBWindow();

  // The base opening (faces), onTweaksConfigured, then the menu bar and the status label.
  void onOpening() override;
  void onClosing() override;
  // Keeps the status label at the bottom edge, then the base update.
  void onUpdateWithStep(float step) override;

  // Called once the theme (tweaks) is set up at opening; a subclass may change it in place.
  virtual void onTweaksConfigured() {}
  // Called when the user asks for the about box; the program shows its own.
  virtual void onAboutBoxRequested() {}

private:
  void buildMenubar();
  void fitStatus();
  float statusWidth() const;

  Ref<QELCMenu> menu_;
  Ref<QELCMenuList> menubar_;
  Ref<QELCLabel> status_;
};
