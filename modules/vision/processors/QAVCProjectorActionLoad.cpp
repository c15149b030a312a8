#include "modules/vision/processors/QAVCProjectorActionLoad.h"

#include "imagekit/IMKFImageFormat.h"
#include "imagekit/IMKFImageLoad.h"

Ref<QAVCProjectorActionLoad> QAVCProjectorActionLoad::actionWithPath(const std::string& path, uint32_t format) {
  if (path.empty()) return nullptr;
  return adoptRef(new QAVCProjectorActionLoad(path, format));
}

void QAVCProjectorActionLoad::onExecute() {
  Ref<LLKCData> data;
  uint32_t width = 0, height = 0;
  outcome_ = IMKFImageLoadFromFile(path_.c_str(), format_, &data, &width, &height);
  if (outcome_ != IMKResultDone) return;
  data_ = std::move(data);
  width_ = width;
  height_ = height;
}
