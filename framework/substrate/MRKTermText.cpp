#include "framework/substrate/MRKTermText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

bool MRKFIsBareSymbol(std::string_view value) {
  if (value.empty() || value.front() < 'a' || value.front() > 'z' || value.back() == '.') return false;
  if (value == "true" || value == "false") return false;
  for (char c : value) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
    if (!ok) return false;
  }
  return true;
}

void MRKFAppendQuoted(std::string& out, std::string_view value, char quote) {
  out += quote;
  for (unsigned char c : value) {
    if (c == static_cast<unsigned char>(quote) || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += quote;
}

void MRKFAppendSymbol(std::string& out, std::string_view value) {
  if (MRKFIsBareSymbol(value)) out += value;
  else MRKFAppendQuoted(out, value, '\'');
}

void MRKFAppendReal(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "#nan";
    return;
  }
  if (std::isinf(value)) {
    out += value > 0 ? "#inf" : "-#inf";
    return;
  }
  char text[64];
  auto result = std::to_chars(text, text + sizeof text, value);
  std::string_view written(text, static_cast<size_t>(result.ptr - text));
  out += written;
  if (written.find_first_of(".e") == std::string_view::npos) out += ".0";
}

void MRKFAppendHex(std::string& out, const uint8_t* bytes, size_t length) {
  static const char digits[] = "0123456789abcdef";
  out.reserve(out.size() + length * 2);
  for (size_t i = 0; i < length; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
}
