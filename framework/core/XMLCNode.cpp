#include "framework/core/XMLCNode.h"

#include <cerrno>

#include "framework/core/LLKFFiles.h"

#include <charconv>
#include <cstdio>
#include <new>
#include <sstream>

namespace {

// A conservative XML name: no markup, quoting or white space characters, not starting with a
// digit, '-' or '.'.
bool isXmlName(std::string_view name) {
  if (name.empty()) return false;
  char first = name.front();
  if ((first >= '0' && first <= '9') || first == '-' || first == '.') return false;
  for (char c : name) {
    auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || c == '<' || c == '>' || c == '&' || c == '"' || c == '\'' || c == '/' || c == '=' || c == '!' ||
        c == '?')
      return false;
  }
  return true;
}

template <typename Number>
int parseNumber(const std::string* text, Number& value) {
  if (!text) return ENOENT;
  Number parsed{};
  const char* end = text->data() + text->size();
  auto [stop, error] = std::from_chars(text->data(), end, parsed);
  if (error != std::errc() || stop != end) return EINVAL;
  value = parsed;
  return 0;
}

}  // namespace

Ref<XMLCNode> XMLCNode::nodeWithName(std::string_view name) {
  if (!isXmlName(name)) return nullptr;
  return adoptRef(new XMLCNode(std::string(name)));
}

XMLCNode::~XMLCNode() { clearChildren(); }

int XMLCNode::setName(std::string_view name) {
  if (!isXmlName(name)) return EINVAL;
  name_ = name;
  return 0;
}

const std::string* XMLCNode::attribute(std::string_view key) const {
  for (const auto& [name, value] : attributes_)
    if (name == key) return &value;
  return nullptr;
}

int XMLCNode::storeString(std::string_view value, std::string_view key) {
  if (!isXmlName(key)) return EINVAL;
  try {
    for (auto& [name, existing] : attributes_)
      if (name == key) {
        existing = value;
        return 0;
      }
    attributes_.emplace_back(std::string(key), std::string(value));
    return 0;
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

int XMLCNode::storeReal(double value, std::string_view key) {
  char text[32];
  auto [end, error] = std::to_chars(text, text + sizeof text, value);  // shortest form that reads back exactly
  if (error != std::errc()) return EINVAL;
  return storeString(std::string_view(text, static_cast<size_t>(end - text)), key);
}
int XMLCNode::storeSint(int64_t value, std::string_view key) { return storeString(std::to_string(value), key); }
int XMLCNode::storeUint(uint64_t value, std::string_view key) { return storeString(std::to_string(value), key); }
int XMLCNode::storeBool(bool value, std::string_view key) { return storeString(value ? "true" : "false", key); }

int XMLCNode::fetchString(std::string& value, std::string_view key) const {
  const std::string* text = attribute(key);
  if (!text) return ENOENT;
  value = *text;
  return 0;
}
int XMLCNode::fetchReal(double& value, std::string_view key) const { return parseNumber(attribute(key), value); }
int XMLCNode::fetchSint(int64_t& value, std::string_view key) const { return parseNumber(attribute(key), value); }
int XMLCNode::fetchUint(uint64_t& value, std::string_view key) const { return parseNumber(attribute(key), value); }
int XMLCNode::fetchBool(bool& value, std::string_view key) const {
  const std::string* text = attribute(key);
  if (!text) return ENOENT;
  if (*text != "true" && *text != "false") return EINVAL;
  value = *text == "true";
  return 0;
}

bool XMLCNode::removeAttribute(std::string_view key) {
  for (auto it = attributes_.begin(); it != attributes_.end(); ++it)
    if (it->first == key) {
      attributes_.erase(it);
      return true;
    }
  return false;
}

int XMLCNode::append(Ref<XMLCNode> child) {
  if (!child || child->parent_) return EINVAL;
  for (const XMLCNode* ancestor = this; ancestor; ancestor = ancestor->parent_)
    if (ancestor == child.get()) return EINVAL;
  try {
    children_.push_back(child);
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
  child->parent_ = this;
  return 0;
}

Ref<XMLCNode> XMLCNode::removeAtIndex(size_t index) {
  if (index >= children_.size()) return nullptr;
  Ref<XMLCNode> removed = std::move(children_[index]);
  children_.erase(children_.begin() + static_cast<long>(index));
  removed->parent_ = nullptr;
  return removed;
}

bool XMLCNode::remove(const XMLCNode* child) {
  for (size_t i = 0; i < children_.size(); ++i)
    if (children_[i].get() == child) {
      removeAtIndex(i);
      return true;
    }
  return false;
}

void XMLCNode::clearChildren() {
  for (auto& child : children_) child->parent_ = nullptr;
  children_.clear();
}

Ref<XMLCNode> XMLCNode::findNodeForKey(std::string_view key) const {
  for (const auto& child : children_) {
    const std::string* value = child->attribute("key");
    if (value && *value == key) return child;
  }
  return nullptr;
}

Ref<XMLCNode> XMLCNode::findNodeWithName(std::string_view name) const {
  for (const auto& child : children_)
    if (child->name_ == name) return child;
  return nullptr;
}

Ref<XMLCNode> XMLCNode::nodeFromPath(const char* path) {
  std::string contents;
  if (!LLKFReadFile(path, contents)) return nullptr;
  return nodeFromString(contents);
}

bool XMLCNode::writeToPath(const char* path) const {
  std::string text;
  return writeToString(text) && LLKFWriteFileAtomically(path, text.data(), text.size());
}
