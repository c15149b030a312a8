#pragma once
// The "Conversation" view: the user's side of the ux protocol. The feed of bubbles fills the
// view above a column with the input text box (text or term input) and a row of symbols (input
// mode, distract, pause) with the Thinking ticker; hover hints name the symbols, scroll bars,
// wheel and keys scroll the feed, and the title bar's menu rolls the view up or closes it.
//
// Threads: everything runs on the window's thread but the observer, which the substrate calls
// on its threads and which hands every query and squib on "ux" to the view as a message; the
// view sets and clears the observer's target only under the observer's monitor, so nothing
// reaches a view that left its window.
//
// Its state is private and its definition is spread over the files named beside the members
// below (VSKCConversationView*.cpp). Tests and benchmarks read the state through record(), and
// drive the feed through a probe of their own (VSKTestConversationFeed). The widgets of a bubble
// are built by free functions (VSKFConversationBubbles.h) that work on what they are given.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/ctm/VSKTConversationRecord.h"
#include "framework/app/ZRVBView.h"
#include "framework/substrate/MRKCQuery.h"

class MRKCString;
class QELBSymbol;

constexpr const char* kVSKUxLabel = "ux";
constexpr const char* kVSKSorry = "Sorry, something went wrong :(";
constexpr const char* kVSKDistraction = "** distraction **";
// The Thinking ticker's texts, until spins gives others.
extern const std::vector<std::string> kThinkingStrings;

// The feed's layout: a column of bubbles on a canvas, the CTM's at the left edge, the user's at
// the right.
constexpr float kVSKFeedTop = 10;     // content height of an empty feed
constexpr float kVSKFeedMargin = 10;  // from the content's left and right edges
constexpr float kVSKFeedGap = 6;      // under each entry
// The most entries the feed keeps; past it the oldest go first.
constexpr size_t kVSKFeedCapacity = 500;

// The view's messages: uids, and the tags under each.
enum : uint32_t {
  kVSKConversationMenu = 0xA000,      // the title bar's menu
  kVSKConversationObserver = 0xB000,  // what the observer hears on "ux"
  kVSKConversationControl = 0xC000,   // the scroll bars, the text box and the symbols
  kVSKConversationHover = 0xD000,     // the pointer over a symbol
  kVSKConversationBubble = 0xE000,    // a bubble's wrap, rating symbols and options
};

// Menu tags.
enum : uint32_t {
  kVSKConversationClose = 1,
  kVSKConversationUnroll = 2,
  kVSKConversationRollup = 3,
};

// Observer tags.
enum : uint32_t {
  kVSKConversationSquib = 0,
  kVSKConversationQuery = 1,
};

// Control tags; a symbol's click carries the symbol's context as its ctx.
enum : uint32_t {
  kVSKConversationVerticalBar = 2,
  kVSKConversationHorizontalBar = 3,
  kVSKConversationCommit = 5,
  kVSKConversationSymbol = 6,
};

// Hover tags (of the symbols, and of the wraps under the bubble uid), and bubble tags.
enum : uint32_t {
  kVSKConversationRateUp = 2,
  kVSKConversationRateDown = 3,
  kVSKConversationEnter = 7,
  kVSKConversationLeave = 8,
  kVSKConversationChoice = 9,
};

// Symbol contexts, besides the input modes (kVSKInputTerm, kVSKInputText).
enum : uint32_t {
  kVSKConversationDistract = 1,
  kVSKConversationPause = 6,
  kVSKConversationResume = 7,
};

// A "ux" query taken apart: the query, its command, the command's arguments and the query's own
// uid (the predicate's last term when it is a symbol).
struct VSKTUxCommand {
  MRKCQuery* query;
  MRKCFunc* func;
  MRKCList* args;
  MRKCSymbol* quid;
};

class VSKCConversationView : public ZRVBView {
public:
  // Size and position come from the settings' "size" and "position" (defaults as given); null
  // when its parts cannot be put together.
  [[nodiscard]] static Ref<VSKCConversationView> viewWithSize(OGLTSize size, OGLTPoint position,
                                                              const std::string& alias, Ref<JSKCFrame> config);
  ~VSKCConversationView() override;

  // The view's state, read-only (tests and benchmarks).
  const VSKTConversationRecord& record() const { return record_; }

  void onAttachedIntoWindow() override;
  void onLeavingWindow() override;
  void onResized() override;
  // A click in the feed (on a bubble too) leaves the keyboard with the input box, and characters
  // typed over the view while nothing holds the keyboard are written there: none is lost.
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  bool onInputWithSymbol(const OGLTCharacterEvent& symbol) override;
  bool onInputWithScroll(const OGLTScrollEvent& scroll) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onToggleMenu() override;
  void onUpdateWithStep(float step) override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  friend struct VSKTestConversationFeed;
  VSKCConversationView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

