// The input queue's placement rules and the joypad readings, without a window.
#include <gtest/gtest.h>

#include <cstring>

#include "ui/gl/OGLTInput.h"

namespace {

OGLTInputEvent keyEvent(int32_t key) {
  OGLTInputEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = kOGLInputKey;
  event.key = {key, 0, kOGLActionPress, 0};
  return event;
}

TEST(OGLTInputQueue, TheFirstCursorOfAFrameTakesSlotZeroEvenWhenFull) {
  OGLTInputQueue queue;
  OGLFInputQueueReset(queue);
  EXPECT_EQ(queue.count, 1u);
  EXPECT_EQ(queue.events[0].type, kOGLInputCursor);
  for (int i = 1; i < 8; ++i) EXPECT_TRUE(OGLFInputQueueAppend(queue, keyEvent(65 + i)));
  EXPECT_FALSE(OGLFInputQueueAppend(queue, keyEvent(90)));  // the ninth is dropped
  EXPECT_EQ(queue.count, 8u);
  EXPECT_EQ(queue.events[7].key.key, 72);

  EXPECT_TRUE(OGLFInputQueuePlaceCursor(queue, {kOGLButtonLeft, kOGLActionPress, 0, {3, 4}}));
  EXPECT_EQ(queue.events[0].cursor.point.x, 3);
  EXPECT_EQ(queue.events[0].cursor.button, kOGLButtonLeft);
  // A second cursor record of the frame needs a free slot.
  EXPECT_FALSE(OGLFInputQueuePlaceCursor(queue, {kOGLButtonLeft, kOGLActionRelease, 0, {5, 6}}));
  EXPECT_EQ(queue.events[0].cursor.point.x, 3);

  OGLFInputQueueReset(queue);
  EXPECT_TRUE(OGLFInputQueuePlaceCursor(queue, {0, kOGLActionNone, 0, {1, 1}}));
  EXPECT_TRUE(OGLFInputQueuePlaceCursor(queue, {kOGLButtonLeft, kOGLActionPress, 0, {2, 2}}));
  EXPECT_EQ(queue.count, 2u);
  EXPECT_EQ(queue.events[1].cursor.point.x, 2);
}

TEST(OGLTJoypad, PressAndReleaseAreChangesAndAHoldIsNot) {
  OGLTJoypad pad{};
  pad.present = pad.enabled = true;
  pad.buttonCount = 2;
  OGLTJoypadEvent event;
  const unsigned char down[2] = {1, 0}, up[2] = {0, 0};
  ASSERT_TRUE(OGLFJoypadUpdate(pad, down, 2, nullptr, 0, event));
  EXPECT_TRUE(event.buttons[0].changed);
  EXPECT_EQ(event.buttons[0].state, kOGLActionPress);
  EXPECT_FALSE(event.buttons[1].changed);
  // Held for many polls: no event, so the queue and the log stay quiet.
  for (int beat = 0; beat < 100; ++beat) EXPECT_FALSE(OGLFJoypadUpdate(pad, down, 2, nullptr, 0, event));
  ASSERT_TRUE(OGLFJoypadUpdate(pad, up, 2, nullptr, 0, event));
  EXPECT_EQ(event.buttons[0].state, kOGLActionRelease);
  EXPECT_FALSE(OGLFJoypadUpdate(pad, up, 2, nullptr, 0, event));

  // A hold shows as held when something else changes.
  const unsigned char both[2] = {1, 1};
  OGLFJoypadUpdate(pad, down, 2, nullptr, 0, event);
  ASSERT_TRUE(OGLFJoypadUpdate(pad, both, 2, nullptr, 0, event));
  EXPECT_FALSE(event.buttons[0].changed);
  EXPECT_EQ(event.buttons[0].state, kOGLActionRepeat);
  EXPECT_TRUE(event.buttons[1].changed);
}

TEST(OGLTJoypad, AxesChangeBeyondTheirSlipAroundTheirZero) {
  OGLTJoypad pad{};
  pad.present = pad.enabled = true;
  pad.axisCount = 2;
  OGLTJoypadEvent event;
  const float resting[2] = {0.0f, 0.01f};
  // Uncalibrated: anything but exactly 0 is a change.
  ASSERT_TRUE(OGLFJoypadUpdate(pad, nullptr, 0, resting, 2, event));
  EXPECT_FALSE(event.axes[0].changed);
  EXPECT_TRUE(event.axes[1].changed);
  pad.axes[1] = {0.05f, 0.0f};
  EXPECT_FALSE(OGLFJoypadUpdate(pad, nullptr, 0, resting, 2, event));
  const float pushed[2] = {0.0f, 0.5f};
  ASSERT_TRUE(OGLFJoypadUpdate(pad, nullptr, 0, pushed, 2, event));
  EXPECT_FLOAT_EQ(event.axes[1].value, 0.5f);
}

TEST(OGLTJoypad, ReadingsBeyondTheRecordAreCut) {
  OGLTJoypad pad{};
  unsigned char buttons[40];
  float axes[20];
  std::memset(buttons, 1, sizeof buttons);
  for (float& axis : axes) axis = 1;
  OGLTJoypadEvent event;
  ASSERT_TRUE(OGLFJoypadUpdate(pad, buttons, 40, axes, 20, event));
  for (const auto& button : event.buttons) EXPECT_TRUE(button.changed);
  for (const auto& axis : event.axes) EXPECT_TRUE(axis.changed);
}

}  // namespace
