#include "app/ctm/VSKFConversationUx.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include "app/ctm/VSKFConversationBubbles.h"
#include "app/ctm/VSKFConversationFeed.h"
#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFRandom.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "ui/widgets/QELBView.h"

const std::vector<std::string> kThinkingStrings = {"Thinking .", "Thinking ..", "Thinking ..."};

namespace {

// What one command is given: the view's state, the query, the command's arguments and the
// query's own uid (the predicate's last term when it is a symbol).
struct Command {
  VSKTConversationRecord* record;
  QELBView* view;
  MRKCQuery* query;
  MRKCFunc* func;
  MRKCList* args;
  MRKCSymbol* quid;
};

// How a command ended: acknowledged, refused (failure answer) or answered by the command itself.
enum class Outcome { kAcknowledge, kRefuse, kAnswered };

// Diagnostics name the view: the observer's label when it has one, else its alias.
const char* who(const VSKTConversationRecord* record) {
  const ZRVCObserver* observer = record->observer.get();
  if (!observer) return "conversation";
  return observer->label().empty() ? observer->alias().c_str() : observer->label().c_str();
}

Outcome refuse(const Command& c, const char* diagnostic) {
  LLKFConsolePrintf(diagnostic, who(c.record));
  return Outcome::kRefuse;
}

MRKBTerm* arg(const Command& c, size_t index) { return c.args->fetchAtIndex(index); }
MRKCFrame* firstFrame(const Command& c) { return asFrame(arg(c, 0)); }
// The text of the last argument when the command has one besides its frame.
std::string lastText(const Command& c) {
  return c.args->count() >= 2 ? VSKFConversationGetString(c.args->tail()) : std::string();
}

void hideTicker(VSKTConversationRecord* record) {
  if (record->ticker) record->ticker->setVisible(false);
}

void say(const Command& c, const std::string& text, Ref<MRKCSymbol> refUid) {
  hideTicker(c.record);
  if (text.empty()) return;
  if (!VSKFConversationAppendMessage(c.record, c.view, {kVSKSpeakerCTM, kVSKEntryMessage, 0}, 0, text,
                                     std::move(refUid)))
    LLKFLog("%s : cannot show a message", who(c.record));
}

void offer(const Command& c, const std::string& text, MRKCList* options, Ref<MRKCSymbol> refUid) {
  hideTicker(c.record);
  if (text.empty()) return;
  if (!VSKFConversationAppendPickOne(c.record, c.view, {kVSKSpeakerCTM, kVSKEntryPickOne, 0}, 0, text,
                                     Ref<MRKCList>(options), std::move(refUid)))
    LLKFLog("%s : cannot show a choice", who(c.record));
}

void suggest(const Command& c, const MRKCString* example) {
  if (example && c.record->textbox) c.record->textbox->setValue(example->value());
}

// Answers [command(terms...)] with value 1.0, or the failure answer when that cannot be done.
Outcome answerWith(const Command& c, std::initializer_list<MRKBTerm*> terms) {
  Ref<MRKCFunc> func = MRKCFunc::funcWithLabel(c.func->label(), MRKCList::listWithTerms(terms).get());
  Ref<MRKCList> reply = func ? MRKCList::listWithTerms({func.get()}) : nullptr;
  if (reply && VSKFConversationReplyToQuery(c.record, c.query, reply.get(), 1.0f)) return Outcome::kAnswered;
  return Outcome::kRefuse;
}

Outcome reads(const Command& c) {
  MRKCFrame* frame = firstFrame(c);
  if (!frame) return refuse(c, "%s - first term for reads() must be a frame");
  // Offsets count every entry appended since the last clear; the inputs of the entries already
  // let go are no longer there to read.
  const std::vector<Ref<VSKCConversationEntry>>& entries = c.record->entries;
  uint64_t count = VSKFConversationFeedAppended(c.record), letGo = c.record->letGo;
  uint64_t from = std::min(MRKFFrameFetchUint(frame, "offset", std::numeric_limits<uint64_t>::max()), count);
  Ref<MRKCList> inputs = MRKCList::list();
  Ref<MRKCFrame> result = MRKCFrame::frame();
  for (uint64_t i = std::max(from, letGo); i < count; ++i)
    if (entries[i - letGo]->speaker() == kVSKSpeakerUser) inputs->append(entries[i - letGo]->iTerm.get());
  if (!MRKFFrameStoreUint(result.get(), "offset", count) || !MRKFFrameStoreTerm(result.get(), "inputs", inputs.get()))
    return Outcome::kRefuse;
  return answerWith(c, {frame, result.get()});
}

Outcome clear(const Command& c) {
  VSKFConversationFeedClear(c.record, c.view);
  return Outcome::kAcknowledge;
}

// speak and query: a CTM message without reference uid, and "example" suggested as the answer.
Outcome sayWithExample(const Command& c, const char* diagnostic) {
  MRKCFrame* frame = firstFrame(c);
  if (!frame) return refuse(c, diagnostic);
  say(c, lastText(c), nullptr);
  suggest(c, MRKFFrameFetchString(frame, "example"));
  return Outcome::kAcknowledge;
}

Outcome speak(const Command& c) { return sayWithExample(c, "%s - first term for speak() must be a frame"); }
Outcome query(const Command& c) { return sayWithExample(c, "%s - first term for query() must be a frame"); }

Outcome reply(const Command& c) {
  MRKCFrame* frame = firstFrame(c);
  if (!frame) return refuse(c, "%s - first term for reply() must be a frame");
  say(c, lastText(c), Ref<MRKCSymbol>(MRKFFrameFetchSymbol(frame, "ruid")));
  return Outcome::kAcknowledge;
}

Outcome spins(const Command& c) {
  QELBTicker* ticker = c.record->ticker;
  if (!ticker) return Outcome::kAcknowledge;
  MRKCString* label = MRKFFrameFetchString(firstFrame(c), "label");
  if (label) {
    const std::string& l = label->value();
    ticker->setTexts({l + " .", l + " ..", l + " ..."});
  } else {
    ticker->setTexts(kThinkingStrings);
  }
  ticker->setVisible(!ticker->visible());
  return Outcome::kAcknowledge;
}

Outcome setup(const Command& c) {
  if (c.record->textbox) c.record->textbox->setEnabled(MRKFFrameFetchBool(firstFrame(c), "enable", true));
  return Outcome::kAcknowledge;
}

Outcome picks(const Command& c) {
  MRKCFrame* frame = firstFrame(c);
  if (!frame) return refuse(c, "%s - first term for query() must be a frame");
  MRKCList* options = c.args->count() >= 3 ? asList(c.args->tail()) : nullptr;
  if (!options) return refuse(c, "%s - third term for query() must be a list");
  offer(c, VSKFConversationGetString(arg(c, 1)), options, Ref<MRKCSymbol>(MRKFFrameFetchSymbol(frame, "quid")));
  return Outcome::kAcknowledge;
}

Outcome feeds(const Command& c) {
  if (!firstFrame(c)) return refuse(c, "%s - first term for query() must be a frame");
  hideTicker(c.record);
  std::string text = lastText(c);
  if (!text.empty() &&
      !VSKFConversationAppendMessage(c.record, c.view, {kVSKSpeakerUser, kVSKEntryMessage, 0}, 0, text, nullptr))
    LLKFLog("%s : cannot show a message", who(c.record));
  return Outcome::kAcknowledge;
}

Outcome isPaused(const Command& c) {
  Ref<MRKCNumber> paused = MRKCNumber::numberWithBool(c.record->paused);
  return answerWith(c, {paused.get()});
}

Outcome spin(const Command& c) {
  if (c.record->ticker) c.record->ticker->setVisible(true);
  return Outcome::kAcknowledge;
}

Outcome pick(const Command& c) {
  MRKCList* options = c.args->count() == 2 ? asList(c.args->tail()) : nullptr;
  if (!options) return refuse(c, "incorrect arity for ux command");
  offer(c, VSKFConversationGetString(arg(c, 0)), options, Ref<MRKCSymbol>(c.quid));
  return Outcome::kAcknowledge;
}

// Any other command: its first argument is said; a second string, when it is the only other
// argument, is suggested as the user's answer.
Outcome other(const Command& c) {
  say(c, VSKFConversationGetString(arg(c, 0)), Ref<MRKCSymbol>(c.quid));
  if (c.args->count() == 2) suggest(c, asString(arg(c, 1)));
  return Outcome::kAcknowledge;
}

struct CommandRow {
  std::string_view name;
  Outcome (*run)(const Command&);
};

// In the order the names are tested.
const std::array<CommandRow, 12> kCommands = {{
    {"reads", reads},
    {"clear", clear},
    {"speak", speak},
    {"reply", reply},
    {"spins", spins},
    {"setup", setup},
    {"query", query},
    {"picks", picks},
    {"feeds", feeds},
    {"is.paused", isPaused},
    {"spin", spin},
    {"pick", pick},
}};

// Publishes the squib; on failure the user is told in the feed.
bool publishOrApologise(VSKTConversationRecord* record, QELBView* view, MRKCList* terms) {
  if (terms && VSKFConversationPublishSquib(record, kVSKUxLabel, terms)) return true;
  (void)VSKFConversationAppendMessage(record, view, {kVSKSpeakerCTM, kVSKEntryMessage, 0}, 0, kVSKSorry, nullptr);
  return false;
}

Ref<MRKCList> oneFunc(std::string_view label, std::initializer_list<MRKBTerm*> terms) {
  Ref<MRKCFunc> func = MRKCFunc::funcWithLabel(label, MRKCList::listWithTerms(terms).get());
  return func ? MRKCList::listWithTerms({func.get()}) : nullptr;
}

// peek(X[, U]) then reads({}, {"offset": entries, "inputs": [X]}) after the user's input; false
// when the peek could not be published.
bool tellInput(VSKTConversationRecord* record, QELBView* view, MRKBTerm* input, MRKCSymbol* refUid) {
  bool peeked = false;
  if (input) {
    Ref<MRKCList> peek = refUid ? oneFunc("peek", {input, refUid}) : oneFunc("peek", {input});
    peeked = publishOrApologise(record, view, peek.get());
  }
  Ref<MRKCList> inputs = input ? MRKCList::listWithTerms({input}) : MRKCList::list();
  Ref<MRKCFrame> result = MRKCFrame::frame();
  if (!MRKFFrameStoreUint(result.get(), "offset", VSKFConversationFeedAppended(record)) ||
      !MRKFFrameStoreTerm(result.get(), "inputs", inputs.get()))
    return peeked;
  Ref<MRKCFrame> empty = MRKCFrame::frame();
  (void)publishOrApologise(record, view, oneFunc("reads", {empty.get(), result.get()}).get());
  return peeked;
}

void showEnd(VSKTConversationRecord* record) {
  if (record->vbar) record->vbar->setScroll(1.0f);
  record->dirty = true;
}

}  // namespace

