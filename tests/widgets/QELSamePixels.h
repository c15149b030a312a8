#pragma once
// Two headless windows compared pixel by pixel: one that redraws only what was asked against one
// that draws everything, after the same steps.
#include <gtest/gtest.h>

#include <string>

#include "tests/widgets/QELTestHeadlessWindow.h"

// Every device pixel of the area (width × height) the same; the first few that differ are named.
inline void expectSamePixels(const QELTestHeadlessWindow& partial, const QELTestHeadlessWindow& full, int width,
                             int height, const std::string& step) {
  int mismatches = 0;
  for (int y = 0; y < height && mismatches < 5; ++y)
    for (int x = 0; x < width && mismatches < 5; ++x)
      if (partial.pixel(x, y) != full.pixel(x, y)) {
        ++mismatches;
        auto a = partial.pixel(x, y), b = full.pixel(x, y);
        ADD_FAILURE() << step << ": pixel " << x << ", " << y << " differs: " << int(a[0]) << " " << int(a[1]) << " "
                      << int(a[2]) << " " << int(a[3]) << " vs " << int(b[0]) << " " << int(b[1]) << " " << int(b[2])
                      << " " << int(b[3]);
      }
}
