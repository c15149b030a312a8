#pragma once
// The geometry records of the UI library: plain floats, in this field order, so that they can be
// copied as bytes (the binary value coding writes them as they lie in memory).

struct OGLTColor {
  float r, g, b, a;
};

struct OGLTPoint {
  float x, y;
};

struct OGLTSize {
  float w, h;
};

struct OGLTRect {
  float left, top, right, bottom;
};
