#pragma once
// The console: messages for the person running the program, on standard error (standard output
// may carry a program's data), one line per call, whole lines even when threads print at once.
#include "framework/core/LLKFLog.h"

#include <cstdint>

extern "C" {
// Opens the console; true when it is ready. flags is reserved (0).
bool LLKFConsoleInit(uint32_t flags);
// Flushes what is pending.
void LLKFConsoleExit(void);
// printf-style; a trailing newline is added when missing. Works with or without init.
void LLKFConsolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
}

// Receives every console line (without newline); tests use it. Returns the previous sink.
LLKTLogSink LLKFConsoleSetSink(LLKTLogSink sink);
// Silences standard output (sinks still receive every line).
void LLKFConsoleSetQuiet(bool quiet);
