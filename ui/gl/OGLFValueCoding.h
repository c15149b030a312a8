#pragma once
// The geometry records (colour, point, size, rect) stored in and read from JSON frames, XML
// nodes and binary coders: the "OGL" additions of those containers, as free functions in the
// namespace OGL taking the container first. For Color (and alike for Point, Size and Rect):
//
//   JSON frame   int storeColor(frame, value)                 components under "r" "g" "b" "a"
//                int storeColor(frame, value, label)          in a new frame under the label
//                int fetchColor(frame, out)
//                int fetchColor(frame, out, label)            (colour: also an array [r, g, b(, a)])
//                OGLTColor colorForLabel(frame, label)        zeros on any failure
//                OGLTColor colorForLabel(frame, label, fallback)
//   XML node     int storeColor(node, value)                  renames the node "ogl:color"
//                int storeColor(node, value, key)             a child with attribute key="…"
//                int fetchColor(node, out), fetchColor(node, out, key)
//                OGLTColor colorForKey(node, key), colorForKey(node, key, fallback)
//   binary       bool encodeColor(encoder, value), encodeColor(encoder, value, key)
//                bool decodeColor(decoder, out), decodeColor(decoder, out, key)
//                OGLTColor decodeColor(decoder), decodeColorForKey(decoder, key)
//                OGLTColor decodeColorWithDefault(decoder, fallback),
//                          decodeColorWithDefault(decoder, fallback, key)
//
// Codes: 0 done; 2 a store failed or a child could not be made; 5 nothing of the right shape
// under the label or key; 20 a component missing or not a number (JSON) or a node of another
// name (XML); the kit's own codes are passed on. A failed fetch may leave earlier components of
// the out record written; the forms that return a record never return a partly read one.
#include <string_view>

#include "framework/core/JSKCFrame.h"
#include "framework/core/LLKBDecoder.h"
#include "framework/core/LLKBEncoder.h"
#include "framework/core/XMLCNode.h"
#include "ui/gl/OGLTGeometry.h"

enum : int {
  kOGLCodingDone = 0,
  kOGLCodingStoreFailed = 2,
  kOGLCodingNoShape = 5,
  kOGLCodingMissing = 20,
};

// An XML real as a float: beyond the float range it becomes the largest finite float (or its
// negative), so coordinates never turn infinite. The fetch code is returned.
int XMLFNodeOGLFetchReal32ForKey(const XMLCNode& node, float& value, std::string_view key);

#define OGL_DECLARE_VALUE_CODING(Type, Name, name)                                           \
  int store##Name(JSKCFrame& frame, const Type& value);                                      \
  int store##Name(JSKCFrame& frame, const Type& value, std::string_view label);              \
  int fetch##Name(const JSKCFrame& frame, Type& value);                                      \
  int fetch##Name(const JSKCFrame& frame, Type& value, std::string_view label);              \
  Type name##ForLabel(const JSKCFrame& frame, std::string_view label);                       \
  Type name##ForLabel(const JSKCFrame& frame, std::string_view label, const Type& fallback); \
  int store##Name(XMLCNode& node, const Type& value);                                        \
  int store##Name(XMLCNode& node, const Type& value, std::string_view key);                  \
  int fetch##Name(const XMLCNode& node, Type& value);                                        \
  int fetch##Name(const XMLCNode& node, Type& value, std::string_view key);                  \
  Type name##ForKey(const XMLCNode& node, std::string_view key);                             \
  Type name##ForKey(const XMLCNode& node, std::string_view key, const Type& fallback);       \
  bool encode##Name(LLKBEncoder& encoder, const Type& value);                                \
  bool encode##Name(LLKBEncoder& encoder, const Type& value, std::string_view key);          \
  bool decode##Name(LLKBDecoder& decoder, Type& value);                                      \
  bool decode##Name(const LLKBDecoder& decoder, Type& value, std::string_view key);          \
  Type decode##Name(LLKBDecoder& decoder);                                                   \
  Type decode##Name##ForKey(const LLKBDecoder& decoder, std::string_view key);               \
  Type decode##Name##WithDefault(LLKBDecoder& decoder, const Type& fallback);                \
  Type decode##Name##WithDefault(const LLKBDecoder& decoder, const Type& fallback, std::string_view key);

namespace OGL {
OGL_DECLARE_VALUE_CODING(OGLTColor, Color, color)
OGL_DECLARE_VALUE_CODING(OGLTPoint, Point, point)
OGL_DECLARE_VALUE_CODING(OGLTSize, Size, size)
OGL_DECLARE_VALUE_CODING(OGLTRect, Rect, rect)
}  // namespace OGL

#undef OGL_DECLARE_VALUE_CODING
