// The plain C entry points the substrate calls after loading and before unloading the module.
#include "modules/minimal/JUXEntry.h"

#include <cstdio>

#include "framework/core/LLKFLog.h"

void JUXModuleInit() {
  LLKFLog("modJUX - modInit()");
  std::fputs("hello!\n", stdout);
  std::fflush(stdout);
}

void JUXModuleExit() { LLKFLog("modJUX - modExit()"); }

extern "C" void modInit(MRKCSubstrate*) { JUXModuleInit(); }
extern "C" void modExit(MRKCSubstrate*) { JUXModuleExit(); }
