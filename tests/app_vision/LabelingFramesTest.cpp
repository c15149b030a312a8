// Whether the labelling view's held frames are older than a frame id, told from the first
// statement in the slots; each case is a set of slots and an id.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "app/vision/VSKFLabelingFrames.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKFTerms.h"

namespace {

// What one slot holds.
struct Slot {
  enum Kind { empty, statement, noMeta, notAStatement } kind = empty;
  std::optional<uint64_t> frameid;  // the meta frame's "frameid", when it has one
};
Slot none() { return {}; }
Slot frame(uint64_t id) { return {Slot::statement, id}; }
Slot frameWithoutId() { return {Slot::statement, std::nullopt}; }
Slot metaNotAFrame() { return {Slot::noMeta, std::nullopt}; }
Slot other() { return {Slot::notAStatement, std::nullopt}; }

Ref<LLKBObject> make(const Slot& slot) {
  switch (slot.kind) {
    case Slot::empty:
      return nullptr;
    case Slot::notAStatement:
      return MRKCString::stringWithValue("not a statement");
    case Slot::noMeta: {
      Ref<MRKCSymbol> head = MRKCSymbol::symbolWithValue("image"), meta = MRKCSymbol::symbolWithValue("meta");
      return MRKCStatement::statementWithLabel("qav.stream.fovl.seg",
                                               MRKCList::listWithTerms({head.get(), meta.get()}).get(), 1.0);
    }
    case Slot::statement: {
      Ref<MRKCSymbol> head = MRKCSymbol::symbolWithValue("image");
      Ref<MRKCFrame> meta = MRKCFrame::frame();
      EXPECT_TRUE(MRKFFrameStoreUint(meta.get(), "width", 4));
      if (slot.frameid) {
        EXPECT_TRUE(MRKFFrameStoreUint(meta.get(), "frameid", *slot.frameid));
      }
      return MRKCStatement::statementWithLabel("qav.stream.fovl.seg",
                                               MRKCList::listWithTerms({head.get(), meta.get()}).get(), 1.0);
    }
  }
  return nullptr;
}

struct Case {
  const char* name;
  std::vector<Slot> slots;
  uint64_t id;
  bool older;
};

}  // namespace

TEST(LabelingFrames, MatchOlderFrameIdLooksAtTheFirstStatementOnly) {
  const std::vector<Case> cases = {
      {"no slots", {}, 5, true},
      {"only empty slots", {none(), none(), none()}, 0, true},
      {"an older frame", {frame(3)}, 5, true},
      {"the same frame", {frame(5)}, 5, true},
      {"a newer frame", {frame(6)}, 5, false},
      {"the first present statement decides, after empty slots", {none(), none(), frame(9), frame(1)}, 5, false},
      {"a later older frame does not", {frame(7), frame(2)}, 5, false},
      {"a later newer frame does not", {frame(2), frame(70)}, 5, true},
      {"a slot that holds no statement is passed over", {other(), frame(9)}, 5, false},
      {"only something else", {other()}, 0, true},
      {"no frame id reads 0", {frameWithoutId()}, 0, true},
      {"a meta term that is no frame reads 0", {metaNotAFrame()}, 0, true},
      {"the largest id", {frame(UINT64_MAX)}, UINT64_MAX - 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ref<LLKCObjectTuple> slots = LLKCObjectTuple::tupleWithCapacity(c.slots.size());
    ASSERT_TRUE(slots);
    for (size_t i = 0; i < c.slots.size(); ++i) ASSERT_EQ(slots->store(make(c.slots[i]), i), 0);
    EXPECT_EQ(VSKFLabelingMatchOlderFrameId(slots.get(), &c.id), c.older);
  }
  // No slots at all, and no id (read as frame 0).
  const uint64_t id = 0;
  EXPECT_TRUE(VSKFLabelingMatchOlderFrameId(nullptr, &id));
  Ref<LLKCObjectTuple> one = LLKCObjectTuple::tupleWithObjects({make(frame(1))});
  EXPECT_FALSE(VSKFLabelingMatchOlderFrameId(one.get(), nullptr));
  Ref<LLKCObjectTuple> zero = LLKCObjectTuple::tupleWithObjects({make(frame(0))});
  EXPECT_TRUE(VSKFLabelingMatchOlderFrameId(zero.get(), nullptr));
}
