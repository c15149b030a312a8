#include "app/ctm/VSKCConversationEntry.h"

Ref<VSKCConversationEntry> VSKCConversationEntry::entryWithTerm(Ref<MRKBTerm> term, OGLTSize size) {
  if (!term) return nullptr;
  Ref<VSKCConversationEntry> entry = makeRef<VSKCConversationEntry>();
  entry->iTerm = std::move(term);
  entry->iFrame = {0, 0, size.w, size.h};
  return entry;
}
