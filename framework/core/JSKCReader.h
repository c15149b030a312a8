#pragma once
// Reads a JSON document whose top value is an object into a frame.
#include "framework/core/JSKCFrame.h"

#include <string_view>

class JSKCReader : public LLKBObject {
public:
  [[nodiscard]] static Ref<JSKCReader> reader();

  // The frame, or null when the file is missing, unreadable, not JSON, nested deeper than
  // maxDepth or not an object at the top. Never an empty frame in place of a failure.
  Ref<JSKCFrame> readFromPath(const char* path) const;
  Ref<JSKCFrame> readFromString(std::string_view text) const;

  static constexpr unsigned maxDepth = 256;

private:
  JSKCReader() = default;
};
