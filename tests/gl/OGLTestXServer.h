#pragma once
// A display for GUI tests and benchmarks. Without DISPLAY, a private Xvfb is started on a
// display number it picks itself (-displayfd), so concurrent runs never meet on one server;
// it stops when the program ends.
//
// True when a display is set; ownsServer() tells whether it is our own (only then may a test
// change server-wide settings such as its resources).
bool OGLTestEnsureDisplay();
bool OGLTestOwnsServer();
