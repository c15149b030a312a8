#pragma once
// The one way every view of the workbench is opened: the view's settings frame is the one given,
// else the window's settings entry under the view's key (made when missing); the view is made
// from it, titled, marked to leave the window when closed, shown and attached. A view already
// open (its key is a child's alias) is left alone. Failures are printed with the opener's message
// and leave the window as it was.
//
// Window's thread only.
#include <functional>

#include "framework/app/ZRVBView.h"
#include "framework/core/JSKCFrame.h"
#include "ui/widgets/QELBWindow.h"

struct VSKTViewOpening {
  const char* key;  // settings key and alias
  const char* title;
  const char* failure;           // printed when the attach is refused (and when the view cannot be made)
  bool aliasByKey;               // the view takes no alias of its own: the opener gives it the key
  bool raise;                    // raised to the front once attached
  const char* unmade = nullptr;  // printed instead when the view cannot be made, where it differs
};

using VSKFViewMaker = std::function<Ref<ZRVBView>(Ref<JSKCFrame> frame)>;

// The view made and attached, else null (already open, no frame, not made, attach refused).
Ref<ZRVBView> VSKFWindowOpenView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame,
                                 const VSKTViewOpening& opening, const VSKFViewMaker& make);

// Moves the view, attached to the window, so that a grip of its title bar lies inside the
// window's view area (below the menu bar) however far out its saved place was, and makes it at
// least usable in size. A view whose grip the window shows stays where it is.
void VSKFPlaceWithinReach(QELBView* view, QELBWindow* window);
