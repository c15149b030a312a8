#include "framework/core/JSKCReader.h"

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCNull.h"
#include "framework/core/JSKCNumber.h"
#include "framework/core/JSKCString.h"
#include "framework/core/JSKFParse.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"

#include <nlohmann/json.hpp>

#include <string>

namespace {

using Json = nlohmann::ordered_json;

Ref<JSKBValue> convert(const Json& json, unsigned depth);

Ref<JSKBValue> convertFrame(const Json& json, unsigned depth) {
  Ref<JSKCFrame> frame = JSKCFrame::frame();
  for (const auto& [label, member] : json.items()) {
    Ref<JSKBValue> value = convert(member, depth + 1);
    if (!value || frame->store(value, label) != 0) return nullptr;
  }
  return frame;
}

Ref<JSKBValue> convertArray(const Json& json, unsigned depth) {
  Ref<JSKCArray> array = JSKCArray::arrayWithCapacity(json.size());
  if (!array) return nullptr;
  for (const Json& element : json) {
    Ref<JSKBValue> value = convert(element, depth + 1);
    if (!value || array->append(value) != 0) return nullptr;
  }
  return array;
}

Ref<JSKBValue> convert(const Json& json, unsigned depth) {
  if (depth > JSKCReader::maxDepth) return nullptr;
  switch (json.type()) {
    case Json::value_t::object:
      return convertFrame(json, depth);
    case Json::value_t::array:
      return convertArray(json, depth);
    case Json::value_t::string:
      return JSKCString::stringWithString(json.get<std::string>());
    case Json::value_t::boolean:
      return JSKCNumber::numberWithBool(json.get<bool>());
    case Json::value_t::number_integer:
      return JSKCNumber::numberWithSint(json.get<int64_t>());
    case Json::value_t::number_unsigned:
      return JSKCNumber::numberWithUint(json.get<uint64_t>());
    case Json::value_t::number_float:
      return JSKCNumber::numberWithReal(json.get<double>());
    case Json::value_t::null:
      return JSKCNull::null();
    default:
      return nullptr;
  }
}

}  // namespace

Ref<JSKCReader> JSKCReader::reader() { return adoptRef(new JSKCReader()); }

Ref<JSKCFrame> JSKCReader::readFromString(std::string_view text) const {
  try {
    Json json;
    if (!JSKFParseOrdered(text, &json, JSKDuplicateKeys::keepLast, nullptr) || !json.is_object()) return nullptr;
    Ref<JSKBValue> value = convert(json, 0);
    return value ? Ref<JSKCFrame>(value->asFrame()) : nullptr;
  } catch (const std::exception&) {
    return nullptr;
  }
}

Ref<JSKCFrame> JSKCReader::readFromPath(const char* path) const {
  std::string contents, reason;
  if (!LLKFReadFile(path, contents, &reason)) {
    // A missing file is the caller's to report (often a first start, not a problem).
    if (LLKFDoesFilePathExists(path)) LLKFLog("JSKCReader : %s %s", path, reason.c_str());
    return nullptr;
  }
  Ref<JSKCFrame> frame = readFromString(contents);
  if (!frame) LLKFLog("JSKCReader : %s is not a JSON object", path);
  return frame;
}
