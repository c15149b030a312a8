#pragma once
// Telling the user from the main window: the status label shows the text and the log keeps it
// under "vesko". Window's thread only.
#include <string>

class ZRVBWindow;

// The status label and the log get the same text.
void VSKFWindowTell(ZRVBWindow* window, const std::string& text);
// The status label gets the shorter text, the log the full one.
void VSKFWindowTell(ZRVBWindow* window, const std::string& shown, const std::string& logged);
