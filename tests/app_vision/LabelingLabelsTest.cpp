// The labelling view's label list and COCO labels table, from resource files given as JSON text.
#include <gtest/gtest.h>

#include <cstring>

#include "app/vision/VSKFLabelingLabels.h"
#include "framework/core/JSKCReader.h"

namespace {
Ref<JSKCFrame> parsed(const std::string& text) {
  Ref<JSKCReader> reader = JSKCReader::reader();
  return reader ? reader->readFromString(text) : nullptr;
}

std::vector<uint32_t> entries(const LLKCData& table) {
  std::vector<uint32_t> values(table.length() / sizeof(uint32_t));
  std::memcpy(values.data(), table.bytes(), values.size() * sizeof(uint32_t));
  return values;
}

TEST(LabelingLabels, TheFeedsNamesFollowNull) {
  Ref<JSKCFrame> file = parsed(R"({"qav.stream.fovl.seg": ["A", "B"], "qav.stream.peri.seg": 3})");
  ASSERT_TRUE(file);
  EXPECT_EQ(VSKFLabelingLabelNames(*file, "qav.stream.fovl.seg"), (std::vector<std::string>{"null", "A", "B"}));
  EXPECT_TRUE(VSKFLabelingLabelNames(*file, "qav.stream.peri.seg").empty()) << "not an array: not even null";
  EXPECT_TRUE(VSKFLabelingLabelNames(*file, "other").empty());
}

TEST(LabelingLabels, TheTableIsSizedByTheLargestCategoryId) {
  // Two categories with ids up to 90: sized by the number (2) the table would drop id 90.
  Ref<JSKCFrame> coco = parsed(R"({"labels": [
      {"id": 1, "qav.fovl": "A", "qav.peri": "B"},
      {"id": 90, "qav.fovl": "B", "qav.peri": "A"},
      {"id": 5, "qav.fovl": "unknown"},
      {"id": -1, "qav.fovl": "A"},
      {"id": 70000, "qav.fovl": "A"},
      {"qav.fovl": "A"}, 7]})");
  ASSERT_TRUE(coco);
  const std::vector<std::string> labels = {"null", "A", "B"};
  Ref<LLKCData> foveal = VSKFLabelingLabelsTable(*coco, false, labels);
  ASSERT_TRUE(foveal);
  std::vector<uint32_t> table = entries(*foveal);
  ASSERT_EQ(table.size(), 91u);
  EXPECT_EQ(table[1], 1u);
  EXPECT_EQ(table[90], 2u);
  EXPECT_EQ(table[5], 0u) << "a name absent from the list stays null";
  Ref<LLKCData> peripheral = VSKFLabelingLabelsTable(*coco, true, labels);
  ASSERT_TRUE(peripheral);
  table = entries(*peripheral);
  EXPECT_EQ(table[1], 2u);
  EXPECT_EQ(table[90], 1u);
}

TEST(LabelingLabels, NoTableWithoutCategories) {
  for (const char* text : {R"({})", R"({"labels": []})", R"({"labels": {}})"}) {
    Ref<JSKCFrame> coco = parsed(text);
    ASSERT_TRUE(coco);
    EXPECT_FALSE(VSKFLabelingLabelsTable(*coco, false, {"null"})) << text;
  }
}
}  // namespace
