#pragma once
// A display for GUI tests and benchmarks. Without DISPLAY, a private Xvfb is started on a
// display number it picks itself (-displayfd), so concurrent runs never meet on one server;
// it stops when the program ends.
//
// True when a display is set; ownsServer() tells whether it is our own (only then may a test
// change server-wide settings such as its resources).
bool OGLTestEnsureDisplay();
bool OGLTestOwnsServer();

#include <string>

// The text another X client (xclip) finds on the clipboard; "" when there is none.
std::string OGLTestClipboardOfOtherClient();

// xdotool's pause between typed keys: a person's pace. However many records come between two
// beats, the window takes them all.
inline constexpr char kOGLTestTypeDelay[] = "--delay 20";
// A fast typist's burst, or a paste by the window system.
inline constexpr char kOGLTestBurstDelay[] = "--delay 10";

// 200 characters of every kind a keyboard types without a dead key (lower and upper case,
// digits, spaces and punctuation, with and without shift), safe inside single quotes of a shell.
inline std::string OGLTestBurstText() {
  static const std::string kinds = "aZ0 b.Y1-c,X2_dW3=e+V4:fU5;gT6!hS7?iR8@jQ9#kP%lO^mN&nM*oL(pK)qJ[rI]sH{tG}uF<vE>wD/xC~yB|";
  std::string text;
  for (size_t i = 0; text.size() < 200; ++i) text += kinds[(i * 7) % kinds.size()];
  return text;
}
