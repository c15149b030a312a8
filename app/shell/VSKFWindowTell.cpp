#include "app/shell/VSKFWindowTell.h"

#include "framework/app/ZRVBWindow.h"
#include "framework/core/LLKFLog.h"

void VSKFWindowTell(ZRVBWindow* window, const std::string& text) { VSKFWindowTell(window, text, text); }

void VSKFWindowTell(ZRVBWindow* window, const std::string& shown, const std::string& logged) {
  window->setStatus(shown);
  LLKFLog("vesko : %s", logged.c_str());
}
