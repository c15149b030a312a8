#include <algorithm>
#include <limits>
#include <string_view>

#include "app/ctm/VSKCConversationView.h"
#include "app/ctm/VSKFConversationBubbles.h"
#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFRandom.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"

const std::vector<std::string> kThinkingStrings = {"Thinking .", "Thinking ..", "Thinking ..."};

namespace {

MRKBTerm* arg(const VSKTUxCommand& c, size_t index) { return c.args->fetchAtIndex(index); }
MRKCFrame* firstFrame(const VSKTUxCommand& c) { return asFrame(arg(c, 0)); }
// The text of the last argument when the command has one besides its frame.
std::string lastText(const VSKTUxCommand& c) {
  return c.args->count() >= 2 ? VSKFConversationGetString(c.args->tail()) : std::string();
}

Ref<MRKCList> oneFunc(std::string_view label, std::initializer_list<MRKBTerm*> terms) {
  Ref<MRKCFunc> func = MRKCFunc::funcWithLabel(label, MRKCList::listWithTerms(terms).get());
  return func ? MRKCList::listWithTerms({func.get()}) : nullptr;
}

}  // namespace

const char* VSKCConversationView::who() const {
  const ZRVCObserver* observer = record_.observer.get();
  if (!observer) return "conversation";
  return observer->label().empty() ? observer->alias().c_str() : observer->label().c_str();
}

VSKCConversationView::UxOutcome VSKCConversationView::uxRefuse(const char* diagnostic) const {
  LLKFConsolePrintf(diagnostic, who());
  return UxOutcome::kRefuse;
}

void VSKCConversationView::hideTicker() {
  if (record_.ticker) record_.ticker->setVisible(false);
}

void VSKCConversationView::say(const std::string& text, Ref<MRKCSymbol> refUid) {
  hideTicker();
  if (text.empty()) return;
  if (!VSKFConversationAppendMessage({kVSKSpeakerCTM, kVSKEntryMessage, 0}, 0, text, std::move(refUid)))
    LLKFLog("%s : cannot show a message", who());
}

void VSKCConversationView::offer(const std::string& text, MRKCList* options, Ref<MRKCSymbol> refUid) {
  hideTicker();
  if (text.empty()) return;
  if (!VSKFConversationAppendPickOne({kVSKSpeakerCTM, kVSKEntryPickOne, 0}, 0, text, Ref<MRKCList>(options),
                                     std::move(refUid)))
    LLKFLog("%s : cannot show a choice", who());
}

void VSKCConversationView::suggest(const MRKCString* example) {
  if (example) record_.textbox->setValue(example->value());
}

VSKCConversationView::UxOutcome VSKCConversationView::uxAnswerWith(const VSKTUxCommand& c,
                                                                   std::initializer_list<MRKBTerm*> terms) {
  Ref<MRKCFunc> func = MRKCFunc::funcWithLabel(c.func->label(), MRKCList::listWithTerms(terms).get());
  Ref<MRKCList> reply = func ? MRKCList::listWithTerms({func.get()}) : nullptr;
  if (reply && VSKFConversationReplyToQuery(c.query, reply.get(), 1.0f)) return UxOutcome::kAnswered;
  return UxOutcome::kRefuse;
}

VSKCConversationView::UxOutcome VSKCConversationView::uxReads(const VSKTUxCommand& c) {
  MRKCFrame* frame = firstFrame(c);
  if (!frame) return uxRefuse("%s - first term for reads() must be a frame");
  // Offsets count every entry appended since the last clear; the inputs of the entries already
  // let go are no longer there to read.
  const std::vector<Ref<VSKCConversationEntry>>& entries = record_.entries;
  uint64_t count = VSKFConversationFeedAppended(), letGo = record_.letGo;
  uint64_t from = std::min(MRKFFrameFetchUint(frame, "offset", std::numeric_limits<uint64_t>::max()), count);
  Ref<MRKCList> inputs = MRKCList::list();
  Ref<MRKCFrame> result = MRKCFrame::frame();
  for (uint64_t i = std::max(from, letGo); i < count; ++i)
    if (entries[i - letGo]->speaker() == kVSKSpeakerUser) inputs->append(entries[i - letGo]->iTerm.get());
  if (!MRKFFrameStoreUint(result.get(), "offset", count) || !MRKFFrameStoreTerm(result.get(), "inputs", inputs.get()))
    return UxOutcome::kRefuse;
  return uxAnswerWith(c, {frame, result.get()});
}

