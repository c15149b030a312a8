#pragma once
// Conversions between image types. Each answers a new image that owns its data.
#include "modules/vision/algorithms/graph/pixel-image.h"

namespace graphseg {

// Grey = integer part of 0.299 r + 0.587 g + 0.114 b.
image_ptr<unsigned char> imageRGBtoGRAY(const image<rgb>& input);
image_ptr<rgb> imageGRAYtoRGB(const image<unsigned char>& input);
image_ptr<float> imageUCHARtoFLOAT(const image<unsigned char>& input);
image_ptr<float> imageINTtoFLOAT(const image<int>& input);
image_ptr<long> imageUCHARtoLONG(const image<unsigned char>& input);

// Maps [min, max] linearly onto 0 .. 255 (values outside saturate); when max equals min every
// pixel is 0. The one-argument forms take the image's own minimum and maximum.
image_ptr<unsigned char> imageFLOATtoUCHAR(const image<float>& input, float min, float max);
image_ptr<unsigned char> imageFLOATtoUCHAR(const image<float>& input);
image_ptr<unsigned char> imageLONGtoUCHAR(const image<long>& input, long min, long max);
image_ptr<unsigned char> imageLONGtoUCHAR(const image<long>& input);
image_ptr<unsigned char> imageSHORTtoUCHAR(const image<short>& input, short min, short max);
image_ptr<unsigned char> imageSHORTtoUCHAR(const image<short>& input);

}  // namespace graphseg
