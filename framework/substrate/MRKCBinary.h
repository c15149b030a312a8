#pragma once
// A binary: bytes without a meaning the substrate knows (encoded images, raw pixels).
#include <vector>

#include "framework/core/LLKCData.h"
#include "framework/substrate/MRKBTerm.h"

class MRKCBinary : public MRKBTerm {
public:
  [[nodiscard]] static Ref<MRKCBinary> binaryWithBytes(const void* bytes, size_t length);
  [[nodiscard]] static Ref<MRKCBinary> binaryWithValue(std::vector<uint8_t> value);
  // A copy of the data's bytes; null for null data.
  [[nodiscard]] static Ref<MRKCBinary> binaryWithValue(const LLKCData* data);

  uint32_t ttid() const override { return kMRKTermBinary; }
  const std::vector<uint8_t>& value() const { return value_; }
  const uint8_t* bytes() const { return value_.data(); }
  size_t length() const { return value_.size(); }

  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;

protected:
  int compareSame(const MRKBTerm& other) const override;

private:
  explicit MRKCBinary(std::vector<uint8_t> value) : value_(std::move(value)) {}
  std::vector<uint8_t> value_;
};
