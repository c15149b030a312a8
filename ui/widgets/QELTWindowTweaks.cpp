#include "ui/widgets/QELTWindowTweaks.h"

const QELTWindowTweaks kWindowTweaks = {
    {0.1f, 0.11f, 0.13f, 0.75f},   // panel
    {1, 1, 1, 0.22f},              // frame
    {1, 1, 1, 0.62f},              // text
    {1, 1, 1, 1},                  // bright
    {0.86f, 0.86f, 0.86f, 0.62f},  // hover
    {1, 1, 1, 0.5f},               // dim
    {1, 0, 0, 1},                  // alert
    6.0f,                          // corner radius
    5.0f,                          // padding
    8.0f,
    "mono",  // tiny font size, face
    8.0f,
    "mono",  // small font size, face
    10.0f,
    "mono",  // text font size, face
    20.0f,
    "mono",  // large font size, face
    0.05f,   // font spacing
    1.1f,    // line height
};

const OGLTColor kBlackColor = {0, 0, 0, 0.3f};
const OGLTColor kStrokeColor = {0, 0, 0, 0.125f};
