#pragma once
// A headless 2D context with the built-in faces, for drawing tests.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>

#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLF2D.h"
#include "ui/gl/OGLFBuiltinFonts.h"
#include "tests/support/PixelMatch.h"

class OGLTestCanvas : public ::testing::Test {
protected:
  void SetUp() override {
    context = OGLC2DContext::make();
    ASSERT_TRUE(context);
    const char* failed = OGLFBuiltinFontsRegister(ctx());
    ASSERT_EQ(failed, nullptr) << failed;
    begin(64, 64);
  }

  OGLC2DContext* ctx() { return context.get(); }
  void begin(float w, float h, float ratio = 1) { ASSERT_TRUE(context->beginFrame(w, h, ratio)); }
  std::array<uint8_t, 4> at(int x, int y) {
    context->endFrame();
    return context->readPixel(x, y);
  }
  void fillRect(float x, float y, float w, float h, OGLTColor color) {
    OGLF2DPathBegin(ctx());
    OGLF2DPathRect(ctx(), x, y, w, h);
    OGLF2DPathFillColor(ctx(), &color);
    OGLF2DPathFill(ctx());
  }

  std::unique_ptr<OGLC2DContext> context;
};

constexpr Pixel kClear{0, 0, 0, 0};
constexpr Pixel kRed{255, 0, 0, 255};
constexpr Pixel kWhite{255, 255, 255, 255};
