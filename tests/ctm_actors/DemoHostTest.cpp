// The demonstration solution run by the headless host: the CTM ticks with chunks of all four
// kinds among its winners.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCFunc.h"
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

}  // namespace
