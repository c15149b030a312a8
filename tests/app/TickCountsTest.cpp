// The statistics graph's counts come from a tick squib whose every part is checked.
#include <gtest/gtest.h>

#include "app/shell/VSKFTickCounts.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCString.h"

namespace {

Ref<MRKCSquib> tick(const char* termsText) {
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(termsText);
  Ref<MRKCList> terms = term ? refCast<MRKCList>(term) : nullptr;
  if (!terms) return nullptr;
  Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel("ctm.tick", terms.get(), 1.0);
  return MRKCSquib::squibWithLabel("ctm.tick", statement.get(), 5.0f);
}

TEST(TickCounts, ReadsTheListsThatArePresentAndNothingElse) {
  struct Case {
    const char* terms;
    std::optional<float> winners, chunks, links;
  };
  const Case cases[] = {
      {"[7, [a, b], {\"chunks\": [1, 2, 3, 4, 5, 6, 7], \"links\": []}]", 2, 7, 0},
      {"[7, [a, b], {\"chunks\": [1]}]", 2, 1, std::nullopt},
      {"[7, [], {\"chunks\": 3, \"links\": [x]}]", 0, std::nullopt, 1},
      {"[7, none, 5]", std::nullopt, std::nullopt, std::nullopt},
      {"[7]", std::nullopt, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.terms);
    Ref<MRKCSquib> squib = tick(c.terms);
    ASSERT_TRUE(squib);
    VSKTTickCounts counts = VSKFTickCounts(squib.get());
    EXPECT_EQ(counts.winners, c.winners);
    EXPECT_EQ(counts.chunks, c.chunks);
    EXPECT_EQ(counts.links, c.links);
  }
}

TEST(TickCounts, AnythingButASquibCountsNothing) {
  Ref<MRKCString> text = MRKCString::stringWithValue("tick");
  for (const LLKBObject* payload :
       {static_cast<const LLKBObject*>(nullptr), static_cast<const LLKBObject*>(text.get())}) {
    VSKTTickCounts counts = VSKFTickCounts(payload);
    EXPECT_FALSE(counts.winners || counts.chunks || counts.links);
  }
}

}  // namespace
