#pragma once
// One bubble of the conversation feed: who spoke, what kind of bubble it is, what it shows, its
// place in the feed's content (kept for good) and the content size measured once when it was
// appended, so that a bubble scrolled back into view is rebuilt without measuring again. The
// wrap widget exists only while the entry is in view. Window's thread only.
#include <cstdint>

#include "framework/core/LLKCMessage.h"
#include "framework/substrate/MRKBTerm.h"
#include "framework/substrate/MRKCSymbol.h"
#include "ui/gl/OGLTGeometry.h"
#include "ui/widgets/QELBGroup.h"

// Speakers (the code's uid) and kinds (its tag).
enum : uint32_t {
  kVSKSpeakerUser = 1,
  kVSKSpeakerCTM = 2,
  kVSKEntryMessage = 1,
  kVSKEntryPickOne = 2,
  kVSKEntryDistraction = 1,  // ctx of the user's distraction message
};

class VSKCConversationEntry : public LLKBObject {
public:
  // Null for a null term; the frame starts as {0, 0, w, h}.
  [[nodiscard]] static Ref<VSKCConversationEntry> entryWithTerm(Ref<MRKBTerm> term, OGLTSize size);

  LLKTMessageCode iCode{};
  Ref<MRKCSymbol> iRefUid;  // what the entry answers; a CTM entry with one can be rated
  Ref<QELBGroup> iBWrap;    // the wrap while on screen
  Ref<MRKBTerm> iTerm;      // a message's string, or [text, options] of a pick-one
  OGLTRect iFrame{};
  OGLTSize iCSize{};
  int32_t iCPick = -1;

  uint32_t speaker() const { return iCode.uid; }
  uint32_t kind() const { return iCode.tag; }
  float height() const { return iFrame.bottom - iFrame.top; }
  float width() const { return iFrame.right - iFrame.left; }

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCConversationEntry() = default;
};
