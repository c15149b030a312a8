#pragma once
// The context of a query: what its replies and scraps are matched by (by identity). A code
// (tag in the high 32 bits, uid in the low 32) and an optional root let an asker recognise the
// replies to its own queries.
#include <cstdint>

#include "framework/core/LLKBObject.h"

class MRKCContext : public LLKBObject {
public:
  [[nodiscard]] static Ref<MRKCContext> context() { return contextWithCode(0, nullptr); }
  [[nodiscard]] static Ref<MRKCContext> contextWithCode(uint64_t code, MRKCContext* root) {
    return adoptRef(new MRKCContext(code, root));
  }

  uint64_t code() const { return code_; }
  uint32_t uid() const { return static_cast<uint32_t>(code_); }
  uint32_t tag() const { return static_cast<uint32_t>(code_ >> 32); }
  MRKCContext* root() const { return root_.get(); }

private:
  MRKCContext(uint64_t code, MRKCContext* root) : code_(code), root_(root) {}
  uint64_t code_;
  Ref<MRKCContext> root_;
};