VSKCConversationView::UxOutcome VSKCConversationView::uxClear(const VSKTUxCommand&) {
  VSKFConversationFeedClear();
  return UxOutcome::kAcknowledge;
}

VSKCConversationView::UxOutcome VSKCConversationView::uxSayWithExample(const VSKTUxCommand& c, const char* diagnostic) {
  MRKCFrame* frame = firstFrame(c);
  if (!frame) return uxRefuse(diagnostic);
  say(lastText(c), nullptr);
  suggest(MRKFFrameFetchString(frame, "example"));
  return UxOutcome::kAcknowledge;
}

VSKCConversationView::UxOutcome VSKCConversationView::uxSpeak(const VSKTUxCommand& c) {
  return uxSayWithExample(c, "%s - first term for speak() must be a frame");
}

VSKCConversationView::UxOutcome VSKCConversationView::uxQuery(const VSKTUxCommand& c) {
  return uxSayWithExample(c, "%s - first term for query() must be a frame");
}

VSKCConversationView::UxOutcome VSKCConversationView::uxReply(const VSKTUxCommand& c) {
  MRKCFrame* frame = firstFrame(c);
  if (!frame) return uxRefuse("%s - first term for reply() must be a frame");
  say(lastText(c), Ref<MRKCSymbol>(MRKFFrameFetchSymbol(frame, "ruid")));
  return UxOutcome::kAcknowledge;
}

VSKCConversationView::UxOutcome VSKCConversationView::uxSpins(const VSKTUxCommand& c) {
  QELBTicker* ticker = record_.ticker;
  if (!ticker) return UxOutcome::kAcknowledge;
  MRKCString* label = MRKFFrameFetchString(firstFrame(c), "label");
  if (label) {
    const std::string& l = label->value();
    ticker->setTexts({l + " .", l + " ..", l + " ..."});
  } else {
    ticker->setTexts(kThinkingStrings);
  }
  ticker->setVisible(!ticker->visible());
  return UxOutcome::kAcknowledge;
}

VSKCConversationView::UxOutcome VSKCConversationView::uxSetup(const VSKTUxCommand& c) {
  record_.textbox->setEnabled(MRKFFrameFetchBool(firstFrame(c), "enable", true));
  return UxOutcome::kAcknowledge;
}

VSKCConversationView::UxOutcome VSKCConversationView::uxPicks(const VSKTUxCommand& c) {
  MRKCFrame* frame = firstFrame(c);
  if (!frame) return uxRefuse("%s - first term for query() must be a frame");
  MRKCList* options = c.args->count() >= 3 ? asList(c.args->tail()) : nullptr;
  if (!options) return uxRefuse("%s - third term for query() must be a list");
  offer(VSKFConversationGetString(arg(c, 1)), options, Ref<MRKCSymbol>(MRKFFrameFetchSymbol(frame, "quid")));
  return UxOutcome::kAcknowledge;
}

VSKCConversationView::UxOutcome VSKCConversationView::uxFeeds(const VSKTUxCommand& c) {
  if (!firstFrame(c)) return uxRefuse("%s - first term for query() must be a frame");
  hideTicker();
  std::string text = lastText(c);
  if (!text.empty() && !VSKFConversationAppendMessage({kVSKSpeakerUser, kVSKEntryMessage, 0}, 0, text, nullptr))
    LLKFLog("%s : cannot show a message", who());
  return UxOutcome::kAcknowledge;
}

VSKCConversationView::UxOutcome VSKCConversationView::uxIsPaused(const VSKTUxCommand& c) {
  Ref<MRKCNumber> paused = MRKCNumber::numberWithBool(record_.paused);
  return uxAnswerWith(c, {paused.get()});
}

