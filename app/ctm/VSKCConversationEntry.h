#pragma once
// One bubble of the conversation feed: who spoke, what kind of bubble it is, what it shows, its
// place in the feed's content (kept for good) and the content size measured once when it was
// appended, so that a bubble scrolled back into view is rebuilt without measuring again. The
// wrap widget exists only while the entry is in view. Read-only but to the conversation view,
// which keeps the feed. Window's thread only.
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

  const LLKTMessageCode& code() const { return iCode; }
  // What the entry answers; a CTM entry with one can be rated.
  const Ref<MRKCSymbol>& refUid() const { return iRefUid; }
  // The wrap while on screen, else null.
  const Ref<QELBGroup>& wrap() const { return iBWrap; }
  // A message's string, or [text, options] of a pick-one.
  const Ref<MRKBTerm>& term() const { return iTerm; }
  // Its place in the feed's content.
  const OGLTRect& frame() const { return iFrame; }
  // The content's measure, taken once when the entry was appended.
  OGLTSize contentSize() const { return iCSize; }
  // The option the user chose of a pick-one, or -1.
  int32_t chosen() const { return iCPick; }

  uint32_t speaker() const { return iCode.uid; }
  uint32_t kind() const { return iCode.tag; }
  float height() const { return iFrame.bottom - iFrame.top; }
  float width() const { return iFrame.right - iFrame.left; }

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  // The view's feed places the entry, measures it, shows and drops its wrap and records the
  // choice.
  friend class VSKCConversationView;
  VSKCConversationEntry() = default;

  LLKTMessageCode iCode{};
  Ref<MRKCSymbol> iRefUid;
  Ref<QELBGroup> iBWrap;
  Ref<MRKBTerm> iTerm;
  OGLTRect iFrame{};
  OGLTSize iCSize{};
  int32_t iCPick = -1;
};
