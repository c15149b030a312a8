#include "framework/substrate/MRKBProcessor.h"

#include <cstdio>
#include <random>

#include "framework/core/LLKBDecoder.h"
#include "framework/core/LLKBEncoder.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "framework/substrate/MRKFUnify.h"

std::string MRKFMakeGuid() {
  thread_local std::mt19937_64 random(std::random_device{}() ^
                                      (std::hash<std::thread::id>()(std::this_thread::get_id()) << 1));
  uint64_t high = random(), low = random();
  high = (high & 0xffffffffffff0fffull) | 0x0000000000004000ull;  // version 4
  low = (low & 0x3fffffffffffffffull) | 0x8000000000000000ull;    // variant 1
  char text[40];
  std::snprintf(text, sizeof text, "%08x-%04x-%04x-%04x-%012llx", static_cast<unsigned>(high >> 32),
                static_cast<unsigned>((high >> 16) & 0xffff), static_cast<unsigned>(high & 0xffff),
                static_cast<unsigned>(low >> 48), static_cast<unsigned long long>(low & 0xffffffffffffull));
  return text;
}

MRKBProcessor::MRKBProcessor(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties)
    : guid_(guid.empty() ? MRKFMakeGuid() : std::move(guid)),
      label_(std::move(label)),
      alias_(std::move(alias)),
      properties_(properties ? std::move(properties) : MRKCFrame::frame()) {
  verbose_ = MRKFFrameFetchBool(properties_.get(), "verbose", false);
  chatty_ = MRKFFrameFetchBool(properties_.get(), "chatty", false);
  nosy_ = MRKFFrameFetchBool(properties_.get(), "nosy", false);
  ttl_ = static_cast<float>(MRKFFrameFetchReal(properties_.get(), "ttl", 0.0));
}

namespace {

bool encodeText(LLKBEncoder& coder, const std::string& text) {
  return text.size() <= UINT32_MAX && coder.encodeUint32(static_cast<uint32_t>(text.size())) &&
         coder.encodeBuffer(text.data(), text.size());
}

bool decodeText(LLKBDecoder& coder, std::string* text) {
  uint32_t length = 0;
  if (!coder.decodeUint32(length) || length > coder.remaining()) return false;
  text->resize(length);
  return coder.decodeBuffer(text->data(), length) == length;
}

}  // namespace

bool MRKBProcessor::encodeWithCoder(LLKBEncoder* coder) const {
  return coder && encodeText(*coder, guid_) && encodeText(*coder, label_) && encodeText(*coder, alias_) &&
         encodeText(*coder, properties_->text());
}

bool MRKBProcessor::decodeWithCoder(LLKBDecoder* coder, MRKTProcessorParts* parts) {
  MRKTProcessorParts read;
  std::string properties;
  if (!coder || !parts || !decodeText(*coder, &read.guid) || !decodeText(*coder, &read.label) ||
      !decodeText(*coder, &read.alias) || !decodeText(*coder, &properties))
    return false;
  Ref<MRKBTerm> frame = MRKCReader::reader()->readTermFromString(properties);
  if (!frame || !frame->asFrame()) return false;
  read.properties = Ref<MRKCFrame>(frame->asFrame());
  *parts = std::move(read);
  return true;
}

void MRKBProcessor::schedule(std::function<void()> task) {
  if (!task) return;
  strand_->post([self = Ref<MRKBProcessor>(this), task = std::move(task)] { task(); });
}

void MRKBProcessor::onReceivedQuery(MRKCQuery* query, const std::string& source) { answerPropertyQuery(query); }

void MRKBProcessor::answerFailure(MRKCQuery* query, MRKBTerm* request, const std::string& reason) {
  MRKCSubstrate* host = substrate();
  if (!query || !request || !host) return;
  Ref<MRKCString> why = MRKCString::stringWithValue(reason);
  Ref<MRKCFunc> error = MRKCFunc::funcWithLabel("error", MRKCList::listWithTerms({request, why.get()}).get());
  Ref<MRKCStatement> statement = MRKFMakeStatementWithTerm(label_.empty() ? "nil" : label_, error.get(), 0.0);
  Ref<MRKCReply> reply = statement ? MRKCReply::replyWithLabel(statement->label(), statement.get(), query->context(),
                                                               MRKFComputeNextTTL(query->ttl(), query->stp()))
                                   : nullptr;
  if (reply) host->answers(reply.get(), guid_);
}

bool MRKBProcessor::answerPropertyQuery(MRKCQuery* query) {
  MRKCFunc* request = query && query->predicate() ? asFunc(query->predicate()->terms()->head()) : nullptr;
  if (!request || request->terms()->count() != 2) return false;
  bool peek = request->label()->compareToChars("peek") == 0;
  if (!peek && request->label()->compareToChars("poke") != 0) return false;
  MRKBTerm* nameTerm = request->terms()->fetchAtIndex(0);
  MRKBTerm* second = request->terms()->fetchAtIndex(1);
  MRKCSymbol* symbol = asSymbol(nameTerm);
  MRKCString* string = asString(nameTerm);
  if (!symbol && !string) {
    if (verbose()) LLKFLog("%s : a property is named by a symbol or a string", label_.c_str());
    return true;
  }
  const std::string& name = symbol ? symbol->value() : string->value();

  Ref<MRKBTerm> value;
  Ref<MRKBTerm> answer;
  if (peek) {
    value = onPropertyPeeked(name, properties_->fetchForLabel(name));
    if (!value) value = MRKCSymbol::symbolWithValue("nil");
    answer = MRKCFunc::funcWithLabel(request->label(), MRKCList::listWithTerms({nameTerm, value.get()}).get());
  } else {
    value = Ref<MRKBTerm>(second);
    if (!onPropertyPoked(name, value.get()) || properties_->store(value.get(), name) != 0) return true;
    answer = Ref<MRKBTerm>(request);
  }
  MRKCSubstrate* host = substrate();
  bool unified = MRKFUnifyTermsIsolated(host, this, second, value.get());
  Ref<MRKCStatement> statement =
      MRKFMakeStatementWithTerm(label_.empty() ? "nil" : label_, answer.get(), unified ? 1.0 : 0.0);
  Ref<MRKCReply> reply = MRKCReply::replyWithLabel(statement->label(), statement.get(), query->context(),
                                                   MRKFComputeNextTTL(query->ttl(), query->stp()));
  if (host && reply) host->answers(reply.get(), guid_);
  return true;
}
