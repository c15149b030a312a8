#pragma once
// A reply: a statement answering the query whose context it carries; it goes to the asker.
#include "framework/substrate/MRKBMessage.h"
#include "framework/substrate/MRKCContext.h"
#include "framework/substrate/MRKCStatement.h"

class MRKCReply : public MRKBMessage {
public:
  // Null for an empty label, a null statement or a null context.
  [[nodiscard]] static Ref<MRKCReply> replyWithLabel(std::string_view label, MRKCStatement* statement,
                                                     MRKCContext* context, float ttl);
  MRKCStatement* statement() const { return statement_.get(); }
  MRKCContext* context() const { return context_.get(); }

private:
  MRKCReply(std::string label, Ref<MRKCStatement> statement, Ref<MRKCContext> context, float ttl)
      : MRKBMessage(std::move(label), ttl), statement_(std::move(statement)), context_(std::move(context)) {}
  Ref<MRKCStatement> statement_;
  Ref<MRKCContext> context_;
};
