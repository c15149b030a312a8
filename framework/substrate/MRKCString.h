#pragma once
// A string of UTF-8 text.
#include "framework/substrate/MRKBTextTerm.h"

class MRKCString : public MRKBTextTerm {
public:
  [[nodiscard]] static Ref<MRKCString> stringWithValue(std::string_view value);

  uint32_t ttid() const override { return kMRKTermString; }
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;

private:
  using MRKBTextTerm::MRKBTextTerm;
};
