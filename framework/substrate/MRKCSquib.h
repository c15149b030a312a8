#pragma once
// A squib: statements published on a label to every processor that follows it.
#include "framework/substrate/MRKBMessage.h"
#include "framework/substrate/MRKCStatement.h"

class MRKCSquib : public MRKBMessage {
public:
  // Null for an empty label or a null statement.
  [[nodiscard]] static Ref<MRKCSquib> squibWithLabel(std::string_view label, MRKCStatement* statement, float ttl);
  // The statements, each an MRKCStatement; the head is the one the squib was made with.
  MRKCList* statements() const { return statements_.get(); }

private:
  MRKCSquib(std::string label, Ref<MRKCList> statements, float ttl)
      : MRKBMessage(std::move(label), ttl), statements_(std::move(statements)) {}
  Ref<MRKCList> statements_;
};