bool VSKFConversationReplyToQuery(VSKTConversationRecord* record, MRKCQuery* query, MRKCList* terms, float value) {
  if (!record || !record->observer || !query || !terms) return false;
  Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel(query->label(), terms, value);
  if (!statement) return false;
  Ref<MRKCReply> reply =
      MRKCReply::replyWithLabel(query->label(), statement.get(), query->context(), record->observer->ttl());
  return reply && MRKCSubstrate::shared()->answers(reply.get(), record->observer->guid());
}

bool VSKFConversationPublishSquib(VSKTConversationRecord* record, const std::string& label, MRKCList* terms) {
  if (!record || !record->observer || !terms) return false;
  Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel(label, terms, 1.0);
  if (!statement) return false;
  Ref<MRKCSquib> squib = MRKCSquib::squibWithLabel(label, statement.get(), record->observer->ttl());
  return squib && MRKCSubstrate::shared()->publish(squib.get(), record->observer->guid());
}

void VSKFConversationOnQuery(VSKTConversationRecord* record, QELBView* view, MRKCQuery* query) {
  if (!record || !query || !query->predicate()) return;
  MRKCList* terms = query->predicate()->terms();
  if (!terms || terms->count() == 0) {
    LLKFConsolePrintf("%s - a ux query without terms is not answered", who(record));
    return;
  }
  MRKCFunc* func = asFunc(terms->head());
  if (!func || !func->label()) {
    LLKFConsolePrintf("%s - a ux query must start with a command", who(record));
    (void)VSKFConversationReplyToQuery(record, query, terms, 0.0f);
    return;
  }
  Command c{record, view, query, func, func->terms(), terms->count() > 1 ? asSymbol(terms->tail()) : nullptr};
  const std::string& name = func->label()->value();
  Outcome (*run)(const Command&) = other;
  for (const CommandRow& row : kCommands)
    if (row.name == name) {
      run = row.run;
      break;
    }
  switch (run(c)) {
    case Outcome::kAcknowledge:
      (void)VSKFConversationReplyToQuery(record, query, terms, 1.0f);
      break;
    case Outcome::kRefuse:
      (void)VSKFConversationReplyToQuery(record, query, terms, 0.0f);
      break;
    case Outcome::kAnswered:
      break;
  }
}

