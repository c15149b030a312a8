#include "modules/vision/algorithms/frame/CVKCFrame.h"

#include <climits>
#include <new>

namespace {

struct FrameFormat {
  int type;            // matrix type
  size_t bufferBytes;  // bytes per pixel of the buffer a new frame allocates
};

// A new grey frame gets a buffer of three bytes per pixel, as a colour one does; its matrix
// uses the first third.
bool frameFormat(int format, FrameFormat& out) {
  switch (format) {
    case 1:
      out = {CV_8UC3, 3};
      return true;
    case 2:
      out = {CV_8UC4, 4};
      return true;
    case 3:
      out = {CV_8UC1, 3};
      return true;
    default:
      return false;
  }
}

// width × height × perPixel, or false when it does not fit a size_t or a matrix.
bool bufferLength(unsigned width, unsigned height, size_t perPixel, size_t& length) {
  if (width > INT_MAX || height > INT_MAX) return false;
  return !__builtin_mul_overflow(size_t(width), size_t(height), &length) &&
         !__builtin_mul_overflow(length, perPixel, &length);
}

}  // namespace

bool CVKCFrame::layMatrix(unsigned width, unsigned height, int type) {
  size_t needed = 0;
  if (!data_ || !bufferLength(width, height, CV_ELEM_SIZE(type), needed)) return false;
  if (data_->length() < needed) return false;
  if (needed == 0) mat_ = cv::Mat(int(height), int(width), type);
  else mat_ = cv::Mat(int(height), int(width), type, data_->bytes());
  return true;
}

Ref<CVKCFrame> CVKCFrame::frameWithWidth(unsigned width, unsigned height, int format) {
  FrameFormat layout{};
  size_t length = 0;
  if (!frameFormat(format, layout) || !bufferLength(width, height, layout.bufferBytes, length)) return nullptr;
  Ref<LLKCData> data = LLKCData::dataWithLength(length);
  return data ? frameWithWidth(width, height, format, std::move(data)) : nullptr;
}

Ref<CVKCFrame> CVKCFrame::frameWithWidth(unsigned width, unsigned height, int format, Ref<LLKCData> data) {
  FrameFormat layout{};
  if (!frameFormat(format, layout)) return nullptr;
  try {
    Ref<CVKCFrame> frame = adoptRef(new CVKCFrame());
    frame->data_ = std::move(data);
    if (!frame->layMatrix(width, height, layout.type)) return nullptr;
    return frame;
  } catch (const std::exception&) {
    return nullptr;
  }
}

Ref<CVKCFrame> CVKCFrame::frameWithMat(const cv::Mat& mat) {
  if (mat.dims > 2 || (mat.type() != CV_8UC3 && mat.type() != CV_8UC4)) return nullptr;
  try {
    size_t length = mat.total() * mat.elemSize();
    Ref<CVKCFrame> frame = adoptRef(new CVKCFrame());
    frame->data_ = LLKCData::dataWithLength(length);
    if (!frame->layMatrix(unsigned(mat.cols), unsigned(mat.rows), mat.type())) return nullptr;
    // Row by row, so a view into a larger matrix copies its own pixels only.
    mat.copyTo(frame->mat_);
    return frame;
  } catch (const std::exception&) {
    return nullptr;
  }
}

Ref<CVKCFrame> CVKCFrame::copy() const {
  try {
    Ref<CVKCFrame> frame = adoptRef(new CVKCFrame());
    frame->data_ = data_;
    frame->mat_ = mat_;
    frame->ancillary_ = ancillary_;
    return frame;
  } catch (const std::exception&) {
    return nullptr;
  }
}

Ref<CVKCFrame> CVKCFrame::deepCopy() const {
  try {
    Ref<CVKCFrame> frame = adoptRef(new CVKCFrame());
    frame->data_ = LLKCData::dataWithBytes(data_->bytes(), data_->length());
    if (!frame->data_) return nullptr;
    frame->ancillary_ = ancillary_;
    const bool overBuffer = mat_.data != nullptr && mat_.data == data_->bytes();
    if (overBuffer) frame->mat_ = cv::Mat(mat_.rows, mat_.cols, mat_.type(), frame->data_->bytes(), mat_.step);
    else frame->mat_ = mat_.clone();
    return frame;
  } catch (const std::exception&) {
    return nullptr;
  }
}

int CVKCFrame::format() const {
  switch (mat_.type()) {
    case CV_8UC3:
      return 1;
    case CV_8UC4:
      return 2;
    default:
      return 0;
  }
}

void CVKCFrame::zero() {
  if (!mat_.empty()) mat_.setTo(cv::Scalar::all(0));
}
