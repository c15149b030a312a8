// The bridge between node trees and pugixml documents: parsing and writing.
#include "framework/core/XMLCNode.h"

#include <pugixml.hpp>

#include <sstream>

namespace {

Ref<XMLCNode> fromElement(const pugi::xml_node& element, unsigned depth) {
  if (depth > XMLCNode::maxDepth) return nullptr;
  Ref<XMLCNode> node = XMLCNode::nodeWithName(element.name());
  if (!node) return nullptr;
  std::string text;
  for (const pugi::xml_attribute& attribute : element.attributes()) {
    // pugixml lets a repeated attribute through; XML does not.
    if (node->fetchString(text, attribute.name()) == 0) return nullptr;
    if (node->storeString(attribute.value(), attribute.name()) != 0) return nullptr;
  }
  for (const pugi::xml_node& child : element.children()) {
    switch (child.type()) {
      case pugi::node_element: {
        Ref<XMLCNode> converted = fromElement(child, depth + 1);
        if (!converted || node->append(converted) != 0) return nullptr;
        break;
      }
      case pugi::node_pcdata:
      case pugi::node_cdata:
        text += child.value();
        break;
      default:
        break;
    }
  }
  node->setText(std::move(text));
  return node;
}

bool toElement(const XMLCNode& node, pugi::xml_node element, unsigned depth) {
  if (depth > XMLCNode::maxDepth) return false;
  element.set_name(node.name().c_str());
  for (const auto& [key, value] : node.attributes()) element.append_attribute(key.c_str()).set_value(value.c_str());
  if (!node.text().empty()) element.append_child(pugi::node_pcdata).set_value(node.text().c_str());
  for (size_t i = 0; i < node.count(); ++i)
    if (!toElement(*node.fetchAtIndex(i), element.append_child(pugi::node_element), depth + 1)) return false;
  return true;
}

}  // namespace

Ref<XMLCNode> XMLCNode::nodeFromString(std::string_view text) {
  try {
    pugi::xml_document document;
    pugi::xml_parse_result result =
        document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) return nullptr;
    pugi::xml_node root = document.document_element();
    if (!root) return nullptr;
    return fromElement(root, 0);
  } catch (const std::exception&) {
    return nullptr;
  }
}

bool XMLCNode::writeToString(std::string& text) const {
  try {
    pugi::xml_document document;
    if (!toElement(*this, document.append_child(pugi::node_element), 0)) return false;
    std::ostringstream out;
    document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    text = out.str();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
