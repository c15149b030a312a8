#include "framework/core/JSKCWriter.h"

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCNumber.h"
#include "framework/core/JSKCString.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

bool convert(const JSKBValue& value, Json& json, unsigned depth);

bool convertNumber(const JSKCNumber& number, Json& json) {
  switch (number.form()) {
    case JSKCNumber::Form::real:
      json = number.realValue();
      break;
    case JSKCNumber::Form::signedInt:
      json = *number.sintValue();
      break;
    case JSKCNumber::Form::unsignedInt:
      json = *number.uintValue();
      break;
    case JSKCNumber::Form::boolean:
      json = *number.boolValue();
      break;
  }
  return true;
}

bool convert(const JSKBValue& value, Json& json, unsigned depth) {
  if (depth > JSKCWriter::maxDepth) return false;
  switch (value.kind()) {
    case JSKBValue::Kind::null:
      json = nullptr;
      return true;
    case JSKBValue::Kind::string:
      json = value.asString()->string();
      return true;
    case JSKBValue::Kind::number:
      return convertNumber(*value.asNumber(), json);
    case JSKBValue::Kind::array: {
      const JSKCArray& array = *value.asArray();
      json = Json::array();
      for (size_t i = 0; i < array.count(); ++i)
        if (!convert(*array.atIndex(i), json.emplace_back(), depth + 1)) return false;
      return true;
    }
    case JSKBValue::Kind::frame: {
      const JSKCFrame& frame = *value.asFrame();
      json = Json::object();
      for (size_t i = 0; i < frame.count(); ++i)
        if (!convert(*frame.fetchAtIndex(i), json[frame.labelAtIndex(i)], depth + 1)) return false;
      return true;
    }
  }
  return false;
}

}  // namespace

Ref<JSKCWriter> JSKCWriter::writer() { return adoptRef(new JSKCWriter()); }

bool JSKCWriter::writeToString(const JSKCFrame* frame, std::string& text) const {
  if (!frame) return false;
  try {
    Json json;
    if (!convert(*frame, json, 0)) return false;
    // Text that is not UTF-8 is written with replacement characters rather than refused.
    text = json.dump(2, ' ', false, Json::error_handler_t::replace);
    text += '\n';
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool JSKCWriter::write(const JSKCFrame* frame, const char* path) const {
  std::string text;
  if (!writeToString(frame, text)) {
    LLKFLog("JSKCWriter : cannot write a frame into %s", path ? path : "(null)");
    return false;
  }
  return LLKFWriteFileAtomically(path, text.data(), text.size());
}
