#pragma once
// Writes a frame as a JSON document (members in their order, two-space indent).
#include "framework/core/JSKCFrame.h"

#include <string>

class JSKCWriter : public LLKBObject {
public:
  [[nodiscard]] static Ref<JSKCWriter> writer();

  // Writes through a temporary file in the same folder that then replaces the path, so the old
  // file stays whole when anything fails. False for a null frame, a tree nested deeper than
  // maxDepth (or holding itself) or a failed write.
  bool write(const JSKCFrame* frame, const char* path) const;
  // The document text; false as above.
  bool writeToString(const JSKCFrame* frame, std::string& text) const;

  static constexpr unsigned maxDepth = 256;

private:
  JSKCWriter() = default;
};
