#include "ui/widgets/QELTChoice.h"

#include "ui/widgets/QELBControl.h"

Ref<LLKCString> QELFDropboxFindLongestValues(const LLKBObjectSequence* values) {
  Ref<LLKCString> longest;
  if (!values) return longest;
  for (const Ref<LLKBObject>& entry : *values) {
    Ref<LLKCString> text = refCast<LLKCString>(entry);
    if (text && (!longest || text->length() > longest->length())) longest = text;
  }
  return longest;
}

Ref<LLKCString> QELTChoice::at(uint32_t index) const {
  return values ? values->fetchAtIndexAs<LLKCString>(index) : nullptr;
}

bool QELTChoice::find(std::string_view text, uint32_t* index) const {
  for (uint32_t i = 0; i < count(); ++i) {
    Ref<LLKCString> entry = at(i);
    if (entry && entry->view() == text) {
      if (index) *index = i;
      return true;
    }
  }
  return false;
}

std::string QELTChoice::sample(const Ref<LLKCString>& longest) const {
  if (capacity > 0) return std::string(capacity, '#');
  if (longest) return longest->string();
  return std::string(16, '#');
}

void QELTChoice::notify(QELBControl* sender) const {
  Ref<LLKCMessage> copy = QELFControlCopy(onChange);
  if (!copy || !sender) return;
  copy->details().storeUint(selected, "selected");
  if (Ref<LLKCString> chosen = value()) copy->details().storeObject(chosen, "value");
  copy->details().storeObject(Ref<LLKBObject>(sender), "sender");
  sender->send(copy);
}