  static constexpr uint32_t kIconDistract = 0xE043, kIconPause = 0xE034, kIconResume = 0xE037;

  // VSKCConversationView.cpp: building, layout, scrolling and the title menu.
  bool build(const std::string& alias);
  bool buildSymbols();
  // Sizes the canvas to the feed's area less the bars that the content needs, and places the
  // bars beside it; the canvas's new size.
  OGLTSize fitFeed(OGLTSize content);
  // Moves the vertical bar (clamped) and scrolls to it.
  void moveBar(float scroll);
  // Gives the window's keyboard (its sink) to the input box.
  void keyboardToInput();

  // VSKCConversationViewMessages.cpp: what arrives in onMessaged, by uid.
  void onMenu(uint32_t tag);
  void onControl(const LLKCMessage& message);
  void onHover(const LLKCMessage& message);
  void onBubble(const LLKCMessage& message);
  void setMode(uint32_t mode, QELBWidget* sender);
  void setPaused(bool paused, QELBWidget* sender);
  void dropHint();
  // The symbol's click, enter and leave messages, with its context as ctx.
  static void setSymbolMessages(QELBSymbol& symbol, uint32_t ctx);

  // VSKCConversationViewFeed.cpp: the feed keeps the last kVSKFeedCapacity entries: past that
  // the oldest go, and the others move up by the room they took. Every entry keeps its
  // rectangle; a bubble widget exists only while its entry overlaps the visible part of the
  // canvas, so a long conversation costs one small record per entry and the widgets of one
  // screenful. Scrolling or resizing marks the feed dirty; the next frame runs the sync-up.
  //
  // What a slide carries along the entries: the entry after which they move (null once passed)
  // and how far down (negative: up).
  struct FeedSlide {
    const VSKCConversationEntry* target;
    float delta;
  };
  // Appends and places an entry (its top is the content height), letting the oldest go past the
  // capacity; false when it cannot be kept.
  bool VSKFConversationFeedAppend(const Ref<VSKCConversationEntry>& entry);
  // Called for each entry in order: the entries after the target move down by the delta, wraps
  // too; reaching the target clears it, so a null target afterwards tells it was found.
  static void VSKFConversationFeedSlideAfter(VSKCConversationEntry& entry, FeedSlide& slide);
  // Takes the entry out of the feed: the later ones move up by its height and gap, and the
  // content shrinks by as much. Nothing when it is not in the feed.
  void VSKFConversationFeedRemove(VSKCConversationEntry* entry);
  // Makes room for the entry at a new height: the later ones move by the difference, and the
  // content grows by it. The entry's own rectangle is left to the caller.
  void VSKFConversationFeedResize(VSKCConversationEntry* entry, float height);
  // The entries appended since the feed was last cleared, those let go included: the positions
  // the solution reads the feed by.
  uint64_t VSKFConversationFeedAppended() const;
  // Whether the entry overlaps the canvas's visible part (strictly).
  bool VSKFConversationFeedIsVisible(const VSKCConversationEntry& entry) const;
  // Builds the wraps of the entries that came into view, drops those of the entries that left
  // it, and keeps the user's bubbles at the content's right edge.
  void VSKFConversationFeedSyncUp();
  // Empties the feed, hides the scroll bars and lays the view out again.
  void VSKFConversationFeedClear();
  // The entry whose wrap is the widget's parent, and its index when asked; null when none.
  VSKCConversationEntry* VSKFConversationFeedFind(const QELBWidget* widget, int32_t* index) const;
  // The last entry of the speaker and kind (code's uid and tag) and, unless ctx is 0, of that
  // ctx; its index when asked. Null when none.
  VSKCConversationEntry* VSKFConversationFeedFindLast(LLKTMessageCode code, uint32_t ctx, int32_t* index) const;
  // A new entry of the term and size with the code, appended; *visible tells whether it is in
  // view. Null when it cannot be made or kept.
  Ref<VSKCConversationEntry> VSKFConversationAppendBubble(OGLTSize size, Ref<MRKBTerm> term, LLKTMessageCode code,
                                                          uint32_t ctx, bool* visible);
  void dropWrap(VSKCConversationEntry& entry);
  // Keeps a user bubble's right edge at the content's right margin.
  static void anchorRight(VSKCConversationEntry& entry, float contentWidth);
  void letOldestGo();
  // Slides the entries after the target by the delta, and the content with them; false when the
  // target is not in the feed.
  bool slideAfter(const VSKCConversationEntry* target, float delta);

