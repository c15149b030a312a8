#include "app/ctm/VSKCTimelineTick.h"

#include "app/ctm/VSKFTimelineChunks.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCNumber.h"

namespace {

// The list itself when every member is a well-formed chunk, else a new list of those that are.
Ref<MRKCList> wellFormed(MRKCList* list, size_t* dropped) {
  size_t good = 0;
  for (const auto& member : list->terms())
    if (VSKFTimelineChunkIfWellFormed(member.get())) ++good;
  if (good == list->count()) return Ref<MRKCList>(list);
  *dropped += list->count() - good;
  Ref<MRKCList> kept = MRKCList::listWithCapacity(good);
  if (!kept) return nullptr;
  for (const auto& member : list->terms())
    if (VSKFTimelineChunkIfWellFormed(member.get())) kept->append(member.get());
  return kept;
}

std::nullptr_t refuse(std::string* problem, const char* why) {
  if (problem) *problem = why;
  return nullptr;
}

}  // namespace

Ref<VSKCTimelineTick> VSKCTimelineTick::tickWithStatement(MRKCStatement* statement, std::string* problem) {
  MRKCList* terms = statement ? statement->terms() : nullptr;
  if (!terms || terms->count() != 3) return refuse(problem, "a tick statement has 3 terms");
  MRKCNumber* number = asNumber(terms->fetchAtIndex(0));
  if (!number) return refuse(problem, "the tick is not a number");
  MRKCFrame* frame = asFrame(terms->tail());
  if (!frame) return refuse(problem, "the last term is not a frame");
  MRKCList* submitted = asList(frame->fetchForLabel("chunks"));
  MRKCList* direct = asList(frame->fetchForLabel("links"));
  if (!submitted || !direct) return refuse(problem, "\"chunks\" and \"links\" are not lists");
  MRKCList* broadcast = asList(terms->fetchAtIndex(1));
  if (!broadcast) return refuse(problem, "the winners are not a list");

  Ref<VSKCTimelineTick> tick = makeRef<VSKCTimelineTick>();
  tick->tick_ = number->uint();
  tick->broadcast_ = wellFormed(broadcast, &tick->dropped_);
  tick->submitted_ = wellFormed(submitted, &tick->dropped_);
  tick->direct_ = wellFormed(direct, &tick->dropped_);
  if (!tick->broadcast_ || !tick->submitted_ || !tick->direct_) return refuse(problem, "out of memory");
  return tick;
}
