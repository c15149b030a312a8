#include "framework/core/JSKFParse.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using Json = nlohmann::ordered_json;

// The parser's message as a reader wants it: " at line 1, column 17: unexpected end of input; ..."
// without the library's tag ("[json.exception.parse_error.101] parse error") and its parser state
// ("syntax error while parsing value - ").
std::string plainParseError(std::string text) {
  constexpr std::string_view kTag = "[json.exception.", kParseError = "parse error", kState = "syntax error while parsing ";
  if (size_t end = text.find("] "); text.starts_with(kTag) && end != std::string::npos) text.erase(0, end + 2);
  if (text.starts_with(kParseError)) text.erase(0, kParseError.size());
  if (size_t state = text.find(kState); state != std::string::npos)
    if (size_t dash = text.find(" - ", state); dash != std::string::npos) text.erase(state, dash + 3 - state);
  return text.starts_with(" ") || text.starts_with(":") ? text : ": " + text;
}

// Builds the document as nlohmann's DOM builder does, but appends members instead of looking them
// up, and keeps each open object's keys in a hash map.
class Builder : public nlohmann::json_sax<Json> {
public:
  Builder(Json* root, JSKDuplicateKeys duplicates) : root_(root), duplicates_(duplicates) {}

  bool null() override { return value(nullptr); }
  bool boolean(bool flag) override { return value(flag); }
  bool number_integer(number_integer_t number) override { return value(number); }
  bool number_unsigned(number_unsigned_t number) override { return value(number); }
  bool number_float(number_float_t number, const string_t&) override { return value(number); }
  bool string(string_t& text) override { return value(std::move(text)); }
  bool binary(binary_t& bytes) override { return value(Json::binary(std::move(bytes))); }

  bool start_object(std::size_t) override { return open(Json::object()); }
  bool key(string_t& name) override {
    Open& object = open_.back();
    auto [found, fresh] = object.keys.emplace(name, object.value->size());
    if (!fresh && duplicates_ == JSKDuplicateKeys::refuse) {
      problem_ = pathOf(name) + ": is given twice";
      return false;
    }
    auto& members = object.value->get_ref<Json::object_t&>();
    if (fresh) members.emplace_back(name, nullptr);
    slot_ = &(members.begin() + static_cast<std::ptrdiff_t>(found->second))->second;
    object.name = name;
    return true;
  }
  bool end_object() override { return close(); }
  bool start_array(std::size_t) override { return open(Json::array()); }
  bool end_array() override { return close(); }

  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& problem) override {
    problem_ = "not JSON" + plainParseError(problem.what());
    problemAt_ = position;
    return false;
  }

  const std::string& problem() const { return problem_; }
  // How many bytes the parser had read when it met the problem (one past the text at its end).
  std::size_t problemAt() const { return problemAt_; }

private:
  struct Open {
    Json* value;
    std::unordered_map<std::string, size_t> keys;  // objects only
    std::string name;                              // objects: the member being read
  };

  // Where the next value goes: the root, an array's end or the slot of the last key.
  Json* place(Json&& made) {
    if (open_.empty()) return &(*root_ = std::move(made));
    Json& container = *open_.back().value;
    if (container.is_array()) {
      container.get_ref<Json::array_t&>().push_back(std::move(made));
      return &container.get_ref<Json::array_t&>().back();
    }
    return &(*slot_ = std::move(made));
  }
  template <typename T>
  bool value(T&& made) {
    place(Json(std::forward<T>(made)));
    return true;
  }
  bool open(Json&& made) {
    open_.push_back({place(std::move(made)), {}, {}});
    return true;
  }
  bool close() {
    open_.pop_back();
    return true;
  }

  std::string pathOf(const std::string& name) const {
    std::string path;
    for (size_t i = 0; i + 1 < open_.size(); ++i) {
      const Json& container = *open_[i].value;
      if (container.is_array()) path += "[" + std::to_string(container.size() - 1) + "]";
      else path += (path.empty() ? "" : ".") + open_[i].name;
    }
    return path + (path.empty() ? "" : ".") + name;
  }

  Json* root_;
  JSKDuplicateKeys duplicates_;
  std::vector<Open> open_;
  Json* slot_ = nullptr;
  std::string problem_;
  std::size_t problemAt_ = 0;
};

// The problem of a NUL byte at offset, placed as the parser places its own: lines from 1, the
// column of the byte itself from 1.
std::string nulByteAt(std::string_view text, size_t offset) {
  const std::string_view before = text.substr(0, offset);
  const size_t newline = before.rfind('\n');
  const auto line = 1 + std::count(before.begin(), before.end(), '\n');
  const size_t column = offset - (newline == std::string_view::npos ? 0 : newline + 1) + 1;
  return "not JSON at line " + std::to_string(line) + ", column " + std::to_string(column) +
         ": a NUL byte, which JSON allows only escaped in a string";
}

}  // namespace

bool JSKFParseOrdered(std::string_view text, nlohmann::ordered_json* out, JSKDuplicateKeys duplicates,
                      std::string* error) {
  try {
    // The parser takes a NUL byte for the end of the text, so "1\0junk" would read as 1: only what
    // comes before the first one is parsed, and the byte itself is the problem unless the text
    // already failed before it.
    const size_t nul = text.find('\0');
    const std::string_view readable = text.substr(0, nul);
    Json document;
    Builder builder(&document, duplicates);
    const bool parsed = Json::sax_parse(readable.begin(), readable.end(), &builder);
    if (nul != std::string_view::npos && (parsed || builder.problemAt() > nul)) {
      if (error) *error = nulByteAt(text, nul);
      return false;
    }
    if (!parsed) {
      if (error) *error = builder.problem().empty() ? "not JSON" : builder.problem();
      return false;
    }
    *out = std::move(document);
    return true;
  } catch (const std::exception& problem) {  // out of memory
    if (error) *error = std::string("cannot be read: ") + problem.what();
    return false;
  }
}
