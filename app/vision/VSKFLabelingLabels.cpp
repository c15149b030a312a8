#include "app/vision/VSKFLabelingLabels.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCNumber.h"
#include "framework/core/JSKCString.h"

namespace {
struct Category {
  uint64_t id;
  std::string name;
};

// A category element with a whole "id" within range and a string under the key.
std::optional<Category> categoryOf(const JSKBValue* value, const char* key) {
  const JSKCFrame* frame = value ? value->asFrame() : nullptr;
  Ref<JSKBValue> id = frame ? frame->fetchForLabel("id") : nullptr;
  Ref<JSKBValue> name = frame ? frame->fetchForLabel(key) : nullptr;
  const JSKCNumber* number = id ? id->asNumber() : nullptr;
  const JSKCString* text = name ? name->asString() : nullptr;
  std::optional<uint64_t> whole = number ? number->uintValue() : std::nullopt;
  if (!whole || *whole > kVSKLabelingLargestCategory || !text) return std::nullopt;
  return Category{*whole, text->string()};
}
}  // namespace

std::vector<std::string> VSKFLabelingLabelNames(const JSKCFrame& labelsFile, const std::string& feed) {
  Ref<JSKCArray> names = labelsFile.arrayForLabel(feed);
  if (!names) return {};
  std::vector<std::string> labels = {"null"};
  for (size_t i = 0; i < names->count(); ++i) {
    Ref<JSKBValue> name = names->atIndex(i);
    const JSKCString* text = name ? name->asString() : nullptr;
    labels.push_back(text ? text->string() : std::string());
  }
  return labels;
}

Ref<LLKCData> VSKFLabelingLabelsTable(const JSKCFrame& cocoFile, bool peripheral,
                                      const std::vector<std::string>& labels) {
  Ref<JSKCArray> categories = cocoFile.arrayForLabel("labels");
  if (!categories || categories->count() == 0) return nullptr;
  const char* key = peripheral ? "qav.peri" : "qav.fovl";
  std::vector<Category> found;
  uint64_t largest = 0;
  for (size_t i = 0; i < categories->count(); ++i) {
    std::optional<Category> category = categoryOf(categories->atIndex(i).get(), key);
    if (!category) continue;
    largest = std::max(largest, category->id);
    found.push_back(std::move(*category));
  }
  std::vector<uint32_t> table(largest + 1, 0);
  for (const Category& category : found) {
    auto at = std::find(labels.begin(), labels.end(), category.name);
    if (at != labels.end()) table[category.id] = static_cast<uint32_t>(at - labels.begin());
  }
  return LLKCData::dataWithBytes(table.data(), table.size() * sizeof(uint32_t));
}
