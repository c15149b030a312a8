#pragma once
// An image for OpenCV work: a pixel buffer, an OpenCV matrix laid over it, and one free slot
// for a caller's companion object.
//
// The matrix starts over the buffer's bytes. An OpenCV call that writes a result of another size
// or type into mat() makes the matrix allocate its own storage; from then on bytes(), length(),
// width(), height() and format() describe that matrix while data() still answers the buffer.
#include "framework/core/LLKBObject.h"
#include "framework/core/LLKCData.h"

#include <opencv2/core.hpp>

class CVKCFrame : public LLKBObject {
public:
  // Format codes: 1 blue-green-red (CV_8UC3), 2 four channels (CV_8UC4), 3 grey (CV_8UC1, over a
  // buffer of three bytes per pixel). Any other code, or a size that does not fit, gives null.
  [[nodiscard]] static Ref<CVKCFrame> frameWithWidth(unsigned width, unsigned height, int format);
  // Over the caller's buffer, which must hold at least width × height × bytes per pixel.
  [[nodiscard]] static Ref<CVKCFrame> frameWithWidth(unsigned width, unsigned height, int format, Ref<LLKCData> data);
  // A copy of an 8-bit matrix of 3 or 4 channels (continuous or not); null for any other type.
  [[nodiscard]] static Ref<CVKCFrame> frameWithMat(const cv::Mat& mat);

  // A frame sharing this one's pixels (and ancillary object).
  Ref<CVKCFrame> copy() const;
  // A frame with pixels of its own, equal to this one's; the ancillary object is shared.
  Ref<CVKCFrame> deepCopy() const;

  const Ref<LLKCData>& data() const { return data_; }
  unsigned char* bytes() const { return mat_.data; }
  // The matrix's element count × element size; 0 for a matrix of no dimensions.
  unsigned long length() const { return mat_.total() * mat_.elemSize(); }
  // 1 for CV_8UC3, 2 for CV_8UC4, 0 for every other matrix type.
  int format() const;
  unsigned width() const { return static_cast<unsigned>(mat_.cols); }
  unsigned height() const { return static_cast<unsigned>(mat_.rows); }
  const Ref<LLKBObject>& ancillary() const { return ancillary_; }
  void setAncillary(Ref<LLKBObject> ancillary) { ancillary_ = std::move(ancillary); }
  // The matrix itself; callers read and write it directly.
  cv::Mat* mat() { return &mat_; }
  const cv::Mat* mat() const { return &mat_; }
  // Sets every pixel of the matrix to 0.
  void zero();

private:
  CVKCFrame() = default;
  // Lays the matrix over data_; false when the buffer is too short or the size does not fit.
  bool layMatrix(unsigned width, unsigned height, int type);

  Ref<LLKCData> data_;
  cv::Mat mat_;
  Ref<LLKBObject> ancillary_;
};
