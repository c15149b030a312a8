#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCFrame.h"
#include "framework/core/JSKCNull.h"
#include "framework/core/JSKCNumber.h"
#include "framework/core/JSKCReader.h"
#include "framework/core/JSKCString.h"
#include "framework/core/JSKCWriter.h"
#include "framework/core/JSKFParse.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"

#include "tests/core/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string labels(const JSKCFrame& frame) {
  std::string text;
  for (size_t i = 0; i < frame.count(); ++i) text += frame.labelAtIndex(i) + " ";
  return text;
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string readText(const std::string& path) {
  std::string text;
  LLKFReadFile(path.c_str(), text);
  return text;
}

struct JsonFiles : ::testing::Test {
  void SetUp() override { LLKFLogSetQuiet(true); }
  void TearDown() override { LLKFLogSetQuiet(false); }
  TemporaryFolder folder;
};

TEST(JsonFrame, MembersKeepTheirFirstOrderAndReplaceInPlace) {
  Ref<JSKCFrame> frame = JSKCFrame::frame();
  frame->storeUint(1, "zeta");
  frame->storeUint(2, "alpha");
  frame->storeUint(3, "mid");
  frame->storeReal(4.5, "zeta");
  EXPECT_EQ(labels(*frame), "zeta alpha mid ");
  EXPECT_DOUBLE_EQ(frame->realForLabel("zeta", 0), 4.5);
  EXPECT_TRUE(frame->removeForLabel("alpha"));
  EXPECT_EQ(labels(*frame), "zeta mid ");
  EXPECT_DOUBLE_EQ(frame->realForLabel("mid", 0), 3) << "found where it now stands";
  frame->storeReal(7, "alpha");
  EXPECT_EQ(labels(*frame), "zeta mid alpha ") << "stored again, at the end";
  frame->storeReal(8, "mid");
  EXPECT_EQ(labels(*frame), "zeta mid alpha ") << "replaced in place";
  EXPECT_DOUBLE_EQ(frame->realForLabel("mid", 0), 8);
  EXPECT_EQ(frame->labelAtIndex(9), "");
  EXPECT_FALSE(frame->fetchAtIndex(9));
}

TEST(JsonFrame, TypedReadsGiveTheDefaultForMissingOrMismatchedValues) {
  Ref<JSKCFrame> frame = JSKCFrame::frame();
  frame->storeBool(true, "visible");
  frame->storeSint(-4, "offset");
  frame->storeString("hello", "title");
  frame->storeReal(2.5, "scale");
  EXPECT_TRUE(frame->boolForLabel("visible", false));
  EXPECT_FALSE(frame->boolForLabel("offset", false));  // a number is no boolean
  EXPECT_EQ(frame->sintForLabel("offset", 0), -4);
  EXPECT_EQ(frame->uintForLabel("offset", 7), 7u);  // negative does not fit
  EXPECT_EQ(frame->uintForLabel("scale", 7), 7u);   // not whole
  EXPECT_DOUBLE_EQ(frame->realForLabel("visible", 9), 9);
  EXPECT_EQ(frame->stringForLabel("title", ""), "hello");
  EXPECT_EQ(frame->stringForLabel("scale", "none"), "none");
  EXPECT_FALSE(frame->frameForLabel("title"));
  EXPECT_FALSE(frame->arrayForLabel("missing"));
}

TEST(JsonFrame, ChildFramesAreSharedSoLaterChangesShow) {
  Ref<JSKCFrame> root = JSKCFrame::frame();
  Ref<JSKCFrame> view = JSKCFrame::frame();
  ASSERT_EQ(root->store(view, "ui.timeline"), 0);
  root->frameForLabel("ui.timeline")->storeBool(true, "visible");
  EXPECT_TRUE(view->boolForLabel("visible", false));
  EXPECT_EQ(root->store(root, "self"), 22);
  EXPECT_EQ(root->store(nullptr, "nothing"), 22);
}

TEST_F(JsonFiles, WrittenFilesReadBackWithOrderAndKinds) {
  Ref<JSKCFrame> frame = JSKCFrame::frame();
  frame->storeString("b", "second");
  frame->storeString("a", "first");
  frame->storeUint(18446744073709551615ull, "big");
  frame->storeSint(-9, "negative");
  frame->storeReal(0.1, "real");
  frame->storeBool(false, "flag");
  frame->store(JSKCNull::null(), "nothing");
  Ref<JSKCArray> items = JSKCArray::array();
  items->append(JSKCString::stringWithString("x"));
  items->append(JSKCNumber::numberWithReal(1.5));
  frame->store(items, "items");
  std::string path = folder.file("config.json");
  ASSERT_TRUE(JSKCWriter::writer()->write(frame.get(), path.c_str()));

  Ref<JSKCFrame> back = JSKCReader::reader()->readFromPath(path.c_str());
  ASSERT_TRUE(back);
  EXPECT_EQ(labels(*back), "second first big negative real flag nothing items ");
  EXPECT_EQ(back->uintForLabel("big", 0), 18446744073709551615ull);
  EXPECT_EQ(back->sintForLabel("negative", 0), -9);
  EXPECT_EQ(back->realForLabel("real", 0), 0.1);
  EXPECT_FALSE(back->boolForLabel("flag", true));
  EXPECT_EQ(back->fetchForLabel("nothing")->kind(), JSKBValue::Kind::null);
  Ref<JSKCArray> array = back->arrayForLabel("items");
  ASSERT_TRUE(array);
  ASSERT_EQ(array->count(), 2u);
  EXPECT_EQ(array->atIndex(0)->asString()->string(), "x");
  EXPECT_EQ(array->atIndex(1)->asNumber()->realValue(), 1.5);
  EXPECT_FALSE(array->atIndex(2));
}

