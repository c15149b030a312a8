#include "framework/core/LLKCObjectArray.h"
#include "framework/core/LLKCObjectDeque.h"
#include "framework/core/LLKCObjectList.h"
#include "framework/core/LLKCObjectMap.h"
#include "framework/core/LLKCObjectPile.h"
#include "framework/core/LLKCObjectTable.h"
#include "framework/core/LLKCObjectTuple.h"
#include "framework/core/LLKCObjectVector.h"
#include "framework/core/LLKCString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Item : LLKBObject {
  Item(int k, std::string n) : key(k), name(std::move(n)) {}
  int key;
  std::string name;
};

Ref<LLKBObject> item(int key, std::string name = {}) { return makeRef<Item>(key, std::move(name)); }

int byKey(LLKBObject* a, LLKBObject* b, void* context) {
  int sign = context ? *static_cast<int*>(context) : 1;
  return sign * (static_cast<Item*>(a)->key - static_cast<Item*>(b)->key);
}

std::string order(const LLKBObjectSequence& sequence) {
  std::string text;
  for (const auto& entry : sequence) {
    auto* it = static_cast<Item*>(entry.get());
    text += std::to_string(it->key) + it->name + " ";
  }
  return text;
}

TEST(Sequence, AppendInsertAndRemoveKeepOrderAndRefuseBadInput) {
  Ref<LLKCObjectList> list = LLKCObjectList::listWithCapacity(2);
  EXPECT_EQ(list->append(item(1)), 0);
  EXPECT_EQ(list->append(item(3)), 0);
  EXPECT_EQ(list->insert(item(2), 1), 0);
  EXPECT_EQ(list->prepend(item(0)), 0);
  EXPECT_EQ(list->append(nullptr), 22);
  EXPECT_EQ(list->insert(item(9), 5), 22);
  EXPECT_EQ(order(*list), "0 1 2 3 ");

  EXPECT_EQ(static_cast<Item*>(list->removeHead().get())->key, 0);
  EXPECT_EQ(static_cast<Item*>(list->removeTail().get())->key, 3);
  EXPECT_FALSE(list->removeAtIndex(7));
  EXPECT_FALSE(list->fetchAtIndex(2));
  Ref<LLKBObject> two = list->fetchAtIndex(1);
  EXPECT_EQ(list->indexOf(two.get()), 1);
  EXPECT_TRUE(list->remove(two.get()));
  EXPECT_FALSE(list->contains(two.get()));
  EXPECT_EQ(order(*list), "1 ");
  list->clear();
  EXPECT_FALSE(list->removeHead());
  EXPECT_FALSE(list->removeTail());
}

TEST(Sequence, SortingIsStableAndSortedInsertionGoesAfterEquals) {
  Ref<LLKCObjectArray> array = LLKCObjectArray::arrayWithObjects({item(2, "a"), item(1, "a"), item(2, "b"), item(0)});
  array->sort(byKey, nullptr);
  EXPECT_EQ(order(*array), "0 1a 2a 2b ");
  EXPECT_EQ(array->insertSorted(item(2, "c"), byKey, nullptr), 0);
  EXPECT_EQ(array->insertSorted(item(-1), byKey, nullptr), 0);
  EXPECT_EQ(order(*array), "-1 0 1a 2a 2b 2c ");
  int descending = -1;
  array->sort(byKey, &descending);
  EXPECT_EQ(order(*array), "2a 2b 2c 1a 0 -1 ");
}

TEST(Sequence, IterationFindsTheFirstMatchAndSnapshotsSurviveChanges) {
  Ref<LLKCObjectDeque> deque = LLKCObjectDeque::dequeWithCapacity(4);
  for (int k = 0; k < 4; ++k) deque->append(item(k));
  int wanted = 2;
  auto match = [](LLKBObject* object, void* context) {
    return static_cast<Item*>(object)->key >= *static_cast<int*>(context);
  };
  EXPECT_EQ(static_cast<Item*>(deque->iterateUntilMatch(match, &wanted).get())->key, 2);
  wanted = 9;
  EXPECT_FALSE(deque->iterateUntilMatch(match, &wanted));

  for (const auto& entry : deque->snapshot()) deque->remove(entry.get());
  EXPECT_EQ(deque->count(), 0u);
}

