#pragma once
// A frame: terms under text labels, kept in the order they were first stored.
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/substrate/MRKBTerm.h"

class MRKCFrame : public MRKBTerm {
public:
  using Member = std::pair<std::string, Ref<MRKBTerm>>;

  [[nodiscard]] static Ref<MRKCFrame> frame();
  [[nodiscard]] static Ref<MRKCFrame> frameWithCapacity(size_t capacity);

  uint32_t ttid() const override { return kMRKTermFrame; }
  size_t count() const { return members_.size(); }
  const std::vector<Member>& members() const { return members_; }

  MRKBTerm* fetchForLabel(std::string_view label) const;
  MRKBTerm* fetchForString(std::string_view label) const { return fetchForLabel(label); }
  // 0 when stored (a label already present keeps its place), EINVAL for a null term.
  int store(MRKBTerm* term, std::string_view label);
  // True when the label was present.
  bool remove(std::string_view label);

  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;
  Ref<MRKCFrame> copy() const;

protected:
  int compareSame(const MRKBTerm& other) const override;

private:
  // Looks labels up without making a string of each.
  struct LabelHash {
    using is_transparent = void;
    size_t operator()(std::string_view label) const noexcept { return std::hash<std::string_view>()(label); }
  };

  MRKCFrame() = default;
  std::vector<Member> members_;
  std::unordered_map<std::string, size_t, LabelHash, std::equal_to<>> index_;
};
