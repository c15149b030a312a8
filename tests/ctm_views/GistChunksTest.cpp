// The chunk viewer's table: chunks by uid with their replies' gists, reservations made by replies
// that come before their query, expiry 512 ticks on (also across a wrap of the tick counter),
// repeats taken in once, malformed chunks refused; and the caption of a chunk.
#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

#include "app/ctm/VSKFGistChunks.h"
#include "tests/ctm_views/ChunkText.h"

namespace {

// A well-formed chunk of "sender" made at the tick (as text).
std::string chunkAt(const std::string& tick, const std::string& uid, const std::string& kind = "tweet",
                    const std::string& gist = "hello") {
  return "[sender, " + tick + ", " + uid + ", " + kind + ", " + gist + ", 0.5, 0.5, 0.25]";
}

class GistChunks : public ::testing::Test {
protected:
  int insert(const std::string& text) {
    Ref<MRKBTerm> chunk = readTerm(text);
    return VSKFGistViewChunkInsert(&table, chunk.get());
  }
  // Takes in a tick: the last tick moves and the due entries go.
  void tick(uint64_t n) {
    table.lastTick = n;
    VSKFGistViewChunkExpire(&table);
  }
  Ref<VSKCGistChunkEntry> entry(const char* uid) const {
    return Ref<VSKCGistChunkEntry>(table.chunkTable->fetchForKey(uid));
  }
  std::vector<std::string> replies(const char* uid) const {
    std::vector<std::string> texts;
    Ref<VSKCGistChunkEntry> found = entry(uid);
    if (found && found->replies)
      for (const auto& gist : found->replies->terms()) texts.push_back(gist->text());
    return texts;
  }

  VSKTGistChunkTable table = VSKFGistChunkTableMake();
};

TEST_F(GistChunks, AChunkIsKeptFor512TicksAfterItsOwnTickAlsoAcrossAWrapOfTheCounter) {
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  struct Case {
    const char* what;
    uint64_t last;  // the last tick when it comes
    uint64_t made;
    uint64_t keptUntil;  // the last tick that keeps it; the next removes it
  };
  const Case cases[] = {
      {"tick 10", 10, 10, 522},
      {"made just before the counter wraps", kMax - 5, kMax - 5, 506},  // kMax - 5 + 512 wraps to 506
      {"made after the wrap, taken in just before it", kMax - 2, 3, 515},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    table = VSKFGistChunkTableMake();
    table.lastTick = c.last;
    ASSERT_EQ(insert(chunkAt(std::to_string(c.made), "u1")), kVSKGistInserted);
    tick(c.last);
    EXPECT_TRUE(entry("u1"));
    tick(c.keptUntil);
    EXPECT_TRUE(entry("u1"));
    tick(c.keptUntil + 1);
    EXPECT_FALSE(entry("u1"));
  }
}

// A busy stage brings thousands of chunks a tick: each is listed for expiry once, under its own
// tick, and a reservation its query fills is listed under the query's tick as well.
TEST_F(GistChunks, EachEntryIsListedForExpiryUnderTheTickItExpiresBy) {
  auto listed = [&] {
    std::vector<std::pair<uint64_t, std::string>> all;
    for (const auto& [at, uids] : table.byTick)
      for (const Ref<MRKCSymbol>& uid : uids) all.emplace_back(at, uid->value());
    return all;
  };
  using Listed = std::vector<std::pair<uint64_t, std::string>>;
  table.lastTick = 11;
  ASSERT_EQ(insert(chunkAt("10", "t1")), kVSKGistInserted);
  ASSERT_EQ(insert(chunkAt("10", "t1")), kVSKGistInserted);
  EXPECT_EQ(listed(), (Listed{{10, "t1"}})) << "a chunk once, under its own tick, also when it comes again";
  ASSERT_EQ(insert(chunkAt("10", "r1", "reply(q1)")), kVSKGistInserted);
  EXPECT_EQ(listed(), (Listed{{10, "t1"}, {10, "r1"}, {11, "q1"}})) << "a reservation under the tick it was made at";
  table.lastTick = 12;
  ASSERT_EQ(insert(chunkAt("12", "q1", "query")), kVSKGistInserted);
  EXPECT_EQ(listed(), (Listed{{10, "t1"}, {10, "r1"}, {11, "q1"}, {12, "q1"}}));
}

TEST_F(GistChunks, AChunkThatClaimsATickFarFromTheLastOneIsNotKept) {
  table.lastTick = 100;
  ASSERT_EQ(insert(chunkAt("101", "near")), kVSKGistInserted);
  ASSERT_EQ(insert(chunkAt("900", "ahead")), kVSKGistOutOfWindow);
  ASSERT_EQ(insert(chunkAt("-1", "negative")), kVSKGistInserted);  // reads as tick 0: 100 behind
  tick(100);
  EXPECT_TRUE(entry("near"));
  EXPECT_FALSE(entry("ahead"));
  EXPECT_TRUE(entry("negative"));
}

TEST_F(GistChunks, AReplyBeforeItsQueryReservesTheQueryWhichTheQueryFillsAndReservationsExpire) {
  table.lastTick = 20;
  ASSERT_EQ(insert(chunkAt("20", "r1", "reply(q1)", "yes")), kVSKGistInserted);
  ASSERT_EQ(insert(chunkAt("20", "r2", "reply(q1)", "no")), kVSKGistInserted);
  ASSERT_TRUE(entry("q1"));
  EXPECT_FALSE(entry("q1")->chunk) << "a reservation";
  EXPECT_EQ(replies("q1"), (std::vector<std::string>{"yes", "no"}));

  tick(30);
  ASSERT_EQ(insert(chunkAt("30", "q1", "query", "question")), kVSKGistInserted);
  ASSERT_TRUE(entry("q1")->chunk);
  EXPECT_EQ(replies("q1"), (std::vector<std::string>{"yes", "no"}));
  Ref<MRKBTerm> query = readTerm(chunkAt("30", "q1", "query", "question"));
  ASSERT_TRUE(VSKFGistViewChunkReplies(&table, query->asList()));
  EXPECT_EQ(VSKFGistViewChunkReplies(&table, query->asList())->count(), 2u);
  // From now on the query expires with its own tick; a reservation never filled expires too.
  ASSERT_EQ(insert(chunkAt("30", "r3", "reply(never)", "lost")), kVSKGistInserted);
  tick(542);
  EXPECT_TRUE(entry("q1"));
  EXPECT_TRUE(entry("never"));
  tick(543);
  EXPECT_FALSE(entry("q1"));
  EXPECT_FALSE(entry("never"));
}

TEST_F(GistChunks, ARepeatedChunkIsTakenInOnceSoARepeatedReplyAddsItsGistOnce) {
  table.lastTick = 5;
  ASSERT_EQ(insert(chunkAt("5", "q1", "query", "question")), kVSKGistInserted);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(insert(chunkAt("5", "r1", "reply(q1)", "yes")), kVSKGistInserted);
  // The first one seen stays, even when a later copy differs.
  ASSERT_EQ(insert(chunkAt("5", "q1", "query", "other")), kVSKGistInserted);
  EXPECT_EQ(replies("q1"), std::vector<std::string>{"yes"});
  EXPECT_EQ(entry("q1")->chunk->fetchAtIndex(4)->text(), "question");
  EXPECT_EQ(table.chunkTable->count(), 2u);
}

// A chunk already past its 512 ticks would go at the next expiry while its gist stayed with the
// query, so each time the same old reply came again its gist was added once more.
TEST_F(GistChunks, AChunkOutsideTheWindowIsLetGoAtOnceAndAddsNoGist) {
  table.lastTick = 2000;
  ASSERT_EQ(insert(chunkAt("2000", "q1", "query", "question")), kVSKGistInserted);
  for (const char* made : {"10", "2600"}) {  // too old, too far ahead
    SCOPED_TRACE(made);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(insert(chunkAt(made, "r1", "reply(q1)", "yes")), kVSKGistOutOfWindow);
      tick(2000);
    }
  }
  EXPECT_TRUE(replies("q1").empty());
  EXPECT_FALSE(entry("r1"));
  // At the edge of the window it is still taken in, once.
  ASSERT_EQ(insert(chunkAt("1488", "r2", "reply(q1)", "late")), kVSKGistInserted);
  EXPECT_EQ(replies("q1"), std::vector<std::string>{"late"});
}

