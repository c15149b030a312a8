#include "framework/substrate/MRKCFrame.h"

#include <algorithm>
#include <cerrno>

#include "framework/substrate/MRKTermText.h"

Ref<MRKCFrame> MRKCFrame::frame() { return adoptRef(new MRKCFrame()); }

Ref<MRKCFrame> MRKCFrame::frameWithCapacity(size_t capacity) {
  Ref<MRKCFrame> made = frame();
  made->members_.reserve(std::min<size_t>(capacity, 1 << 16));
  return made;
}

MRKBTerm* MRKCFrame::fetchForLabel(std::string_view label) const {
  auto found = index_.find(label);
  return found == index_.end() ? nullptr : members_[found->second].second.get();
}

int MRKCFrame::store(MRKBTerm* term, std::string_view label) {
  if (!term) return EINVAL;
  auto found = index_.find(label);
  if (found != index_.end()) {
    members_[found->second].second = Ref<MRKBTerm>(term);
    return 0;
  }
  index_.emplace(std::string(label), members_.size());
  members_.emplace_back(std::string(label), Ref<MRKBTerm>(term));
  return 0;
}

bool MRKCFrame::remove(std::string_view label) {
  auto found = index_.find(label);
  if (found == index_.end()) return false;
  size_t position = found->second;
  index_.erase(found);
  members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(position));
  for (auto& entry : index_)
    if (entry.second > position) --entry.second;
  return true;
}

int MRKCFrame::compareSame(const MRKBTerm& other) const {
  const auto& theirs = static_cast<const MRKCFrame&>(other).members_;
  size_t common = std::min(members_.size(), theirs.size());
  for (size_t i = 0; i < common; ++i) {
    if (int order = members_[i].first.compare(theirs[i].first)) return order < 0 ? -1 : 1;
    if (int order = MRKFCompareTerms(members_[i].second.get(), theirs[i].second.get())) return order;
  }
  return members_.size() < theirs.size() ? -1 : members_.size() > theirs.size() ? 1 : 0;
}

uint64_t MRKCFrame::hashCode() const {
  uint64_t hash = MRKFHashMix(kMRKTermFrame, members_.size());
  for (const auto& [label, term] : members_) {
    hash = MRKFHashBytes(hash, label.data(), label.size());
    hash = MRKFHashMix(hash, term->hashCode());
  }
  return hash;
}

void MRKCFrame::print(std::string& out) const {
  out += '{';
  for (size_t i = 0; i < members_.size(); ++i) {
    if (i) out += ", ";
    MRKFAppendQuoted(out, members_[i].first, '"');
    out += ": ";
    members_[i].second->print(out);
  }
  out += '}';
}

Ref<MRKBTerm> MRKCFrame::copyTerm() const { return copy(); }

Ref<MRKCFrame> MRKCFrame::copy() const {
  Ref<MRKCFrame> made = frame();
  made->members_ = members_;
  made->index_ = index_;
  return made;
}
