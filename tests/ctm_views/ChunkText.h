#pragma once
// Terms for the CTM view tests, written in the term text form.
#include <gtest/gtest.h>

#include <string>

#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCStatement.h"

inline Ref<MRKBTerm> readTerm(const std::string& text) {
  std::string error;
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text, &error);
  EXPECT_TRUE(term) << text << ": " << error;
  return term;
}

// A well-formed chunk from sender, uid, kind and gist (texts), made for tick 7.
inline std::string chunkText(const std::string& sender, const std::string& uid, const std::string& kind = "tweet",
                             const std::string& gist = "hello") {
  return "[" + sender + ", 7, " + uid + ", " + kind + ", " + gist + ", 1.0, 0.5, 0.25]";
}

// A tick statement on ctm.tick from the texts of its terms.
inline Ref<MRKCStatement> tickStatement(const std::string& terms) {
  Ref<MRKBTerm> statement = readTerm("<ctm.tick " + terms + " 1.0>");
  return statement ? Ref<MRKCStatement>(statement->asStatement()) : nullptr;
}

// A tick with the winners, submitted and direct chunks (texts of lists).
inline std::string tickTerms(uint64_t tick, const std::string& winners, const std::string& submitted,
                             const std::string& direct) {
  return "[" + std::to_string(tick) + ", " + winners + ", {\"drop\": 0, \"chunks\": " + submitted +
         ", \"links\": " + direct + ", \"tick\": 250}]";
}