TEST_F(GistChunks, MalformedChunksAreRefusedAndLeaveTheTableAlone) {
  const char* malformed[] = {
      "hello",                                                 // not a list
      "[sender, 5, u1, tweet, hello, 0.5, 0.5]",               // seven terms
      "[sender, five, u1, tweet, hello, 0.5, 0.5, 0.25]",      // the tick is no number
      "[sender, 5, \"u1\", tweet, hello, 0.5, 0.5, 0.25]",     // the uid is no symbol
      "[sender, 5, u1, reply(\"q\"), hello, 0.5, 0.5, 0.25]",  // the query uid is no symbol
      "[sender, 5, u1, reply(), hello, 0.5, 0.5, 0.25]",       // no query uid at all
      "[sender, 5, u1, tweet, hello, high, 0.5, 0.25]",        // the weight is no number
  };
  for (const char* text : malformed) {
    SCOPED_TRACE(text);
    EXPECT_EQ(insert(text), kVSKGistMalformed);
  }
  EXPECT_EQ(VSKFGistViewChunkInsert(&table, nullptr), kVSKGistMalformed);
  EXPECT_EQ(table.chunkTable->count(), 0u);
}

TEST(GistChunkString, NamesTheKindTheUidTheSenderAndTheNumbers) {
  struct Case {
    const char* kind;
    const char* caption;
  };
  const Case cases[] = {
      {"tweet", "T (u7) - sender - (0.50,0.50,0.25)"},
      {"query", "Q (u7) - sender - (0.50,0.50,0.25)"},
      {"reply(q1)", "R (u7) - sender - (0.50,0.50,0.25)"},
      {"kudos(r1)", "K (u7) - sender - (0.50,0.50,0.25)"},
  };
  for (const Case& c : cases) {
    Ref<MRKBTerm> chunk = readTerm(chunkAt("5", "u7", c.kind));
    EXPECT_EQ(VSKFGistViewMakeChunkString(chunk->asList()), c.caption);
  }
  EXPECT_EQ(VSKFGistViewMakeChunkString(nullptr), "");
}

}  // namespace
