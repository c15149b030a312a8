#pragma once
// A demonstration processor that holds a short conversation with the user through the "ux"
// label of the workbench's conversation view: it greets and asks the user's name, offers a
// choice of colours, asks for a rating of its answer, thanks for it, and from then on answers
// whatever the user types (text or terms). It talks only when the workbench has said that a
// user interface is present (the constant "vesko.ux"), and greets again each pulse until the
// view acknowledges the greeting.
//
// Its hooks run one at a time on the substrate's threads; it keeps its state to itself.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "framework/substrate/MRKBProcessor.h"
#include "framework/substrate/MRKCFunc.h"

class DEMCTalker : public MRKBProcessor {
public:
  DEMCTalker(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties)
      : MRKBProcessor(std::move(guid), std::move(label), std::move(alias), std::move(properties)) {}

  void onAttached() override;
  void onPulsated() override;
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override;
  void onReceivedReply(MRKCReply* reply, const std::string& source) override;

private:
  enum class Stage { kGreeting, kAskedName, kOfferedColours, kAskedRating, kChatting };

  // Sends ux(command(terms...), uid) as a query; the uid (new for each query) is answered.
  void ask(std::string_view command, std::initializer_list<MRKBTerm*> terms);
  void say(const std::string& text);
  void onUserSaid(MRKCFunc* func);

  Stage stage_ = Stage::kGreeting;
  uint32_t asked_ = 0;
};
