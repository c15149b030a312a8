// Start and stop of the GL layer, and the utilities that reach the window through the 2D
// context's user data (the GLFW window).
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "framework/core/LLKFLog.h"
#include "ui/gl/OGLBWindow.h"
#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLF.h"
#include "ui/gl/OGLF2D.h"

namespace {

void logError(int code, const char* description) {
  LLKFLog("glfw3 error %d : %s", code, description ? description : "");
}

GLFWwindow* windowOf(OGLC2DContext* ctx) { return static_cast<GLFWwindow*>(OFLG2DGetUserData(ctx)); }

}  // namespace

extern "C" {

bool OGLFInit(void) {
  glfwSetErrorCallback(logError);
  return glfwInit() == GLFW_TRUE;
}

void OGLFExit(void) { glfwTerminate(); }

int OGLFGetKeyAction(OGLC2DContext* ctx, int key) {
  if (!ctx || key < GLFW_KEY_SPACE || key > GLFW_KEY_LAST) return 1;
  GLFWwindow* window = windowOf(ctx);
  if (!window) return ctx->ownKeyAction(key);
  int state = glfwGetKey(window, key);
  if (state == GLFW_PRESS) return 2;
  if (state == GLFW_REPEAT) return 3;
  return 1;
}

const char* OGLFGetClipboard(OGLC2DContext* ctx) {
  if (!ctx) return nullptr;
  if (GLFWwindow* window = windowOf(ctx)) return glfwGetClipboardString(window);
  return ctx->ownClipboard().empty() ? nullptr : ctx->ownClipboard().c_str();
}

void OGLFSetClipboard(OGLC2DContext* ctx, const char* text) {
  if (!ctx || !text) return;
  if (GLFWwindow* window = windowOf(ctx)) glfwSetClipboardString(window, text);
  else ctx->ownClipboard() = text;
}

}  // extern "C"
