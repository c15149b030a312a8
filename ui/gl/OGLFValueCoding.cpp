#include "ui/gl/OGLFValueCoding.h"

#include <cfloat>
#include <cstring>
#include <string>

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCNumber.h"

namespace {

// How each record is laid out in each container.
template <typename T>
struct Coding;

template <>
struct Coding<OGLTColor> {
  static constexpr int count = 4;
  static float* field(OGLTColor& v, int i) { return &(&v.r)[i]; }
  static constexpr const char* labels[4] = {"r", "g", "b", "a"};
  static constexpr const char* keys[4] = {"r", "g", "b", "a"};
  static constexpr const char* node = "ogl:color";
  static constexpr uint8_t tag = 'C';
  static constexpr bool readsArrays = true;
};

template <>
struct Coding<OGLTPoint> {
  static constexpr int count = 2;
  static float* field(OGLTPoint& v, int i) { return i == 0 ? &v.x : &v.y; }
  static constexpr const char* labels[2] = {"x", "y"};
  static constexpr const char* keys[2] = {"x", "y"};
  static constexpr const char* node = "ogl:point";
  static constexpr uint8_t tag = 'P';
  static constexpr bool readsArrays = false;
};

template <>
struct Coding<OGLTSize> {
  static constexpr int count = 2;
  static float* field(OGLTSize& v, int i) { return i == 0 ? &v.w : &v.h; }
  static constexpr const char* labels[2] = {"w", "h"};
  static constexpr const char* keys[2] = {"width", "height"};
  static constexpr const char* node = "ogl:size";
  static constexpr uint8_t tag = 'S';
  static constexpr bool readsArrays = false;
};

// Rects are stored bottom, left, right, top.
template <>
struct Coding<OGLTRect> {
  static constexpr int count = 4;
  static float* field(OGLTRect& v, int i) {
    float* order[4] = {&v.bottom, &v.left, &v.right, &v.top};
    return order[i];
  }
  static constexpr const char* labels[4] = {"b", "l", "r", "t"};
  static constexpr const char* keys[4] = {"bottom", "left", "right", "top"};
  static constexpr const char* node = "ogl:rect";
  static constexpr uint8_t tag = 'R';
  static constexpr bool readsArrays = false;
};

float narrow(double value) {
  if (value > FLT_MAX) return FLT_MAX;
  if (value < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(value);
}

template <typename T>
float component(const T& value, int i) {
  T copy = value;
  return *Coding<T>::field(copy, i);
}

// JSON frames.

template <typename T>
int storeIn(JSKCFrame& frame, const T& value) {
  for (int i = 0; i < Coding<T>::count; ++i) {
    Ref<JSKCNumber> number = JSKCNumber::numberWithReal(component(value, i));
    if (frame.store(number, Coding<T>::labels[i]) != 0) return kOGLCodingStoreFailed;
  }
  return kOGLCodingDone;
}

template <typename T>
int storeIn(JSKCFrame& frame, const T& value, std::string_view label) {
  Ref<JSKCFrame> child = JSKCFrame::frame();
  if (int code = storeIn(*child, value)) return code;
  return frame.store(child, label);
}

template <typename T>
int fetchFrom(const JSKCFrame& frame, T& value) {
  for (int i = 0; i < Coding<T>::count; ++i) {
    Ref<JSKCNumber> number = refCast<JSKCNumber>(frame.fetchForLabel(Coding<T>::labels[i]));
    if (!number || number->form() == JSKCNumber::Form::boolean) return kOGLCodingMissing;
    *Coding<T>::field(value, i) = narrow(number->realValue());
  }
  return kOGLCodingDone;
}

// [r, g, b] or [r, g, b, a]: at least three numbers, used in order.
template <typename T>
int fetchFromArray(const JSKCArray& array, T& value) {
  if (array.count() < 3) return kOGLCodingNoShape;
  for (size_t i = 0; i < array.count() && i < static_cast<size_t>(Coding<T>::count); ++i) {
    Ref<JSKCNumber> number = refCast<JSKCNumber>(array.atIndex(i));
    if (!number || number->form() == JSKCNumber::Form::boolean) return kOGLCodingNoShape;
    *Coding<T>::field(value, static_cast<int>(i)) = narrow(number->realValue());
  }
  return kOGLCodingDone;
}

template <typename T>
int fetchFrom(const JSKCFrame& frame, T& value, std::string_view label) {
  if (Ref<JSKCFrame> child = frame.frameForLabel(label)) return fetchFrom(*child, value);
  if constexpr (Coding<T>::readsArrays) {
    if (Ref<JSKCArray> array = frame.arrayForLabel(label)) return fetchFromArray(*array, value);
  }
  return kOGLCodingNoShape;
}

// XML nodes.

template <typename T>
int storeComponents(XMLCNode& node, const T& value) {
  for (int i = 0; i < Coding<T>::count; ++i)
    if (int code = node.storeReal(component(value, i), Coding<T>::keys[i])) return code;
  return kOGLCodingDone;
}

template <typename T>
int storeIn(XMLCNode& node, const T& value) {
  if (int code = node.setName(Coding<T>::node)) return code;
  node.clearAttributes();
  node.clearChildren();
  return storeComponents(node, value);
}

// The new child replaces every other child with the key.
template <typename T>
int storeIn(XMLCNode& node, const T& value, std::string_view key) {
  Ref<XMLCNode> child = XMLCNode::nodeWithName(Coding<T>::node);
  if (!child) return kOGLCodingStoreFailed;
  if (int code = child->storeString(key, "key")) return code;
  if (int code = storeComponents(*child, value)) return code;
  if (int code = node.append(child)) return code;
  for (size_t i = node.count(); i-- > 0;) {
    Ref<XMLCNode> other = node.fetchAtIndex(i);
    std::string otherKey;
    if (other != child && other->fetchString(otherKey, "key") == 0 && otherKey == key) node.removeAtIndex(i);
  }
  return kOGLCodingDone;
}

template <typename T>
int fetchFrom(const XMLCNode& node, T& value) {
  if (node.name() != Coding<T>::node) return kOGLCodingMissing;
  for (int i = 0; i < Coding<T>::count; ++i)
    if (int code = XMLFNodeOGLFetchReal32ForKey(node, *Coding<T>::field(value, i), Coding<T>::keys[i])) return code;
  return kOGLCodingDone;
}

template <typename T>
int fetchFrom(const XMLCNode& node, T& value, std::string_view key) {
  Ref<XMLCNode> child = node.findNodeForKey(key);
  return child ? fetchFrom(*child, value) : kOGLCodingNoShape;
}

// Binary coders: a tag byte, then the record's bytes as they lie in memory.

std::string typeKey(std::string_view key) { return "_" + std::string(key) + ".type"; }

template <typename T>
bool encodeIn(LLKBEncoder& encoder, const T& value) {
  if (!encoder.encodeByte(Coding<T>::tag)) return false;
  return encoder.encodeBuffer(&value, sizeof value);
}

template <typename T>
bool encodeIn(LLKBEncoder& encoder, const T& value, std::string_view key) {
  if (!encoder.encodeByte(Coding<T>::tag, typeKey(key))) return false;
  return encoder.encodeBuffer(&value, sizeof value, key);
}

template <typename T>
bool decodeFrom(LLKBDecoder& decoder, T& value) {
  uint8_t tag = 0;
  T read{};
  if (!decoder.decodeByte(tag) || tag != Coding<T>::tag || decoder.decodeBuffer(&read, sizeof read) != sizeof read)
    return false;
  value = read;
  return true;
}

template <typename T>
bool decodeFrom(const LLKBDecoder& decoder, T& value, std::string_view key) {
  uint8_t tag = 0;
  T read{};
  if (!decoder.decodeByte(tag, typeKey(key)) || tag != Coding<T>::tag ||
      decoder.decodeBuffer(&read, sizeof read, key) != sizeof read)
    return false;
  value = read;
  return true;
}

// The record read whole into a scratch copy, or the fallback.
template <typename T, typename Fetch>
T orFallback(const T& fallback, Fetch fetch) {
  T read{};
  return fetch(read) ? read : fallback;
}

}  // namespace

int XMLFNodeOGLFetchReal32ForKey(const XMLCNode& node, float& value, std::string_view key) {
  double real = 0;
  int code = node.fetchReal(real, key);
  if (code == 0) value = narrow(real);
  return code;
}

#define OGL_DEFINE_VALUE_CODING(Type, Name, name)                                                                      \
  int store##Name(JSKCFrame& frame, const Type& value) { return storeIn(frame, value); }                               \
  int store##Name(JSKCFrame& frame, const Type& value, std::string_view label) {                                       \
    return storeIn(frame, value, label);                                                                               \
  }                                                                                                                    \
  int fetch##Name(const JSKCFrame& frame, Type& value) { return fetchFrom(frame, value); }                             \
  int fetch##Name(const JSKCFrame& frame, Type& value, std::string_view label) {                                       \
    return fetchFrom(frame, value, label);                                                                             \
  }                                                                                                                    \
  Type name##ForLabel(const JSKCFrame& frame, std::string_view label) { return name##ForLabel(frame, label, Type{}); } \
  Type name##ForLabel(const JSKCFrame& frame, std::string_view label, const Type& fallback) {                          \
    return orFallback(fallback, [&](Type& read) { return fetchFrom(frame, read, label) == 0; });                       \
  }                                                                                                                    \
  int store##Name(XMLCNode& node, const Type& value) { return storeIn(node, value); }                                  \
  int store##Name(XMLCNode& node, const Type& value, std::string_view key) { return storeIn(node, value, key); }       \
  int fetch##Name(const XMLCNode& node, Type& value) { return fetchFrom(node, value); }                                \
  int fetch##Name(const XMLCNode& node, Type& value, std::string_view key) { return fetchFrom(node, value, key); }     \
  Type name##ForKey(const XMLCNode& node, std::string_view key) { return name##ForKey(node, key, Type{}); }            \
  Type name##ForKey(const XMLCNode& node, std::string_view key, const Type& fallback) {                                \
    return orFallback(fallback, [&](Type& read) { return fetchFrom(node, read, key) == 0; });                          \
  }                                                                                                                    \
  bool encode##Name(LLKBEncoder& encoder, const Type& value) { return encodeIn(encoder, value); }                      \
  bool encode##Name(LLKBEncoder& encoder, const Type& value, std::string_view key) {                                   \
    return encodeIn(encoder, value, key);                                                                              \
  }                                                                                                                    \
  bool decode##Name(LLKBDecoder& decoder, Type& value) { return decodeFrom(decoder, value); }                          \
  bool decode##Name(const LLKBDecoder& decoder, Type& value, std::string_view key) {                                   \
    return decodeFrom(decoder, value, key);                                                                            \
  }                                                                                                                    \
  Type decode##Name(LLKBDecoder& decoder) { return decode##Name##WithDefault(decoder, Type{}); }                       \
  Type decode##Name##ForKey(const LLKBDecoder& decoder, std::string_view key) {                                        \
    return decode##Name##WithDefault(decoder, Type{}, key);                                                            \
  }                                                                                                                    \
  Type decode##Name##WithDefault(LLKBDecoder& decoder, const Type& fallback) {                                         \
    return orFallback(fallback, [&](Type& read) { return decodeFrom(decoder, read); });                                \
  }                                                                                                                    \
  Type decode##Name##WithDefault(const LLKBDecoder& decoder, const Type& fallback, std::string_view key) {             \
    return orFallback(fallback, [&](Type& read) { return decodeFrom(decoder, read, key); });                           \
  }

namespace OGL {
OGL_DEFINE_VALUE_CODING(OGLTColor, Color, color)
OGL_DEFINE_VALUE_CODING(OGLTPoint, Point, point)
OGL_DEFINE_VALUE_CODING(OGLTSize, Size, size)
OGL_DEFINE_VALUE_CODING(OGLTRect, Rect, rect)
}  // namespace OGL
