#include "app/ctm/VSKFTimelineChunks.h"

#include "framework/core/LLKCString.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCFunc.h"
#include "framework/substrate/MRKCNumber.h"

namespace {

std::string bounded(const std::string& text) {
  if (text.size() <= kVSKTimelineTextLimit) return text;
  Ref<LLKCString> cut = LLKCString::stringWithString(text)->ellipsizedAt(kVSKTimelineTextLimit);
  return cut ? cut->string() : std::string();
}

const char* kindName(uint32_t ttid) {
  switch (ttid) {
    case kMRKTermVariable:
      return "MRKCVariable";
    case kMRKTermStatement:
      return "MRKCStatement";
    case kMRKTermQuirk:
      return "MRKCQuirk";
    case kMRKTermPredicate:
      return "MRKCPredicate";
    default:
      return "MRKBTerm";
  }
}

}  // namespace

MRKCList* VSKFTimelineChunkIfWellFormed(MRKBTerm* term) {
  MRKCList* chunk = asList(term);
  if (!chunk || chunk->count() < kVSKChunkTerms) return nullptr;
  if (!asSymbol(chunk->fetchAtIndex(kVSKChunkSender)) || !asSymbol(chunk->fetchAtIndex(kVSKChunkUid))) return nullptr;
  MRKBTerm* kind = chunk->fetchAtIndex(kVSKChunkKind);
  if (!asSymbol(kind)) {
    MRKCFunc* func = asFunc(kind);
    if (!func || !asSymbol(func->terms()->head())) return nullptr;
  }
  for (size_t i : {kVSKChunkWeight, kVSKChunkIntensity, kVSKChunkMood})
    if (!asNumber(chunk->fetchAtIndex(i))) return nullptr;
  return chunk;
}

bool VSKFTimelineViewIsChunkAKudos(MRKCList* chunk) {
  MRKCFunc* kind = chunk ? asFunc(chunk->fetchAtIndex(kVSKChunkKind)) : nullptr;
  return kind && kind->label()->compareToChars("kudos") == 0;
}

void VSKFTimelineViewFilterChunks(MRKCList* chunks, bool hideKudos, std::vector<MRKCList*>& out) {
  out.clear();
  if (!chunks) return;
  out.reserve(chunks->count());
  for (const auto& member : chunks->terms()) {
    MRKCList* chunk = asList(member.get());
    if (chunk && !(hideKudos && VSKFTimelineViewIsChunkAKudos(chunk))) out.push_back(chunk);
  }
}

bool VSKFTimelineViewChunkInList(MRKCList* chunk, MRKCList* list) {
  MRKCSymbol* uid = chunk ? asSymbol(chunk->fetchAtIndex(kVSKChunkUid)) : nullptr;
  if (!uid || !list) return false;
  for (const auto& member : list->terms()) {
    MRKCList* other = asList(member.get());
    MRKCSymbol* theirs = other ? asSymbol(other->fetchAtIndex(kVSKChunkUid)) : nullptr;
    if (theirs && theirs->value() == uid->value()) return true;
  }
  return false;
}

std::string VSKFTimelineViewStringify(MRKBTerm* term) {
  // A list of one element stands for its element; the loop (not recursion) follows any nesting.
  while (MRKCList* list = asList(term)) {
    if (list->count() != 1) return "[...]";
    term = list->head();
  }
  if (!term) return std::string();
  if (MRKCFunc* func = term->asFunc()) return bounded(func->label()->value() + "(_,_)");
  if (MRKCFrame* frame = term->asFrame()) {
    if (frame->count() == 0) return "{...}";
    MRKBTerm* token = frame->fetchForLabel("token");
    return bounded((token ? token : term)->text());
  }
  // An atom's text is its whole value (a symbol or a string may be the very gist to read).
  if (term->asAtom()) return term->text();
  return kindName(term->ttid());
}
