// Tick statements into tick records (valid and each kind of malformed), and the chunk functions
// the timeline draws with.
#include <gtest/gtest.h>

#include "app/ctm/VSKCTimelineTick.h"
#include "app/ctm/VSKFTimelineChunks.h"
#include "framework/substrate/MRKCSymbol.h"
#include "tests/ctm_views/ChunkText.h"

namespace {

const std::string kA = chunkText("alice", "u1"), kB = chunkText("bob", "u2", "reply(q9)", "blue"),
                  kK = chunkText("carol", "u3", "kudos(u2)", "2.0");

TEST(TimelineTick, StatementsIntoTicks) {
  struct Case {
    std::string terms;
    bool made;
    size_t broadcast, submitted, direct, dropped;
    const char* problem;
  } cases[] = {
      {tickTerms(7, "[" + kA + "]", "[" + kA + ", " + kB + "]", "[" + kK + "]"), true, 1, 2, 1, 0, ""},
      {tickTerms(8, "[]", "[]", "[]"), true, 0, 0, 0, 0, ""},
      // Malformed chunks are left out one by one: too few terms, no uid, a uid that is not a
      // symbol, a kind func without a symbol, a weight that is not a number, not a list.
      {tickTerms(9, "[[a, 7]]", "[[a, 7, u1, tweet, x, 1.0, 1.0], [a, 7, 5, tweet, x, 1.0, 1.0, 0.0], " + kA + "]",
                 "[[a, 7, u9, reply(5), x, 1.0, 1.0, 0.0], [a, 7, u8, tweet, x, heavy, 1.0, 0.0], 42]"),
       true, 0, 1, 0, 6, ""},
      {"[7, []]", false, 0, 0, 0, 0, "3 terms"},
      {"[7, [], {\"chunks\": [], \"links\": []}, extra]", false, 0, 0, 0, 0, "3 terms"},
      {"[7, [], [\"chunks\"]]", false, 0, 0, 0, 0, "not a frame"},
      {"[7, [], {\"chunks\": []}]", false, 0, 0, 0, 0, "\"links\""},
      {"[7, [], {\"chunks\": x, \"links\": []}]", false, 0, 0, 0, 0, "\"chunks\""},
      {"[7, winners, {\"chunks\": [], \"links\": []}]", false, 0, 0, 0, 0, "winners"},
      {"[seven, [], {\"chunks\": [], \"links\": []}]", false, 0, 0, 0, 0, "not a number"},
  };
  for (const Case& c : cases) {
    std::string problem;
    Ref<VSKCTimelineTick> tick = VSKCTimelineTick::tickWithStatement(tickStatement(c.terms).get(), &problem);
    ASSERT_EQ(static_cast<bool>(tick), c.made) << c.terms << ": " << problem;
    if (!tick) {
      EXPECT_NE(problem.find(c.problem), std::string::npos) << c.terms << ": " << problem;
      continue;
    }
    EXPECT_EQ(tick->broadcast()->count(), c.broadcast) << c.terms;
    EXPECT_EQ(tick->submitted()->count(), c.submitted) << c.terms;
    EXPECT_EQ(tick->direct()->count(), c.direct) << c.terms;
    EXPECT_EQ(tick->dropped(), c.dropped) << c.terms;
  }
  EXPECT_FALSE(VSKCTimelineTick::tickWithStatement(nullptr, nullptr));
}

TEST(TimelineTick, TheNumberAndTheVeryListsAreKept) {
  Ref<MRKCStatement> statement = tickStatement(tickTerms(12, "[" + kA + "]", "[" + kA + "]", "[]"));
  Ref<VSKCTimelineTick> tick = VSKCTimelineTick::tickWithStatement(statement.get(), nullptr);
  ASSERT_TRUE(tick);
  EXPECT_EQ(tick->tick(), 12u);
  EXPECT_EQ(tick->broadcast(), statement->terms()->fetchAtIndex(1)) << "a list of good chunks is not copied";
  EXPECT_FALSE(tick->isEmpty());
}

TEST(TimelineChunks, KudosAreHiddenOnlyWhenAsked) {
  Ref<MRKBTerm> chunks = readTerm("[" + kA + ", " + kK + ", " + kB + "]");
  std::vector<MRKCList*> out;
  VSKFTimelineViewFilterChunks(chunks->asList(), false, out);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[1], chunks->asList()->fetchAtIndex(1)) << "the very elements";
  VSKFTimelineViewFilterChunks(chunks->asList(), true, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[1], chunks->asList()->fetchAtIndex(2)) << "a reply is kept";
  Ref<MRKBTerm> onlyKudos = readTerm("[" + kK + "]");
  VSKFTimelineViewFilterChunks(onlyKudos->asList(), true, out);
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(VSKFTimelineViewIsChunkAKudos(asList(readTerm(kK).get())));
  EXPECT_FALSE(VSKFTimelineViewIsChunkAKudos(asList(readTerm(kB).get())));
  EXPECT_FALSE(VSKFTimelineViewIsChunkAKudos(asList(readTerm(chunkText("a", "u", "kudos")).get())));
}

TEST(TimelineChunks, ChunksAreToldApartByUid) {
  Ref<MRKBTerm> winners = readTerm("[" + kA + "]");
  EXPECT_TRUE(VSKFTimelineViewChunkInList(asList(readTerm(chunkText("other", "u1")).get()), winners->asList()));
  EXPECT_FALSE(VSKFTimelineViewChunkInList(asList(readTerm(kB).get()), winners->asList()));
  EXPECT_FALSE(VSKFTimelineViewChunkInList(asList(readTerm(kA).get()), asList(readTerm("[]").get())));
  // Uids whose 32-bit hashes would collide are still two chunks: only the value counts.
  Ref<MRKBTerm> many = readTerm("[" + chunkText("a", "'u 1'") + ", " + chunkText("a", "'u 2'") + "]");
  EXPECT_FALSE(VSKFTimelineViewChunkInList(asList(readTerm(chunkText("a", "'u 3'")).get()), many->asList()));
}

TEST(TimelineChunks, GistTexts) {
  const std::string longSymbol(300, 'x');
  struct Case {
    std::string gist;
    std::string text;
  } cases[] = {
      {"[[f(a, b, c)]]", "f(_,_)"},
      {"[1, 2]", "[...]"},
      {"[]", "[...]"},
      {"{\"token\": \"hello\", \"x\": 1}", "\"hello\""},
      {"{}", "{...}"},
      {"{\"x\": 1}", "{\"x\": 1}"},
      {"hello", "hello"},
      {"a^b", "MRKCQuirk"},
      {"X", "MRKCVariable"},
      // An atom's text is given whole, however long; funcs and frames stay bounded.
      {longSymbol, longSymbol},
      {"\"" + longSymbol + "\"", "\"" + longSymbol + "\""},
      {longSymbol + "(1)", std::string(129, 'x') + "\u2026"},
      {"{\"token\": " + longSymbol + "}", std::string(129, 'x') + "\u2026"},
  };
  for (const Case& c : cases) EXPECT_EQ(VSKFTimelineViewStringify(readTerm(c.gist).get()), c.text) << c.gist;
  // A list of one element nested deeper than the reader allows still gives its element's text.
  Ref<MRKBTerm> deep = MRKCSymbol::symbolWithValue("core");
  for (int i = 0; i < 5000; ++i) deep = MRKCList::listWithTerms({deep.get()});
  EXPECT_EQ(VSKFTimelineViewStringify(deep.get()), "core");
}

}  // namespace
