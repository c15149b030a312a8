#pragma once
// An XML element held as an object: a name, attributes in order, text and child elements.
// A node has at most one parent; appending a node that already has one, or one of its own
// ancestors, is refused, so a tree can never hold itself. Not locked.
#include "framework/core/LLKBObject.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class XMLCNode : public LLKBObject {
public:
  // Null for a name that cannot be an XML name.
  [[nodiscard]] static Ref<XMLCNode> nodeWithName(std::string_view name);
  // The root element of a document, or null when the text is not well-formed XML or nests
  // deeper than maxDepth. Comments and processing instructions are dropped.
  [[nodiscard]] static Ref<XMLCNode> nodeFromString(std::string_view text);
  [[nodiscard]] static Ref<XMLCNode> nodeFromPath(const char* path);
  // The document text, indented.
  bool writeToString(std::string& text) const;
  // Through a temporary file in the same folder, renamed over the path.
  bool writeToPath(const char* path) const;

  const std::string& name() const { return name_; }
  // 0, or EINVAL when the name cannot be an XML name.
  int setName(std::string_view name);
  const std::string& text() const { return text_; }
  void setText(std::string text) { text_ = std::move(text); }

  // Attributes. A store answers 0, or EINVAL for a key that cannot be an XML name; storing a key
  // again replaces its value in place.
  int storeString(std::string_view value, std::string_view key);
  int storeReal(double value, std::string_view key);
  int storeSint(int64_t value, std::string_view key);
  int storeUint(uint64_t value, std::string_view key);
  int storeBool(bool value, std::string_view key);
  // A fetch answers 0, ENOENT when the key is missing or EINVAL when the value is not of that kind;
  // the out value is written only on 0.
  int fetchString(std::string& value, std::string_view key) const;
  int fetchReal(double& value, std::string_view key) const;
  int fetchSint(int64_t& value, std::string_view key) const;
  int fetchUint(uint64_t& value, std::string_view key) const;
  int fetchBool(bool& value, std::string_view key) const;
  bool removeAttribute(std::string_view key);
  void clearAttributes() { attributes_.clear(); }
  size_t attributeCount() const { return attributes_.size(); }
  const std::vector<std::pair<std::string, std::string>>& attributes() const { return attributes_; }

  // Children. append answers 0, or EINVAL for null, a node that has a parent, or this node or one
  // of its ancestors.
  int append(Ref<XMLCNode> child);
  size_t count() const { return children_.size(); }
  Ref<XMLCNode> fetchAtIndex(size_t index) const { return index < children_.size() ? children_[index] : nullptr; }
  Ref<XMLCNode> removeAtIndex(size_t index);
  bool remove(const XMLCNode* child);
  void clearChildren();
  // The first child whose attribute "key" holds the key, or null.
  Ref<XMLCNode> findNodeForKey(std::string_view key) const;
  // The first child with the name, or null.
  Ref<XMLCNode> findNodeWithName(std::string_view name) const;
  XMLCNode* parent() const { return parent_; }

  ~XMLCNode() override;

  static constexpr unsigned maxDepth = 256;

private:
  explicit XMLCNode(std::string name) : name_(std::move(name)) {}
  const std::string* attribute(std::string_view key) const;

  std::string name_;
  std::string text_;
  std::vector<std::pair<std::string, std::string>> attributes_;
  std::vector<Ref<XMLCNode>> children_;
  XMLCNode* parent_ = nullptr;
};
