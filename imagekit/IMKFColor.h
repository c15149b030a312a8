#pragma once
// Colour utilities: sRGB to CIE L*a*b* (D65 white).
#include <cstdint>

extern "C" {

// lab receives L (0 to 100), a and b of the colour given as bytes.
void IMKFColorRgb2Lab(uint8_t red, uint8_t green, uint8_t blue, float lab[3]);
// The same for channels given as floats from 0 to 1.
void IMKFColorRgbf2Lab(float red, float green, float blue, float lab[3]);

}  // extern "C"
