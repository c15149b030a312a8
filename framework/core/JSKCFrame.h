#pragma once
// A JSON object: labelled members that keep the order in which their labels first arrived.
// Storing under a label that exists replaces the value in place.
#include "framework/core/JSKBValue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class JSKCFrame : public JSKBValue {
public:
  [[nodiscard]] static Ref<JSKCFrame> frame();

  Kind kind() const override { return Kind::frame; }

  // 0 when stored; EINVAL for a null value or the frame itself; ENOMEM without memory.
  int store(Ref<JSKBValue> value, std::string_view label);
  int storeBool(bool value, std::string_view label);
  int storeUint(uint64_t value, std::string_view label);
  int storeSint(int64_t value, std::string_view label);
  int storeReal(double value, std::string_view label);
  int storeString(std::string value, std::string_view label);

  // Null when nothing is stored under the label.
  Ref<JSKBValue> fetchForLabel(std::string_view label) const;
  // The member as that kind, or null when it is missing or another kind.
  Ref<JSKCFrame> frameForLabel(std::string_view label) const;
  Ref<JSKCArray> arrayForLabel(std::string_view label) const;
  // The member's value, or the default when it is missing, another kind or does not fit.
  bool boolForLabel(std::string_view label, bool fallback) const;
  uint64_t uintForLabel(std::string_view label, uint64_t fallback) const;
  int64_t sintForLabel(std::string_view label, int64_t fallback) const;
  double realForLabel(std::string_view label, double fallback) const;
  std::string stringForLabel(std::string_view label, std::string_view fallback) const;

  bool removeForLabel(std::string_view label);
  void clear() {
    members_.clear();
    index_.clear();
  }

  // Members in order.
  size_t count() const { return members_.size(); }
  // An empty label past the end.
  const std::string& labelAtIndex(size_t index) const;
  Ref<JSKBValue> fetchAtIndex(size_t index) const { return index < members_.size() ? members_[index].second : nullptr; }

private:
  struct LabelHash {
    using is_transparent = void;
    size_t operator()(std::string_view label) const noexcept { return std::hash<std::string_view>()(label); }
  };

  JSKCFrame() = default;
  const Ref<JSKBValue>* find(std::string_view label) const;

  std::vector<std::pair<std::string, Ref<JSKBValue>>> members_;
  // Label -> position in members_, so that a frame of many members is built in linear time.
  std::unordered_map<std::string, size_t, LabelHash, std::equal_to<>> index_;
};
