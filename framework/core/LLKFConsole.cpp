#include "framework/core/LLKFConsole.h"

#include "framework/core/LLKFFormat.h"
#include "framework/core/LLKTLineOutput.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

// Standard error: standard output may be a program's data (the headless host prints statements
// there), and diagnostics must never mix into it.
LLKTLineOutput consoleOutput(stderr);

}  // namespace

// Standard error needs no preparing; the pair exists so a program states when it starts and
// stops talking, and everything printed is out by the time LLKFConsoleExit returns.
extern "C" bool LLKFConsoleInit(uint32_t flags) { return true; }

extern "C" void LLKFConsoleExit(void) { consoleOutput.flush(); }

extern "C" void LLKFConsolePrintf(const char* format, ...) {
  if (!format) return;
  va_list args;
  va_start(args, format);
  std::string line = LLKFFormatLineV(format, args);
  va_end(args);
  consoleOutput.write({}, line);
}

LLKTLogSink LLKFConsoleSetSink(LLKTLogSink sink) { return consoleOutput.setSink(std::move(sink)); }

void LLKFConsoleSetQuiet(bool value) { consoleOutput.setQuiet(value); }
