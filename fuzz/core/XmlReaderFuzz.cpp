// Any bytes as an XML document: the reader answers a node or null, and a node it answers can be
// written out and read again.
#include "framework/core/XMLCNode.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Ref<XMLCNode> node = XMLCNode::nodeFromString(std::string_view(reinterpret_cast<const char*>(data), size));
  if (node) {
    std::string text;
    if (!node->writeToString(text)) __builtin_trap();
    node->findNodeForKey("key");
    double real = 0;
    node->fetchReal(real, "x");
  }
  return 0;
}
