#pragma once
// The label colours of "./rsc/colors.json": {"labels": [{"label": name, "color": colour}, ...]}
// where a colour is a frame with the numbers "r", "g", "b" and "a", or an array of three or four
// numbers r, g, b[, a] (0 to 1, further elements ignored). A colour of three numbers is opaque.
#include <map>
#include <string>

#include "framework/core/JSKCFrame.h"
#include "ui/gl/OGLTGeometry.h"

using VSKTLabelColours = std::map<std::string, OGLTColor, std::less<>>;

// Stores the colour of every well-formed entry under its label (a later entry of the same name
// replaces an earlier one); entries that are not frames, lack a "label" string or whose "color"
// is of neither form are skipped. Answers how many were stored.
size_t VSKFLabelColoursRead(const JSKCFrame& file, VSKTLabelColours* colours);

// The mean of count x, y float pairs; (0, 0) for none.
OGLTPoint VSKFComputeCentroid(const float* points, size_t count);