void VSKFConversationOnTypedInput(VSKTConversationRecord* record, QELBView* view, const std::string& text) {
  if (!record) return;
  if (!VSKFConversationAppendMessage(record, view, {kVSKSpeakerUser, kVSKEntryMessage, 0}, 0, text, nullptr)) {
    LLKFLog("%s : cannot show what was typed", who(record));
    return;
  }
  Ref<MRKBTerm> input;
  if (record->mode == kVSKInputTerm) {
    std::string error;
    input = record->reader ? record->reader->readTermFromString(text, &error) : nullptr;
    if (!input)
      (void)VSKFConversationAppendMessage(record, view, {kVSKSpeakerCTM, kVSKEntryMessage, 0}, 0,
                                          "That is not a term: " + error, nullptr);
  } else {
    input = MRKCString::stringWithValue(text);
  }
  if (tellInput(record, view, input.get(), nullptr) && record->ticker) record->ticker->setVisible(true);
  if (record->textbox) record->textbox->setValue("");
  showEnd(record);
}

void VSKFConversationOnChoice(VSKTConversationRecord* record, QELBView* view, VSKCConversationEntry& entry,
                              QELBWidget* options, MRKBTerm* option, int32_t index) {
  if (!record || !option || entry.iCPick >= 0) return;
  entry.iCPick = index;
  if (options) options->setEnabled(false);
  if (!VSKFConversationAppendMessage(record, view, {kVSKSpeakerUser, kVSKEntryMessage, 0}, 0,
                                     VSKFConversationGetString(option), nullptr))
    return;
  (void)tellInput(record, view, option, entry.iRefUid.get());
  showEnd(record);
}

void VSKFConversationOnDistract(VSKTConversationRecord* record, QELBView* view) {
  Ref<MRKCNumber> draw = MRKCNumber::numberWithReal(LLKFRandomDraw());
  Ref<MRKCList> dist = oneFunc("dist", {draw.get()});
  if (!dist || !VSKFConversationPublishSquib(record, kVSKUxLabel, dist.get())) {
    LLKFLog("%s : the distraction could not be sent", who(record));
    return;
  }
  (void)VSKFConversationAppendMessage(record, view, {kVSKSpeakerUser, kVSKEntryMessage, 0}, kVSKEntryDistraction,
                                      kVSKDistraction, nullptr);
}

void VSKFConversationOnRate(VSKTConversationRecord* record, const VSKCConversationEntry& entry, double rating) {
  if (!entry.iRefUid) return;
  Ref<MRKCNumber> value = MRKCNumber::numberWithReal(rating);
  Ref<MRKCList> rate = oneFunc("rate", {value.get(), entry.iRefUid.get()});
  if (!rate || !VSKFConversationPublishSquib(record, kVSKUxLabel, rate.get()))
    LLKFLog("%s : the rating could not be sent", who(record));
}
