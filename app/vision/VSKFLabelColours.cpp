#include "app/vision/VSKFLabelColours.h"

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCString.h"
#include "ui/gl/OGLFValueCoding.h"

size_t VSKFLabelColoursRead(const JSKCFrame& file, VSKTLabelColours* colours) {
  Ref<JSKCArray> labels = file.arrayForLabel("labels");
  size_t stored = 0;
  for (size_t i = 0; labels && i < labels->count(); ++i) {
    Ref<JSKBValue> value = labels->atIndex(i);
    const JSKCFrame* entry = value ? value->asFrame() : nullptr;
    Ref<JSKBValue> name = entry ? entry->fetchForLabel("label") : nullptr;
    const JSKCString* label = name ? name->asString() : nullptr;
    OGLTColor colour = {0, 0, 0, 1};
    if (!label || OGL::fetchColor(*entry, colour, "color") != kOGLCodingDone) continue;
    (*colours)[label->string()] = colour;
    ++stored;
  }
  return stored;
}

OGLTPoint VSKFComputeCentroid(const float* points, size_t count) {
  if (count == 0) return {0, 0};
  double x = 0, y = 0;
  for (size_t i = 0; i < count; ++i) {
    x += points[2 * i];
    y += points[2 * i + 1];
  }
  return {static_cast<float>(x / static_cast<double>(count)), static_cast<float>(y / static_cast<double>(count))};
}
