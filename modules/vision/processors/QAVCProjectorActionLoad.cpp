#include "modules/vision/processors/QAVCProjectorActionLoad.h"

#include "imagekit/IMKFImageFormat.h"
#include "imagekit/IMKFImageLoad.h"

Ref<QAVCProjectorActionLoad> QAVCProjectorActionLoad::actionWithPath(const std::string& path, uint32_t format) {
  return adoptRef(new QAVCProjectorActionLoad(path, format));
}

const char* QAVCProjectorActionLoad::failure() const {
  switch (outcome_) {
    case IMKResultInvalid:
      return "the projector's pixel format is unknown";
    case -1:
      return "the load did not run";
    default:
      return IMKFImageLoadFailure(outcome_);
  }
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