TEST_F(JsonFiles, ReadingFailsWithNullNeverAnEmptyFrame) {
  struct Case {
    const char* name;
    const char* text;  // null: no file at all
  };
  const Case cases[] = {
      {"missing.json", nullptr}, {"broken.json", "{\"a\": 1,"}, {"array.json", "[1, 2]"}, {"number.json", "42"},
      {"empty.json", ""},        {"trailing.json", "{} {}"},
  };
  for (const Case& c : cases) {
    std::string path = folder.file(c.name);
    if (c.text) writeText(path, c.text);
    EXPECT_FALSE(JSKCReader::reader()->readFromPath(path.c_str())) << c.name;
  }
  EXPECT_FALSE(JSKCReader::reader()->readFromPath(nullptr));
  EXPECT_FALSE(JSKCReader::reader()->readFromPath(folder.path().c_str()));
  EXPECT_TRUE(JSKCReader::reader()->readFromString("{}"));
}

// A NUL byte is no end of the text: wherever it stands unescaped, the text is refused at its line
// and column (the conformance suite's cases first), unless the text failed before it. Escaped in
// a string it is a character like any other.
TEST(JsonParse, ANulByteIsAnErrorAtItsLineAndColumn) {
  using namespace std::string_literals;
  struct Case {
    const char* name;
    std::string text;
    const char* error;  // null: read
  };
  const Case cases[] = {
      {"n_multidigit_number_then_00", "123\0"s, "not JSON at line 1, column 4: a NUL byte"},
      {"n_structure_null-byte-outside-string", "[\0]"s, "not JSON at line 1, column 2: a NUL byte"},
      {"n_string_unescaped_ctrl_char", "[\"a\0a\"]"s, "not JSON at line 1, column 4: a NUL byte"},
      {"y_string_null_escape", R"(["\u0000"])", nullptr},
      {"an object, a NUL and junk", "{\"a\":1}\0junk"s, "not JSON at line 1, column 8: a NUL byte"},
      {"a NUL alone after the last line", "{\n  \"a\": 1\n}\n\0"s, "not JSON at line 4, column 1: a NUL byte"},
      {"a NUL inside a value", "{\"a\": 1\0 2}"s, "not JSON at line 1, column 8: a NUL byte"},
      {"a fault before the NUL is said first", "[1,,2]\0"s, "not JSON at line 1, column 4"},
      {"no NUL", "{\"a\": 1}", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nlohmann::ordered_json json;
    std::string error;
    const bool read = JSKFParseOrdered(c.text, &json, JSKDuplicateKeys::refuse, &error);
    EXPECT_EQ(read, !c.error) << error;
    if (c.error) {
      EXPECT_EQ(error.substr(0, std::strlen(c.error)), c.error);
    }
  }
  // The settings reader refuses the object with a NUL and junk after it.
  EXPECT_FALSE(JSKCReader::reader()->readFromString("{\"a\":1}\0junk"s));
  EXPECT_TRUE(JSKCReader::reader()->readFromString("{\"a\":1}"));
}

TEST_F(JsonFiles, DeepNestingIsRefusedInsteadOfExhaustingTheStack) {
  std::string deep = "{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}";
  EXPECT_FALSE(JSKCReader::reader()->readFromString(deep));
  std::string fine = "{\"a\":" + std::string(100, '[') + std::string(100, ']') + "}";
  EXPECT_TRUE(JSKCReader::reader()->readFromString(fine));
}

TEST_F(JsonFiles, AFailedWriteLeavesTheOldFileWhole) {
  std::string path = folder.file("config.json");
  writeText(path, "{\"kept\": true}\n");
  // A frame that holds itself through a child cannot be written.
  Ref<JSKCFrame> loop = JSKCFrame::frame();
  Ref<JSKCFrame> child = JSKCFrame::frame();
  loop->store(child, "child");
  child->store(loop, "parent");
  EXPECT_FALSE(JSKCWriter::writer()->write(loop.get(), path.c_str()));
  child->removeForLabel("parent");  // break the cycle so both are freed
  EXPECT_EQ(readText(path), "{\"kept\": true}\n");
  // A folder that does not exist: nothing is written anywhere.
  EXPECT_FALSE(JSKCWriter::writer()->write(child.get(), folder.file("none/config.json").c_str()));
  EXPECT_FALSE(JSKCWriter::writer()->write(nullptr, path.c_str()));
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) ++entries;
  EXPECT_EQ(entries, 1u);  // no temporary file left behind
}

TEST_F(JsonFiles, ReplacingAFileKeepsItsMode) {
  std::string path = folder.file("config.json");
  writeText(path, "{}");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ASSERT_TRUE(JSKCWriter::writer()->write(JSKCFrame::frame().get(), path.c_str()));
  EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(readText(path), "{}\n");
}

}  // namespace
