#pragma once
// What the drop box and the selector share as controls: a choice over the caller's list of
// strings and the accessors that read it. How the choice is set (an index outside the list, a
// value not in it, a new list) differs between them, so each keeps its own setters.
#include <string_view>

#include "ui/widgets/QELBControl.h"
#include "ui/widgets/QELTChoice.h"

class QELBChoiceControl : public QELBControl {
public:
  // kQELChoiceNone when nothing is chosen.
  uint32_t selected() const { return choice_.chosen() ? choice_.selected : kQELChoiceNone; }
  // Null when nothing is chosen.
  Ref<LLKCString> value() const { return choice_.value(); }
  const Ref<LLKBObjectSequence>& values() const { return choice_.values; }
  const Ref<LLKCMessage>& onChange() const { return choice_.onChange; }
  void setOnChange(Ref<LLKCMessage> message) { choice_.onChange = std::move(message); }
  bool find(std::string_view value, uint32_t* index) const { return choice_.find(value, index); }

protected:
  QELBChoiceControl(OGLTSize size, OGLTPoint position, Ref<LLKBObjectSequence> values, uint32_t capacity)
      : QELBControl(size, position) {
    choice_.capacity = capacity;
    choice_.values = std::move(values);
  }

  QELTChoice choice_;
};