  // VSKCConversationViewBubbles.cpp: measuring a message or a pick-one once when it is
  // appended, and showing an entry's bubble from the stored sizes whenever it comes into view.
  // Appends a message bubble (code: speaker and kind); false when the entry cannot be made or
  // kept. A bubble that cannot be built now leaves the entry to the next sync-up.
  bool VSKFConversationAppendMessage(LLKTMessageCode code, uint32_t ctx, const std::string& text,
                                     Ref<MRKCSymbol> refUid);
  bool VSKFConversationAppendPickOne(LLKTMessageCode code, uint32_t ctx, const std::string& text, Ref<MRKCList> options,
                                     Ref<MRKCSymbol> refUid);
  // Builds the entry's bubble and wrap from its stored sizes and puts it on the canvas at the
  // entry's place; false (entry left without a wrap) when a widget cannot be made.
  bool VSKFConversationEntryShow(VSKCConversationEntry& entry);
  Ref<VSKCConversationEntry> appendEntry(OGLTSize content, Ref<MRKBTerm> term, LLKTMessageCode code, uint32_t ctx,
                                         Ref<MRKCSymbol> refUid);

  // VSKCConversationViewUx.cpp: the "ux" protocol. The solution's processors send this view
  // queries whose predicate is [command(arguments...)] (optionally followed by the query's own
  // uid, a symbol); the view carries each command out on its feed and answers every query: an
  // acknowledgement (the predicate's terms, value 1.0), a data reply for reads and is.paused
  // ([command(...)], 1.0), or a failure answer (the predicate's terms, value 0.0) when the
  // arguments are refused or the reply cannot be built. The user's side goes out as squibs on
  // "ux": peek(X) and reads({}, {"offset", "inputs"}) after typed input or a choice, dist(R) and
  // rate(±1.0, U).
  // Sends the reply to the query: a statement of the query's label with the terms and value;
  // false when terms is null or a step fails.
  bool VSKFConversationReplyToQuery(MRKCQuery* query, MRKCList* terms, float value);
  // Publishes a squib of a statement of the label with the terms and value 1.0; false when a
  // step fails.
  bool VSKFConversationPublishSquib(const std::string& label, MRKCList* terms);
  // Carries out the query's command and answers it.
  void VSKFConversationOnQuery(MRKCQuery* query);
  // The user committed a line of the input text box.
  void VSKFConversationOnTypedInput(const std::string& text);
  // The user chose the option (index) of the pick-one entry shown in the bubble.
  void VSKFConversationOnChoice(VSKCConversationEntry& entry, QELBWidget* options, MRKBTerm* option, int32_t index);
  // The user clicked the distract symbol.
  void VSKFConversationOnDistract();
  // The user rated the CTM entry (+1.0 or -1.0).
  void VSKFConversationOnRate(const VSKCConversationEntry& entry, double rating);
  // How a command ended: acknowledged, refused (failure answer) or answered by the command.
  enum class UxOutcome { kAcknowledge, kRefuse, kAnswered };
  // The commands, one each; any other command is uxOther.
  UxOutcome uxReads(const VSKTUxCommand& c);
  UxOutcome uxClear(const VSKTUxCommand& c);
  UxOutcome uxSpeak(const VSKTUxCommand& c);
  UxOutcome uxQuery(const VSKTUxCommand& c);
  UxOutcome uxReply(const VSKTUxCommand& c);
  UxOutcome uxSpins(const VSKTUxCommand& c);
  UxOutcome uxSetup(const VSKTUxCommand& c);
  UxOutcome uxPicks(const VSKTUxCommand& c);
  UxOutcome uxFeeds(const VSKTUxCommand& c);
  UxOutcome uxIsPaused(const VSKTUxCommand& c);
  UxOutcome uxSpin(const VSKTUxCommand& c);
  UxOutcome uxPick(const VSKTUxCommand& c);
  UxOutcome uxOther(const VSKTUxCommand& c);
  // speak and query: a CTM message without reference uid, and "example" suggested as the answer.
  UxOutcome uxSayWithExample(const VSKTUxCommand& c, const char* diagnostic);
  // Answers [command(terms...)] with value 1.0, or the failure answer when that cannot be done.
  UxOutcome uxAnswerWith(const VSKTUxCommand& c, std::initializer_list<MRKBTerm*> terms);
  UxOutcome uxRefuse(const char* diagnostic) const;
  // Diagnostics name the view: the observer's label when it has one, else its alias.
  const char* who() const;
  void hideTicker();
  void say(const std::string& text, Ref<MRKCSymbol> refUid);
  void offer(const std::string& text, MRKCList* options, Ref<MRKCSymbol> refUid);
  void suggest(const MRKCString* example);
  // Publishes the squib; on failure the user is told in the feed.
  bool publishOrApologise(MRKCList* terms);
  // peek(X[, U]) then reads({}, {"offset": entries, "inputs": [X]}) after the user's input;
  // false when the peek could not be published.
  bool tellInput(MRKBTerm* input, MRKCSymbol* refUid);
  void showEnd();

  VSKTConversationRecord record_;
};