VSKCConversationView::UxOutcome VSKCConversationView::uxSpin(const VSKTUxCommand&) {
  if (record_.ticker) record_.ticker->setVisible(true);
  return UxOutcome::kAcknowledge;
}

VSKCConversationView::UxOutcome VSKCConversationView::uxPick(const VSKTUxCommand& c) {
  MRKCList* options = c.args->count() == 2 ? asList(c.args->tail()) : nullptr;
  if (!options) return uxRefuse("incorrect arity for ux command");
  offer(VSKFConversationGetString(arg(c, 0)), options, Ref<MRKCSymbol>(c.quid));
  return UxOutcome::kAcknowledge;
}

// Any other command: its first argument is said; a second string, when it is the only other
// argument, is suggested as the user's answer.
VSKCConversationView::UxOutcome VSKCConversationView::uxOther(const VSKTUxCommand& c) {
  say(VSKFConversationGetString(arg(c, 0)), Ref<MRKCSymbol>(c.quid));
  if (c.args->count() == 2) suggest(asString(arg(c, 1)));
  return UxOutcome::kAcknowledge;
}

bool VSKCConversationView::publishOrApologise(MRKCList* terms) {
  if (terms && VSKFConversationPublishSquib(kVSKUxLabel, terms)) return true;
  (void)VSKFConversationAppendMessage({kVSKSpeakerCTM, kVSKEntryMessage, 0}, 0, kVSKSorry, nullptr);
  return false;
}

bool VSKCConversationView::tellInput(MRKBTerm* input, MRKCSymbol* refUid) {
  bool peeked = false;
  if (input) {
    Ref<MRKCList> peek = refUid ? oneFunc("peek", {input, refUid}) : oneFunc("peek", {input});
    peeked = publishOrApologise(peek.get());
  }
  Ref<MRKCList> inputs = input ? MRKCList::listWithTerms({input}) : MRKCList::list();
  Ref<MRKCFrame> result = MRKCFrame::frame();
  if (!MRKFFrameStoreUint(result.get(), "offset", VSKFConversationFeedAppended()) ||
      !MRKFFrameStoreTerm(result.get(), "inputs", inputs.get()))
    return peeked;
  Ref<MRKCFrame> empty = MRKCFrame::frame();
  (void)publishOrApologise(oneFunc("reads", {empty.get(), result.get()}).get());
  return peeked;
}

void VSKCConversationView::showEnd() {
  record_.vbar->setScroll(1.0f);
  record_.dirty = true;
}

bool VSKCConversationView::VSKFConversationReplyToQuery(MRKCQuery* query, MRKCList* terms, float value) {
  if (!query || !terms) return false;
  Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel(query->label(), terms, value);
  if (!statement) return false;
  Ref<MRKCReply> reply =
      MRKCReply::replyWithLabel(query->label(), statement.get(), query->context(), record_.observer->ttl());
  return reply && MRKCSubstrate::shared()->answers(reply.get(), record_.observer->guid());
}

bool VSKCConversationView::VSKFConversationPublishSquib(const std::string& label, MRKCList* terms) {
  if (!terms) return false;
  Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel(label, terms, 1.0);
  if (!statement) return false;
  Ref<MRKCSquib> squib = MRKCSquib::squibWithLabel(label, statement.get(), record_.observer->ttl());
  return squib && MRKCSubstrate::shared()->publish(squib.get(), record_.observer->guid());
}

