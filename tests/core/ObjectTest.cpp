#include "framework/core/LLKBObject.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct Probe : LLKBObject {
  explicit Probe(int* deaths) : deaths_(deaths) {}
  ~Probe() override { ++*deaths_; }
  int* deaths_;
};

struct Derived : Probe {
  using Probe::Probe;
};

TEST(Ref, CountsOwnersAndDeletesWithTheLast) {
  int deaths = 0;
  {
    Ref<Probe> first = makeRef<Probe>(&deaths);
    EXPECT_EQ(first->retainCount(), 1u);
    Ref<Probe> second = first;
    EXPECT_EQ(first->retainCount(), 2u);
    Ref<Probe> moved = std::move(second);
    EXPECT_FALSE(second);
    EXPECT_EQ(first->retainCount(), 2u);
  }
  EXPECT_EQ(deaths, 1);
}

TEST(Ref, CastsToBaseAndBackOnlyWhenTheKindMatches) {
  int deaths = 0;
  Ref<Probe> base = makeRef<Derived>(&deaths);
  EXPECT_TRUE(refCast<Derived>(base));
  Ref<Probe> plain = makeRef<Probe>(&deaths);
  EXPECT_FALSE(refCast<Derived>(plain));
}

TEST(Ref, ManyThreadsSharingOneObjectLeaveTheCountExact) {
  int deaths = 0;
  Ref<Probe> shared = makeRef<Probe>(&deaths);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([shared] {
      for (int i = 0; i < 10000; ++i) {
        Ref<Probe> copy = shared;
      }
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(shared->retainCount(), 1u);
  shared.reset();
  EXPECT_EQ(deaths, 1);
}

// Hands itself to a Ref while it is being made, before its creator holds it.
struct SelfHolder : Probe {
  explicit SelfHolder(int* deaths) : Probe(deaths) { Ref<SelfHolder> self(this); }
};

TEST(Ref, ARefOfItselfBeforeTheFirstOwnerDoesNotDeleteTheObject) {
  int deaths = 0;
  {
    Ref<SelfHolder> made = makeRef<SelfHolder>(&deaths);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(made->retainCount(), 1u);
    // Retaining by the raw pointer adds an owner; adopting a fresh object does not.
    Ref<SelfHolder> retained(made.get());
    EXPECT_EQ(made->retainCount(), 2u);
  }
  EXPECT_EQ(deaths, 1);
  {
    Ref<Probe> adopted = adoptRef(new Probe(&deaths));
    EXPECT_EQ(adopted->retainCount(), 1u);
    (void)Ref<Probe>(adopted.get());  // a temporary that retains and releases
    EXPECT_EQ(deaths, 1);
  }
  EXPECT_EQ(deaths, 2);
}

TEST(Ref, ReleaseIfLastLetsGoOnlyOfTheLastReference) {
  int deaths = 0;
  Ref<Probe> ours = makeRef<Probe>(&deaths);
  Ref<Probe> theirs = ours;
  EXPECT_FALSE(ours.releaseIfLast());
  EXPECT_TRUE(ours);
  theirs.reset();
  EXPECT_TRUE(ours.releaseIfLast());
  EXPECT_FALSE(ours);
  EXPECT_EQ(deaths, 1);
  EXPECT_FALSE(ours.releaseIfLast());
}

}  // namespace

namespace {

// A subclass whose own release() means something else must not break the counting.
struct Valve : LLKBObject {
  explicit Valve(int* deaths) : deaths_(deaths) {}
  ~Valve() override { ++*deaths_; }
  void release() { opened = true; }
  bool opened = false;
  int* deaths_;
};

TEST(Ref, CountsThroughTheRootEvenWhenASubclassNamesAMethodRelease) {
  int deaths = 0;
  {
    Ref<Valve> valve = makeRef<Valve>(&deaths);
    Ref<Valve> second = valve;
    second.reset();
    EXPECT_FALSE(valve->opened);
  }
  EXPECT_EQ(deaths, 1);
}

}  // namespace
