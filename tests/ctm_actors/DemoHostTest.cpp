// The demonstration solution run by the headless host: the CTM ticks with chunks of all four
// kinds among its winners, and what it decodes of them reaches the expression viewer's channels
// in the form the viewer reads.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCFunc.h"
#include "framework/substrate/MRKCString.h"
#include "tests/support/HostRun.h"

namespace {

TEST(DemoHost, TheDemonstrationTicksWithAllFourKindsOfChunk) {
  HostRun run = runHost(CTM_HOST, std::string("--follow ctm.tick --count 24 --seconds 60 ") + CTM_DEMO);
  const std::string& output = run.output;
  ASSERT_EQ(run.status, 0) << output;

  std::set<std::string> kinds;
  size_t ticks = 0;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    ASSERT_EQ(line.rfind("ctm.tick\t", 0), 0u) << line;
    Ref<MRKBTerm> statement = MRKCReader::reader()->readTermFromString(line.substr(line.find('\t') + 1));
    MRKCList* winners = statement && statement->asList() ? asList(statement->asList()->fetchAtIndex(1)) : nullptr;
    ASSERT_TRUE(winners) << line;
    ++ticks;
    for (const auto& chunk : winners->terms()) {
      MRKBTerm* kind = asList(chunk.get()) ? asList(chunk.get())->fetchAtIndex(3) : nullptr;
      if (MRKCFunc* func = asFunc(kind)) kind = func->label();
      if (MRKCSymbol* symbol = asSymbol(kind)) kinds.insert(symbol->value());
    }
  }
  EXPECT_EQ(ticks, 24u);
  EXPECT_EQ(kinds, (std::set<std::string>{"kudos", "query", "reply", "tweet"})) << output;
}

// "nlp.decode" carries [decoded, "<sender> : <kind>", gist, tick] and "nlp.decode.all"
// [decoded, "tick <n>", [gist, ...], tick]: four terms, a caption string, then the term or list.
TEST(DemoHost, TheDemonstrationDecodesItsWinnersOnTheExpressionViewersChannels) {
  HostRun run = runHost(CTM_HOST, std::string("--follow nlp.decode --follow nlp.decode.all --count 6 --seconds 60 ") +
                                      CTM_DEMO);
  const std::string& output = run.output;
  ASSERT_EQ(run.status, 0) << output;
  std::set<std::string> labels;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    const std::string label = line.substr(0, line.find('\t'));
    labels.insert(label);
    Ref<MRKBTerm> statement = MRKCReader::reader()->readTermFromString(line.substr(line.find('\t') + 1));
    MRKCList* terms = statement ? statement->asList() : nullptr;
    ASSERT_TRUE(terms && terms->count() == 4) << line;
    ASSERT_TRUE(asString(terms->fetchAtIndex(1))) << line;
    if (label == "nlp.decode.all") {
      MRKCList* all = asList(terms->fetchAtIndex(2));
      ASSERT_TRUE(all && all->count() > 0) << line;
    } else {
      EXPECT_EQ(label, "nlp.decode");
      EXPECT_NE(asString(terms->fetchAtIndex(1))->value().find(" : "), std::string::npos) << line;
    }
  }
  EXPECT_EQ(labels, (std::set<std::string>{"nlp.decode", "nlp.decode.all"})) << output;
}

}  // namespace