TEST(Sequence, VectorStashesAndTypedFetchRefusesOtherKinds) {
  Ref<LLKCObjectVector> vector = LLKCObjectVector::vectorWithCapacity(8);
  EXPECT_EQ(vector->stash(LLKCString::stringWithChars("a")), 0);
  vector->shrink();
  EXPECT_EQ(vector->count(), 1u);
  EXPECT_TRUE(vector->fetchAtIndexAs<LLKCString>(0));
  EXPECT_FALSE(vector->fetchAtIndexAs<Item>(0));
}

TEST(Map, StoresReplacesAndRemovesByKey) {
  Ref<LLKCObjectMap> map = LLKCObjectMap::mapWithCapacity(8);
  EXPECT_EQ(map->store(item(1), "uid.b"), 0);
  EXPECT_EQ(map->store(item(2), "uid.a"), 0);
  EXPECT_EQ(map->store(item(3), "uid.b"), 0);
  EXPECT_EQ(map->store(nullptr, "uid.c"), 22);
  EXPECT_EQ(map->count(), 2u);
  EXPECT_EQ(map->fetchForKeyAs<Item>("uid.b")->key, 3);
  EXPECT_FALSE(map->fetchForKey("uid.c"));
  auto entries = map->snapshot();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].first, "uid.a");
  EXPECT_TRUE(map->removeForKey("uid.a"));
  EXPECT_FALSE(map->removeForKey("uid.a"));
  EXPECT_EQ(map->count(), 1u);
}

TEST(Map, VisitsInKeyOrderAndRemovesWhatItIsAskedTo) {
  Ref<LLKCObjectMap> map = LLKCObjectMap::map();
  for (int key : {3, 1, 4, 2}) ASSERT_EQ(map->store(item(key), "uid." + std::to_string(key)), 0);
  std::vector<int> visited;
  map->forEach([&](const std::string&, LLKBObject* object) { visited.push_back(static_cast<Item*>(object)->key); });
  EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 4}));
  std::vector<std::string> asked;
  const size_t removed = map->removeIf([&](const std::string& key, LLKBObject* object) {
    asked.push_back(key);
    return static_cast<Item*>(object)->key % 2 == 0;
  });
  EXPECT_EQ(removed, 2u);
  EXPECT_EQ(asked, (std::vector<std::string>{"uid.1", "uid.2", "uid.3", "uid.4"}));
  EXPECT_EQ(map->count(), 2u);
  EXPECT_TRUE(map->contains("uid.1"));
  EXPECT_FALSE(map->contains("uid.2"));
}

TEST(Table, MapsNumbersToObjects) {
  Ref<LLKCObjectTable> table = LLKCObjectTable::tableWithCapacity(32);
  EXPECT_EQ(table->store(item(7), 0xFFFFFFFFFFull), 0);
  EXPECT_EQ(table->fetchForKeyAs<Item>(0xFFFFFFFFFFull)->key, 7);
  EXPECT_FALSE(table->fetchForKey(0));
  EXPECT_TRUE(table->contains(0xFFFFFFFFFFull));
}

TEST(Tuple, SlotsAreFixedAndMayBeEmpty) {
  Ref<LLKCObjectTuple> tuple = LLKCObjectTuple::tupleWithCapacity(2);
  EXPECT_EQ(tuple->count(), 2u);
  EXPECT_FALSE(tuple->fetchAtIndex(0));
  EXPECT_EQ(tuple->store(item(5), 1), 0);
  EXPECT_EQ(tuple->store(item(6), 2), 22);
  EXPECT_EQ(tuple->fetchAtIndexAs<Item>(1)->key, 5);
  EXPECT_EQ(tuple->store(nullptr, 1), 0);
  EXPECT_FALSE(tuple->fetchAtIndex(1));
  EXPECT_EQ(LLKCObjectTuple::tupleWithObjects({item(1), nullptr})->count(), 2u);
}

TEST(Pile, HoldsEachObjectOnceInArrivalOrder) {
  Ref<LLKCObjectPile> pile = LLKCObjectPile::pileWithCapacity(4);
  Ref<LLKBObject> a = item(1), b = item(2);
  EXPECT_EQ(pile->append(a), 0);
  EXPECT_EQ(pile->append(b), 0);
  EXPECT_EQ(pile->append(a), 17);
  EXPECT_EQ(pile->count(), 2u);
  EXPECT_TRUE(pile->remove(a.get()));
  EXPECT_FALSE(pile->remove(a.get()));
  EXPECT_EQ(pile->fetchAtIndex(0).get(), b.get());
  EXPECT_EQ(pile->append(a), 0);
  EXPECT_EQ(pile->fetchAtIndex(1).get(), a.get());
}

}  // namespace
