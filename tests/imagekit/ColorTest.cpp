#include "imagekit/IMKFColor.h"

#include <gtest/gtest.h>

TEST(ColorLab, KnownColours) {
  const struct {
    uint8_t r, g, b;
    float L, a, bb, tolerance;
  } cases[] = {
      {0, 0, 0, 0, 0, 0, 1e-4f},
      {255, 255, 255, 100, 0, 0, 0.02f},
      {255, 0, 0, 53.24f, 80.09f, 67.20f, 0.05f},
      {0, 0, 255, 32.30f, 79.19f, -107.86f, 0.05f},
      {128, 128, 128, 53.59f, 0, 0, 0.02f},
  };
  for (const auto& c : cases) {
    float lab[3] = {-1, -1, -1};
    IMKFColorRgb2Lab(c.r, c.g, c.b, lab);
    EXPECT_NEAR(lab[0], c.L, c.tolerance) << int(c.r) << "," << int(c.g) << "," << int(c.b);
    EXPECT_NEAR(lab[1], c.a, c.tolerance);
    EXPECT_NEAR(lab[2], c.bb, c.tolerance);
    float fromFloats[3];
    IMKFColorRgbf2Lab(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, fromFloats);
    EXPECT_FLOAT_EQ(fromFloats[0], lab[0]);
    EXPECT_FLOAT_EQ(fromFloats[1], lab[1]);
    EXPECT_FLOAT_EQ(fromFloats[2], lab[2]);
  }
  IMKFColorRgb2Lab(1, 2, 3, nullptr);  // no out: nothing happens
}
