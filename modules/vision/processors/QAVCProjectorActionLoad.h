#pragma once
// The projector's background load of one image file, run on the substrate's offloader.
#include <string>

#include "framework/core/LLKBOperation.h"
#include "framework/core/LLKCData.h"

class QAVCProjectorActionLoad : public LLKBOperation {
public:
  // Loads path as the image kit's raw pixel format when executed (an empty path fails as a
  // missing file).
  [[nodiscard]] static Ref<QAVCProjectorActionLoad> actionWithPath(const std::string& path, uint32_t format);

  // Loads the file (IMKFImageLoadFromFile); outcome() tells how it went.
  void onExecute() override;

  // The loader's result: 0 when loaded, else its error number (-1 before the load ran).
  int outcome() const { return outcome_; }
  // Why the load failed, in words; null when it succeeded.
  const char* failure() const;
  uint32_t format() const { return format_; }
  const std::string& filepath() const { return path_; }
  // The pixels, width x height of format(); null unless loaded.
  const Ref<LLKCData>& data() const { return data_; }
  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }

private:
  QAVCProjectorActionLoad(std::string path, uint32_t format) : path_(std::move(path)), format_(format) {}

  std::string path_;
  uint32_t format_;
  int outcome_ = -1;
  Ref<LLKCData> data_;
  uint32_t width_ = 0;
  uint32_t height_ = 0;
};
