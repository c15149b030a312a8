// Geometry values read from outside input: the first byte picks the container (JSON frame,
// XML node, binary stream or archive), the rest is its text or bytes; every reader of every
// record runs over it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "framework/core/JSKCReader.h"
#include "ui/gl/OGLFValueCoding.h"

namespace {

const std::string_view kNames[] = {"c", "p", "s", "r", "a", ""};

template <typename T, typename Fetch>
void readAll(Fetch fetch) {
  for (std::string_view name : kNames) {
    T value{};
    fetch(value, name);
  }
}

void readFrame(const JSKCFrame& frame) {
  for (std::string_view label : kNames) {
    OGLTColor color{};
    OGL::fetchColor(frame, color, label);
    OGL::colorForLabel(frame, label, color);
    OGLTPoint point{};
    OGL::fetchPoint(frame, point, label);
    OGL::pointForLabel(frame, label);
    OGLTSize size{};
    OGL::fetchSize(frame, size, label);
    OGL::sizeForLabel(frame, label);
    OGLTRect rect{};
    OGL::fetchRect(frame, rect, label);
    OGL::rectForLabel(frame, label);
  }
  OGLTColor color{};
  OGL::fetchColor(frame, color);
  OGLTRect rect{};
  OGL::fetchRect(frame, rect);
}

void readNode(const XMLCNode& node) {
  for (std::string_view key : kNames) {
    OGL::colorForKey(node, key);
    OGL::pointForKey(node, key);
    OGL::sizeForKey(node, key);
    OGL::rectForKey(node, key);
  }
  OGLTColor color{};
  OGL::fetchColor(node, color);
  OGLTPoint point{};
  OGL::fetchPoint(node, point);
  OGLTSize size{};
  OGL::fetchSize(node, size);
  OGLTRect rect{};
  OGL::fetchRect(node, rect);
}

void readStream(LLKBDecoder& decoder) {
  while (decoder.remaining() > 0) {
    OGLTColor color{};
    OGLTPoint point{};
    OGLTSize size{};
    OGLTRect rect{};
    if (!OGL::decodeColor(decoder, color) && !OGL::decodePoint(decoder, point) && !OGL::decodeSize(decoder, size) &&
        !OGL::decodeRect(decoder, rect))
      continue;  // each failed read took its tag byte: the stream always moves on
  }
}

void readKeyed(const LLKBDecoder& decoder) {
  for (std::string_view key : kNames) {
    OGL::decodeColorForKey(decoder, key);
    OGL::decodePointWithDefault(decoder, {1, 1}, key);
    OGL::decodeSizeForKey(decoder, key);
    OGL::decodeRectForKey(decoder, key);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 4) {
    case 0:
      if (Ref<JSKCFrame> frame = JSKCReader::reader()->readFromString(text)) readFrame(*frame);
      break;
    case 1:
      if (Ref<XMLCNode> node = XMLCNode::nodeFromString(text)) {
        readNode(*node);
        for (size_t i = 0; i < node->count(); ++i) readNode(*node->fetchAtIndex(i));
      }
      break;
    case 2:
      if (Ref<LLKBDecoder> decoder = LLKBDecoder::decoderWithStream(data + 1, size - 1)) readStream(*decoder);
      break;
    default:
      if (Ref<LLKBDecoder> decoder = LLKBDecoder::decoderWithArchive(data + 1, size - 1)) {
        readKeyed(*decoder);
        readStream(*decoder);
      }
      break;
  }
  return 0;
}
