#pragma once
// The openers of the vision views. Each makes its view from its settings frame (the one given,
// else the window's settings entry under the view's key, made when missing), names it by that
// key, shows it and attaches it to the window, raised to the front. A view already open (its
// key is a child's alias) is left alone; a fov other than 1 (foveal) or 2 (peripheral) does
// nothing. Failures are printed with the opener's message.
//
// Window's thread only.
#include <cstdint>
#include <string>

#include "framework/core/JSKCFrame.h"
#include "ui/widgets/QELBWindow.h"

// The window's menu tags of the openers (menu code (0xf00, tag, fov)).
enum : uint32_t {
  kVSKOpenImageFeed = 0x70,
  kVSKOpenLabeledFeed = 0x80,
  kVSKOpenSegmentedFeed = 0x90,
  kVSKOpenInjectImage = 0x100,
  kVSKOpenInjectKey = 0x110,
  kVSKOpenLabeling = 0x120,
  kVSKOpenCocoFeed = 0x130,
};

void VSKFWindowImageFeed(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame);
void VSKFWindowSegmentedFeed(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame, uint32_t fov);
void VSKFWindowLabeledFeed(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame, uint32_t fov);
void VSKFWindowInjectImageView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame);
void VSKFWindowInjectKeyView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame);
void VSKFWindowCocoFeedView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame);
// The labelling view of the fov ("ui.qav.labeling.fovl" or ".peri"); the view made, else null.
// The window then tells it the data folder (VSKFWindowLabelingDataFolder).
Ref<QELBWidget> VSKFWindowLabelingView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame, uint32_t fov);
// Gives the data folder to the labelling views the window holds (their sample folders lie under
// it); an empty path gives nothing.
void VSKFWindowLabelingDataFolder(QELBWindow* window, const std::string& dataPath);
