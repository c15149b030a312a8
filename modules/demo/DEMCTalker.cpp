#include "modules/demo/DEMCTalker.h"

#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"

namespace {

constexpr const char* kUx = "ux";
constexpr const char* kGreeting = "Hello! I am the demonstration CTM. What is your name?";
constexpr const char* kColourQuestion = "Which colour do you like?";

}  // namespace

void DEMCTalker::onAttached() {
  if (MRKCSubstrate* s = substrate()) (void)s->disclose(kUx, guid());
}

void DEMCTalker::onPulsated() {
  MRKCSubstrate* s = substrate();
  if (stage_ != Stage::kGreeting || !s || !s->constants()->objectForKey("vesko.ux")) return;
  say(kGreeting);
}

void DEMCTalker::onReceivedReply(MRKCReply* reply, const std::string& source) {
  MRKCStatement* statement = reply ? reply->statement() : nullptr;
  if (stage_ == Stage::kGreeting && statement && statement->value() == 1.0) stage_ = Stage::kAskedName;
}

void DEMCTalker::onReceivedSquib(MRKCSquib* squib, const std::string& source) {
  if (!squib || squib->label() != kUx || source == guid() || stage_ == Stage::kGreeting) return;
  for (const Ref<MRKBTerm>& item : squib->statements()->terms()) {
    MRKCStatement* statement = item->asStatement();
    MRKCList* terms = statement ? statement->terms() : nullptr;
    if (MRKCFunc* func = terms ? asFunc(terms->head()) : nullptr) onUserSaid(func);
  }
}

void DEMCTalker::onUserSaid(MRKCFunc* func) {
  const std::string& name = func->label()->value();
  MRKCList* args = func->terms();
  if (name == "dist") {
    say("Oh! Something distracted me.");
  } else if (name == "rate" && stage_ == Stage::kAskedRating) {
    stage_ = Stage::kChatting;
    say("Thank you for rating my answer " + MRKFAtomToText(args->head()) + ". Type anything and I will answer.");
  } else if (name == "peek" && args->count() == 2 && stage_ == Stage::kOfferedColours) {
    stage_ = Stage::kAskedRating;
    Ref<MRKCFrame> options = MRKCFrame::frame();
    (void)MRKFFrameStoreTerm(options.get(), "ruid", args->fetchAtIndex(1));
    Ref<MRKCString> text =
        MRKCString::stringWithValue(MRKFAtomToText(args->head()) + " is a fine colour. Please rate this answer.");
    ask("reply", {options.get(), text.get()});
  } else if (name == "peek" && args->count() == 1 && stage_ == Stage::kAskedName) {
    stage_ = Stage::kOfferedColours;
    say("Nice to meet you, " + MRKFAtomToText(args->head()) + "!");
    Ref<MRKCString> question = MRKCString::stringWithValue(kColourQuestion);
    Ref<MRKCList> colours =
        MRKCList::listWithTerms({MRKCSymbol::symbolWithValue("red").get(), MRKCSymbol::symbolWithValue("green").get(),
                                 MRKCSymbol::symbolWithValue("blue").get()});
    ask("pick", {question.get(), colours.get()});
  } else if (name == "peek" && args->count() == 1 && stage_ == Stage::kChatting) {
    say("You said: " + MRKFAtomToText(args->head()));
  }
}

void DEMCTalker::say(const std::string& text) {
  Ref<MRKCFrame> options = MRKCFrame::frame();
  Ref<MRKCString> words = MRKCString::stringWithValue(text);
  ask("speak", {options.get(), words.get()});
}

void DEMCTalker::ask(std::string_view command, std::initializer_list<MRKBTerm*> terms) {
  MRKCSubstrate* s = substrate();
  Ref<MRKCFunc> func = MRKCFunc::funcWithLabel(command, MRKCList::listWithTerms(terms).get());
  Ref<MRKCSymbol> uid = MRKCSymbol::symbolWithValue("talk" + std::to_string(++asked_));
  Ref<MRKCPredicate> predicate =
      MRKCPredicate::predicateWithLabel(kUx, MRKCList::listWithTerms({func.get(), uid.get()}).get());
  Ref<MRKCQuery> query = MRKCQuery::queryWithPredicate(predicate.get(), nullptr, ttl());
  if (s && query) (void)s->inquire(query.get(), guid());
}
