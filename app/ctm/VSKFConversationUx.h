#pragma once
// The "ux" protocol: the solution's processors send the conversation view queries whose
// predicate is [command(arguments...)] (optionally followed by the query's own uid, a symbol);
// the view carries each command out on its feed and answers every query: an acknowledgement
// (the predicate's terms, value 1.0), a data reply for reads and is.paused ([command(...)],
// 1.0), or a failure answer (the predicate's terms, value 0.0) when the arguments are refused
// or the reply cannot be built. The user's side goes out as squibs on "ux": peek(X) and
// reads({}, {"offset", "inputs"}) after typed input or a choice, dist(R) and rate(±1.0, U).
// Window's thread only.
#include <cstdint>
#include <string>
#include <vector>

#include "app/ctm/VSKTConversationRecord.h"
#include "framework/substrate/MRKCQuery.h"

class QELBView;
class QELBWidget;

constexpr const char* kVSKUxLabel = "ux";
constexpr const char* kVSKSorry = "Sorry, something went wrong :(";
constexpr const char* kVSKDistraction = "** distraction **";
// The Thinking ticker's texts, until spins gives others.
extern const std::vector<std::string> kThinkingStrings;

// Sends the reply to the query: a statement of the query's label with the terms and value;
// false when terms is null or a step fails.
bool VSKFConversationReplyToQuery(VSKTConversationRecord* record, MRKCQuery* query, MRKCList* terms, float value);
// Publishes a squib of a statement of the label with the terms and value 1.0; false when a step fails.
bool VSKFConversationPublishSquib(VSKTConversationRecord* record, const std::string& label, MRKCList* terms);
// Carries out the query's command and answers it.
void VSKFConversationOnQuery(VSKTConversationRecord* record, QELBView* view, MRKCQuery* query);
// The user committed a line of the input text box.
void VSKFConversationOnTypedInput(VSKTConversationRecord* record, QELBView* view, const std::string& text);
// The user chose the option (index) of the pick-one entry shown in the bubble.
void VSKFConversationOnChoice(VSKTConversationRecord* record, QELBView* view, VSKCConversationEntry& entry,
                              QELBWidget* options, MRKBTerm* option, int32_t index);
// The user clicked the distract symbol.
void VSKFConversationOnDistract(VSKTConversationRecord* record, QELBView* view);
// The user rated the CTM entry (+1.0 or -1.0).
void VSKFConversationOnRate(VSKTConversationRecord* record, const VSKCConversationEntry& entry, double rating);
