// A COCO image's annotation file of any bytes: never a crash; either a frame or a reason, never
// both and never neither; decoding the same text again gives the same answer.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/vision/VSKFCocoFeed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string why;
  Ref<MRKCFrame> frame = VSKFCocoFeedDecodeAnnotations(text, &why);
  if (static_cast<bool>(frame) == !why.empty()) std::abort();
  std::string again;
  Ref<MRKCFrame> second = VSKFCocoFeedDecodeAnnotations(text, &again);
  if (static_cast<bool>(second) != static_cast<bool>(frame) || again != why) std::abort();
  if (frame && frame->count() != second->count()) std::abort();
  return 0;
}