void VSKCConversationView::VSKFConversationOnQuery(MRKCQuery* query) {
  if (!query || !query->predicate()) return;
  MRKCList* terms = query->predicate()->terms();
  if (!terms || terms->count() == 0) {
    LLKFConsolePrintf("%s - a ux query without terms is not answered", who());
    return;
  }
  MRKCFunc* func = asFunc(terms->head());
  if (!func || !func->label()) {
    LLKFConsolePrintf("%s - a ux query must start with a command", who());
    (void)VSKFConversationReplyToQuery(query, terms, 0.0f);
    return;
  }
  struct CommandRow {
    std::string_view name;
    UxOutcome (VSKCConversationView::*run)(const VSKTUxCommand&);
  };
  // In the order the names are tested.
  static constexpr CommandRow kCommands[] = {
      {"reads", &VSKCConversationView::uxReads}, {"clear", &VSKCConversationView::uxClear},
      {"speak", &VSKCConversationView::uxSpeak}, {"reply", &VSKCConversationView::uxReply},
      {"spins", &VSKCConversationView::uxSpins}, {"setup", &VSKCConversationView::uxSetup},
      {"query", &VSKCConversationView::uxQuery}, {"picks", &VSKCConversationView::uxPicks},
      {"feeds", &VSKCConversationView::uxFeeds}, {"is.paused", &VSKCConversationView::uxIsPaused},
      {"spin", &VSKCConversationView::uxSpin},   {"pick", &VSKCConversationView::uxPick},
  };
  VSKTUxCommand c{query, func, func->terms(), terms->count() > 1 ? asSymbol(terms->tail()) : nullptr};
  const std::string& name = func->label()->value();
  UxOutcome (VSKCConversationView::*run)(const VSKTUxCommand&) = &VSKCConversationView::uxOther;
  for (const CommandRow& row : kCommands)
    if (row.name == name) {
      run = row.run;
      break;
    }
  switch ((this->*run)(c)) {
    case UxOutcome::kAcknowledge:
      (void)VSKFConversationReplyToQuery(query, terms, 1.0f);
      break;
    case UxOutcome::kRefuse:
      (void)VSKFConversationReplyToQuery(query, terms, 0.0f);
      break;
    case UxOutcome::kAnswered:
      break;
  }
}

void VSKCConversationView::VSKFConversationOnTypedInput(const std::string& text) {
  if (!VSKFConversationAppendMessage({kVSKSpeakerUser, kVSKEntryMessage, 0}, 0, text, nullptr)) {
    LLKFLog("%s : cannot show what was typed", who());
    return;
  }
  Ref<MRKBTerm> input;
  if (record_.mode == kVSKInputTerm) {
    std::string error;
    input = record_.reader->readTermFromString(text, &error);
    if (!input)
      (void)VSKFConversationAppendMessage({kVSKSpeakerCTM, kVSKEntryMessage, 0}, 0, "That is not a term: " + error,
                                          nullptr);
  } else {
    input = MRKCString::stringWithValue(text);
  }
  if (tellInput(input.get(), nullptr) && record_.ticker) record_.ticker->setVisible(true);
  record_.textbox->setValue("");
  showEnd();
}

void VSKCConversationView::VSKFConversationOnChoice(VSKCConversationEntry& entry, QELBWidget* options, MRKBTerm* option,
                                                    int32_t index) {
  if (!option || entry.iCPick >= 0) return;
  entry.iCPick = index;
  if (options) options->setEnabled(false);
  if (!VSKFConversationAppendMessage({kVSKSpeakerUser, kVSKEntryMessage, 0}, 0, VSKFConversationGetString(option),
                                     nullptr))
    return;
  (void)tellInput(option, entry.iRefUid.get());
  showEnd();
}

void VSKCConversationView::VSKFConversationOnDistract() {
  Ref<MRKCNumber> draw = MRKCNumber::numberWithReal(LLKFRandomDraw());
  Ref<MRKCList> dist = oneFunc("dist", {draw.get()});
  if (!dist || !VSKFConversationPublishSquib(kVSKUxLabel, dist.get())) {
    LLKFLog("%s : the distraction could not be sent", who());
    return;
  }
  (void)VSKFConversationAppendMessage({kVSKSpeakerUser, kVSKEntryMessage, 0}, kVSKEntryDistraction, kVSKDistraction,
                                      nullptr);
}

void VSKCConversationView::VSKFConversationOnRate(const VSKCConversationEntry& entry, double rating) {
  if (!entry.iRefUid) return;
  Ref<MRKCNumber> value = MRKCNumber::numberWithReal(rating);
  Ref<MRKCList> rate = oneFunc("rate", {value.get(), entry.iRefUid.get()});
  if (!rate || !VSKFConversationPublishSquib(kVSKUxLabel, rate.get()))
    LLKFLog("%s : the rating could not be sent", who());
}
