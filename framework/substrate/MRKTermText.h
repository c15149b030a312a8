#pragma once
// Pieces of the term text form shared by the printers and the reader.
#include <string>
#include <string_view>

// True for a symbol written without quotes: a lower-case letter, then letters, digits, "_" and
// "." (not last), and not one of the reserved words true and false.
bool MRKFIsBareSymbol(std::string_view value);
// Appends the value between the quote character, escaping quotes, backslashes and control
// characters (\n, \t, \r, \uXXXX).
void MRKFAppendQuoted(std::string& out, std::string_view value, char quote);
// Appends a symbol, bare or in single quotes.
void MRKFAppendSymbol(std::string& out, std::string_view value);
// Appends a real so that reading it back gives the same double and a real again.
void MRKFAppendReal(std::string& out, double value);
void MRKFAppendHex(std::string& out, const uint8_t* bytes, size_t length);
