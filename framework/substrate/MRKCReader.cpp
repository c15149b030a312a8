#include "framework/substrate/MRKCReader.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuirk.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCVariable.h"

namespace {

bool isIdentifierChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void appendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xc0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3f));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xe0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (code & 0x3f));
  } else {
    out += static_cast<char>(0xf0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3f));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (code & 0x3f));
  }
}

// A recursive-descent parser over one text; the first error stops it.
class Parser {
public:
  explicit Parser(std::string_view text) : text_(text) {}

  Ref<MRKBTerm> parseAll() {
    Ref<MRKBTerm> term = parseTerm(0);
    if (!term) return nullptr;
    skipSpace();
    if (pos_ != text_.size()) return fail("end of text");
    return term;
  }

  const std::string& error() const { return error_; }

private:
  std::nullptr_t fail(const char* expected) {
    if (error_.empty()) error_ = std::string("term: expected ") + expected + " at offset " + std::to_string(pos_);
    return nullptr;
  }

  void skipSpace() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }

  bool peek(char c) const { return pos_ < text_.size() && text_[pos_] == c; }

  bool accept(char c) {
    skipSpace();
    if (!peek(c)) return false;
    ++pos_;
    return true;
  }

  // A term, and when a '^' follows, the quirk of it and the term after (joined to the right).
  Ref<MRKBTerm> parseTerm(int depth) {
    skipSpace();
    bool grouped = peek('(');
    Ref<MRKBTerm> head = parsePart(depth);
    if (!head) return nullptr;
    if (!accept('^')) return grouped ? fail("'^' after a quirk in parentheses") : head;
    Ref<MRKBTerm> tail = parseTerm(depth + 1);
    return tail ? Ref<MRKBTerm>(MRKCQuirk::quirkWithHead(head.get(), tail.get())) : nullptr;
  }

  Ref<MRKBTerm> parsePart(int depth) {
    if (depth > MRKCReader::kMaxDepth) return fail("less nesting");
    skipSpace();
    if (pos_ >= text_.size()) return fail("a term");
    char c = text_[pos_];
    if (c == '(') return parseGroupedQuirk(depth);
    if (c == '[') return parseList(depth);
    if (c == '{') return parseFrame(depth);
    if (c == '"') {
      std::optional<std::string> value = parseQuoted('"');
      return value ? Ref<MRKBTerm>(MRKCString::stringWithValue(*value)) : nullptr;
    }
    if (c == '\'') {
      std::optional<std::string> value = parseQuoted('\'');
      if (!value) return nullptr;
      return peek('(') ? parseFuncArguments(*value, depth) : Ref<MRKBTerm>(MRKCSymbol::symbolWithValue(*value));
    }
    if (c == '?') return parsePredicate(depth);
    if (c == '<') return parseStatement(depth);
    if (c == '#' || (c == '-' && text_.substr(pos_, 2) == "-#")) return parseHashed();
    if (c == '+' || c == '-' || (c >= '0' && c <= '9')) return parseNumber();
    if (c >= 'a' && c <= 'z') return parseWord(depth);
    if ((c >= 'A' && c <= 'Z') || c == '_') return parseVariable(depth);
    return fail("a term");
  }

  // Parentheses only group a quirk standing as the head of another, so each term keeps one text
  // (the caller asks for the '^' that must follow).
  Ref<MRKBTerm> parseGroupedQuirk(int depth) {
    ++pos_;  // '('
    Ref<MRKBTerm> quirk = parseTerm(depth + 1);
    if (!quirk) return nullptr;
    if (!quirk->asQuirk()) return fail("a quirk inside parentheses");
    if (!accept(')')) return fail("')' after a quirk");
    return quirk;
  }

  std::string_view readIdentifier() {
    size_t start = pos_;
    while (pos_ < text_.size() && isIdentifierChar(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  Ref<MRKBTerm> parseWord(int depth) {
    std::string_view word = readIdentifier();
    if (word.back() == '.') return fail("a symbol not ending in '.'");
    if (peek('(')) return parseFuncArguments(std::string(word), depth);
    if (word == "true" || word == "false") return MRKCNumber::numberWithBool(word == "true");
    return MRKCSymbol::symbolWithValue(word);
  }

  Ref<MRKBTerm> parseVariable(int depth) {
    std::string_view name = readIdentifier();
    if (!MRKCVariable::isVariableName(name)) return fail("a variable name");
    Ref<MRKCList> constraint;
    if (peek(':')) {
      ++pos_;
      if (!peek('[')) return fail("'[' of a constraint");
      Ref<MRKBTerm> list = parseList(depth);
      if (!list) return nullptr;
      constraint = Ref<MRKCList>(list->asList());
    }
    if (name == "_") return MRKCVariable::variableAsWildcardWithConstraint(constraint.get());
    return MRKCVariable::variableWithName(name, constraint.get());
  }

  // Reads terms separated by commas up to the closing character (already past the opening).
  bool parseSequence(char close, MRKCList& into, int depth) {
    if (accept(close)) return true;
    for (;;) {
      Ref<MRKBTerm> term = parseTerm(depth + 1);
      if (!term) return false;
      into.append(term.get());
      if (accept(close)) return true;
      if (!accept(',')) {
        fail(close == ']' ? "',' or ']'" : "',' or ')'");
        return false;
      }
    }
  }

  Ref<MRKBTerm> parseList(int depth) {
    ++pos_;  // '['
    Ref<MRKCList> list = MRKCList::list();
    return parseSequence(']', *list, depth) ? Ref<MRKBTerm>(list) : nullptr;
  }

  Ref<MRKBTerm> parseFuncArguments(const std::string& label, int depth) {
    ++pos_;  // '('
    Ref<MRKCList> terms = MRKCList::list();
    if (!parseSequence(')', *terms, depth)) return nullptr;
    return MRKCFunc::funcWithLabel(label, terms.get());
  }

  std::optional<std::string> parseLabel() {
    skipSpace();
    if (peek('\'')) return parseQuoted('\'');
    if (pos_ < text_.size() && text_[pos_] >= 'a' && text_[pos_] <= 'z') {
      std::string_view word = readIdentifier();
      if (word.back() != '.') return std::string(word);
    }
    fail("a label");
    return std::nullopt;
  }

  Ref<MRKBTerm> parsePredicate(int depth) {
    ++pos_;  // '?'
    uint32_t flags = 0;
    if (peek('<')) {
      ++pos_;
      std::optional<uint64_t> value = parseDigits();
      if (!value || *value > std::numeric_limits<uint32_t>::max() || !peek('>')) return fail("predicate flags");
      ++pos_;
      flags = static_cast<uint32_t>(*value);
    }
    std::optional<std::string> label = parseLabel();
    if (!label) return nullptr;
    if (!peek('(')) return fail("'(' of a predicate");
    Ref<MRKBTerm> func = parseFuncArguments(*label, depth);
    if (!func) return nullptr;
    return MRKCPredicate::predicateWithLabel(func->asFunc()->label(), func->asFunc()->terms(), flags);
  }

  Ref<MRKBTerm> parseStatement(int depth) {
    ++pos_;  // '<'
    std::optional<std::string> label = parseLabel();
    if (!label) return nullptr;
    skipSpace();
    if (!peek('[')) return fail("'[' of statement terms");
    Ref<MRKBTerm> terms = parseList(depth);
    if (!terms) return nullptr;
    skipSpace();
    Ref<MRKBTerm> value = parseTerm(depth + 1);
    if (!value) return nullptr;
    if (!value->asNumber()) return fail("a statement value");
    if (!accept('>')) return fail("'>' of a statement");
    return MRKCStatement::statementWithLabel(*label, terms->asList(), value->asNumber()->real());
  }

  Ref<MRKBTerm> parseFrame(int depth) {
    ++pos_;  // '{'
    Ref<MRKCFrame> frame = MRKCFrame::frame();
    if (accept('}')) return frame;
    for (;;) {
      skipSpace();
      if (!peek('"')) return fail("a quoted frame label");
      std::optional<std::string> label = parseQuoted('"');
      if (!label) return nullptr;
      if (!accept(':')) return fail("':' after a frame label");
      Ref<MRKBTerm> term = parseTerm(depth + 1);
      if (!term) return nullptr;
      frame->store(term.get(), *label);
      if (accept('}')) return frame;
      if (!accept(',')) return fail("',' or '}'");
    }
  }

  std::optional<std::string> parseQuoted(char quote) {
    ++pos_;  // opening quote
    std::string value;
    while (pos_ < text_.size()) {
      char c = text_[pos_++];
      if (c == quote) return value;
      if (c != '\\') {
        value += c;
        continue;
      }
      if (pos_ >= text_.size()) break;
      char e = text_[pos_++];
      switch (e) {
        case 'n':
          value += '\n';
          break;
        case 't':
          value += '\t';
          break;
        case 'r':
          value += '\r';
          break;
        case '\\':
        case '"':
        case '\'':
          value += e;
          break;
        case 'u': {
          std::optional<uint32_t> code = parseEscapedCodePoint();
          if (!code) return std::nullopt;
          appendUtf8(value, *code);
          break;
        }
        default:
          --pos_;
          fail("a known escape");
          return std::nullopt;
      }
    }
    fail("a closing quote");
    return std::nullopt;
  }

  std::optional<uint32_t> parseHex4() {
    uint32_t code = 0;
    for (int i = 0; i < 4; ++i) {
      int digit = pos_ < text_.size() ? hexValue(text_[pos_]) : -1;
      if (digit < 0) {
        fail("four hex digits after \\u");
        return std::nullopt;
      }
      code = code * 16 + static_cast<uint32_t>(digit);
      ++pos_;
    }
    return code;
  }

  // The code point of a \u escape (its "\u" read): a high surrogate takes the low one that must
  // follow as "\uDC00".."\uDFFF"; a surrogate alone has no UTF-8 form and is refused.
  std::optional<uint32_t> parseEscapedCodePoint() {
    std::optional<uint32_t> code = parseHex4();
    if (!code) return std::nullopt;
    if (*code >= 0xDC00 && *code <= 0xDFFF) {
      fail("no lone low surrogate (\\uDC00-\\uDFFF)");
      return std::nullopt;
    }
    if (*code < 0xD800 || *code > 0xDBFF) return code;
    if (text_.compare(pos_, 2, "\\u") != 0) {
      fail("a low surrogate escape after a high one");
      return std::nullopt;
    }
    pos_ += 2;
    std::optional<uint32_t> low = parseHex4();
    if (!low) return std::nullopt;
    if (*low < 0xDC00 || *low > 0xDFFF) {
      fail("a low surrogate escape after a high one");
      return std::nullopt;
    }
    return 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00);
  }

  std::optional<uint64_t> parseDigits() {
    size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    uint64_t value = 0;
    auto result = std::from_chars(text_.data() + start, text_.data() + pos_, value);
    if (start == pos_ || result.ec != std::errc()) return std::nullopt;
    return value;
  }

  std::optional<std::vector<uint8_t>> parseHexString() {
    if (!peek('"')) {
      fail("'\"' of hex bytes");
      return std::nullopt;
    }
    ++pos_;
    std::vector<uint8_t> bytes;
    while (pos_ + 1 < text_.size() && text_[pos_] != '"') {
      int high = hexValue(text_[pos_]), low = hexValue(text_[pos_ + 1]);
      if (high < 0 || low < 0) break;
      bytes.push_back(static_cast<uint8_t>(high * 16 + low));
      pos_ += 2;
    }
    if (!peek('"')) {
      fail("pairs of hex digits and '\"'");
      return std::nullopt;
    }
    ++pos_;
    return bytes;
  }

  Ref<MRKBTerm> parseHashed() {
    if (text_.substr(pos_, 5) == "-#inf") {
      pos_ += 5;
      return MRKCNumber::numberWithReal(-std::numeric_limits<double>::infinity());
    }
    if (text_.substr(pos_, 4) == "#inf") {
      pos_ += 4;
      return MRKCNumber::numberWithReal(std::numeric_limits<double>::infinity());
    }
    if (text_.substr(pos_, 4) == "#nan") {
      pos_ += 4;
      return MRKCNumber::numberWithReal(std::numeric_limits<double>::quiet_NaN());
    }
    if (text_.substr(pos_, 2) == "#x") {
      pos_ += 2;
      std::optional<std::vector<uint8_t>> bytes = parseHexString();
      return bytes ? Ref<MRKBTerm>(MRKCBinary::binaryWithValue(std::move(*bytes))) : nullptr;
    }
    if (text_.substr(pos_, 2) == "#d") {
      pos_ += 2;
      std::optional<uint64_t> format = parseDigits();
      if (!format || *format > std::numeric_limits<uint32_t>::max()) return fail("a data format");
      std::optional<std::vector<uint8_t>> bytes = parseHexString();
      if (!bytes) return nullptr;
      Ref<MRKCData> data = MRKCData::dataWithBytes(static_cast<uint32_t>(*format), std::move(*bytes));
      return data ? Ref<MRKBTerm>(data) : fail("whole data elements");
    }
    return fail("#x, #d, #inf or #nan");
  }

  Ref<MRKBTerm> parseNumber() {
    size_t start = pos_;
    bool signed_ = text_[pos_] == '+' || text_[pos_] == '-';
    if (signed_) ++pos_;
    bool real = false;
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c >= '0' && c <= '9') {
        ++pos_;
      } else if (c == '.' || c == 'e' || c == 'E') {
        real = true;
        ++pos_;
        if ((c == 'e' || c == 'E') && pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      } else {
        break;
      }
    }
    size_t digitsStart = start + (text_[start] == '+' ? 1 : 0);
    const char* first = text_.data() + digitsStart;
    const char* last = text_.data() + pos_;
    if (real) {
      double value = 0;
      auto result = std::from_chars(first, last, value);
      if (result.ec != std::errc() || result.ptr != last) {
        pos_ = start;
        return fail("a number");
      }
      return MRKCNumber::numberWithReal(value);
    }
    if (signed_) {
      int64_t value = 0;
      auto result = std::from_chars(first, last, value);
      if (result.ec != std::errc() || result.ptr != last) {
        pos_ = start;
        return fail("a signed number in range");
      }
      return MRKCNumber::numberWithSint(value);
    }
    uint64_t value = 0;
    auto result = std::from_chars(first, last, value);
    if (result.ec != std::errc() || result.ptr != last) {
      pos_ = start;
      return fail("an unsigned number in range");
    }
    return MRKCNumber::numberWithUint(value);
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::string error_;
};

}  // namespace

Ref<MRKCReader> MRKCReader::reader() { return adoptRef(new MRKCReader()); }

Ref<MRKBTerm> MRKCReader::readTermFromString(std::string_view text, std::string* error) const {
  Parser parser(text);
  Ref<MRKBTerm> term = parser.parseAll();
  if (!term && error) *error = parser.error();
  return term;
}
