#pragma once
// The opener of the conversation view ("ui.conversation"). Window's thread only.
#include "framework/core/JSKCFrame.h"

class ZRVBWindow;

// Opens the view with the frame (else the settings' "ui.conversation", made when missing) at
// 640 x 480, (10, 100) unless the frame says otherwise, shows it and raises it. Does nothing
// when the window already holds it; says on the console when it cannot be made or attached.
void VSKFWindowConversation(ZRVBWindow* window, Ref<JSKCFrame> frame);
