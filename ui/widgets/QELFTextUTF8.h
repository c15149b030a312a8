#pragma once
// UTF-8 text as the text box keeps it: offsets are bytes that always fall on the start of a
// character (or the end), and the text is always valid UTF-8 without NUL bytes.
#include <cstddef>
#include <string>
#include <string_view>

// The start of the character after the one at offset; the length at or past the end.
size_t QELFUTF8Next(std::string_view text, size_t offset);
// The start of the character before offset; 0 at or before the start.
size_t QELFUTF8Previous(std::string_view text, size_t offset);
// The offset moved back onto the start of the character that holds it (the length at most).
size_t QELFUTF8Floor(std::string_view text, size_t offset);
// Valid UTF-8 of at most capacity bytes: a malformed sequence becomes U+FFFD, NUL bytes are
// dropped, and the text ends before the first character that would not fit whole.
std::string QELFUTF8Sanitized(std::string_view text, size_t capacity);
