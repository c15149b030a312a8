#pragma once
// A display for GUI tests and benchmarks. Without DISPLAY, a private Xvfb is started on a
// display number it picks itself (-displayfd), so concurrent runs never meet on one server;
// it stops when the program ends.
//
// True when a display is set; ownsServer() tells whether it is our own (only then may a test
// change server-wide settings such as its resources).
bool OGLTestEnsureDisplay();
bool OGLTestOwnsServer();

// xdotool's pause between typed keys. A key is up to three input records and a window takes 8 a
// beat, dropping the rest: the keys come far enough apart for a beat that a loaded machine or a
// sanitizer slows down.
inline constexpr char kOGLTestTypeDelay[] = "--delay 250";
