#pragma once
// Typed data: an array of numbers of one format, kept as raw little-endian bytes.
#include <vector>

#include "framework/substrate/MRKBTerm.h"

// Data formats. Any other format number is carried as bytes (elements of one byte).
enum : uint32_t {
  kMRKDataSint16 = 5,
  kMRKDataReal32 = 10,
};

class MRKCData : public MRKBTerm {
public:
  // Copies count elements of the format from buffer; null when the byte size overflows.
  [[nodiscard]] static Ref<MRKCData> dataWithFormat(uint32_t format, const void* buffer, size_t count);
  // Takes bytes over; null when their length is not a whole number of elements.
  [[nodiscard]] static Ref<MRKCData> dataWithBytes(uint32_t format, std::vector<uint8_t> bytes);
  // The size of one element of a format, in bytes.
  static size_t elementSize(uint32_t format);

  uint32_t ttid() const override { return kMRKTermData; }
  uint32_t format() const { return format_; }
  const void* buffer() const { return bytes_.data(); }
  void* buffer() { return bytes_.data(); }
  // Number of elements.
  size_t count() const { return bytes_.size() / elementSize(format_); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;

protected:
  int compareSame(const MRKBTerm& other) const override;

private:
  MRKCData(uint32_t format, std::vector<uint8_t> bytes) : format_(format), bytes_(std::move(bytes)) {}
  uint32_t format_;
  std::vector<uint8_t> bytes_;
};
