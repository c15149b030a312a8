#pragma once
// What the drop box and the selector share: the caller's list of strings (retained, not
// copied: the caller and the combo box change it in place), the chosen index, the capacity
// they size themselves for, and the change message.
//
// The list may change at any time: every read checks the index against the list as it is now,
// and entries that are not strings show as empty text.
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/LLKBObjectSequence.h"
#include "framework/core/LLKCMessage.h"
#include "framework/core/LLKCString.h"

class QELBControl;

// The chosen index when nothing is chosen (-1 to callers).
constexpr uint32_t kQELChoiceNone = UINT32_MAX;

// The first value of greatest length; null for a null or empty list. The drop box and the
// selector each measure through their own name; both find the same value.
Ref<LLKCString> QELFDropboxFindLongestValues(const LLKBObjectSequence* values);
inline Ref<LLKCString> QELFSelectorFindLongestValues(const LLKBObjectSequence* values) {
  return QELFDropboxFindLongestValues(values);
}

struct QELTChoice {
  uint32_t capacity = 0;  // characters to size for; 0: the longest value
  uint32_t selected = 0;
  Ref<LLKBObjectSequence> values;
  Ref<LLKCMessage> onChange;

  uint32_t count() const { return values ? static_cast<uint32_t>(values->count()) : 0; }
  bool chosen() const { return selected < count(); }
  // The string at the index; null for an index outside the list or an entry that is no string.
  Ref<LLKCString> at(uint32_t index) const;
  Ref<LLKCString> value() const { return chosen() ? at(selected) : nullptr; }
  // The first value equal to the text.
  bool find(std::string_view text, uint32_t* index) const;
  // What the control measures: capacity "#", else the longest value (as the control finds it),
  // else 16 "#".
  std::string sample(const Ref<LLKCString>& longest) const;
  // Sends a copy of onChange with "sender", "selected" and "value" (when one is chosen).
  void notify(QELBControl* sender) const;
};
