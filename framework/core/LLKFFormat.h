#pragma once
// printf-style formatting into a std::string, shared by the log, the console and strings.
#include <cstdarg>
#include <optional>
#include <string>

// The formatted text, or nothing when the format is invalid.
// Leaves `args` consumed, as vsnprintf does.
std::optional<std::string> LLKFFormatV(const char* format, va_list args);

// The same text without its trailing newlines: one line of the log or the console.
std::string LLKFFormatLineV(const char* format, va_list args);
