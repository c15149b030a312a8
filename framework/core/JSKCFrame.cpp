#include "framework/core/JSKCFrame.h"

#include <cerrno>

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCNumber.h"
#include "framework/core/JSKCString.h"

#include <new>

Ref<JSKCFrame> JSKCFrame::frame() { return adoptRef(new JSKCFrame()); }

const Ref<JSKBValue>* JSKCFrame::find(std::string_view label) const {
  auto found = index_.find(label);
  return found == index_.end() ? nullptr : &members_[found->second].second;
}

int JSKCFrame::store(Ref<JSKBValue> value, std::string_view label) {
  if (!value || value.get() == this) return EINVAL;
  try {
    auto found = index_.find(label);
    if (found != index_.end()) {
      members_[found->second].second = std::move(value);
      return 0;
    }
    members_.emplace_back(std::string(label), std::move(value));
    try {
      index_.emplace(members_.back().first, members_.size() - 1);
    } catch (...) {
      members_.pop_back();
      throw;
    }
    return 0;
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

// A value that could not be made is a store without memory.
int JSKCFrame::storeBool(bool value, std::string_view label) {
  Ref<JSKCNumber> number = JSKCNumber::numberWithBool(value);
  return number ? store(number, label) : ENOMEM;
}
int JSKCFrame::storeUint(uint64_t value, std::string_view label) {
  Ref<JSKCNumber> number = JSKCNumber::numberWithUint(value);
  return number ? store(number, label) : ENOMEM;
}
int JSKCFrame::storeSint(int64_t value, std::string_view label) {
  Ref<JSKCNumber> number = JSKCNumber::numberWithSint(value);
  return number ? store(number, label) : ENOMEM;
}
int JSKCFrame::storeReal(double value, std::string_view label) {
  Ref<JSKCNumber> number = JSKCNumber::numberWithReal(value);
  return number ? store(number, label) : ENOMEM;
}
int JSKCFrame::storeString(std::string value, std::string_view label) {
  Ref<JSKCString> text = JSKCString::stringWithString(std::move(value));
  return text ? store(text, label) : ENOMEM;
}

Ref<JSKBValue> JSKCFrame::fetchForLabel(std::string_view label) const {
  const Ref<JSKBValue>* value = find(label);
  return value ? *value : nullptr;
}

Ref<JSKCFrame> JSKCFrame::frameForLabel(std::string_view label) const {
  Ref<JSKBValue> value = fetchForLabel(label);
  return value ? Ref<JSKCFrame>(value->asFrame()) : nullptr;
}

Ref<JSKCArray> JSKCFrame::arrayForLabel(std::string_view label) const {
  Ref<JSKBValue> value = fetchForLabel(label);
  return value ? Ref<JSKCArray>(value->asArray()) : nullptr;
}

namespace {

JSKCNumber* numberIn(const Ref<JSKBValue>& value) { return value ? value->asNumber() : nullptr; }

}  // namespace

bool JSKCFrame::boolForLabel(std::string_view label, bool fallback) const {
  JSKCNumber* number = numberIn(fetchForLabel(label));
  return number ? number->boolValue().value_or(fallback) : fallback;
}
uint64_t JSKCFrame::uintForLabel(std::string_view label, uint64_t fallback) const {
  JSKCNumber* number = numberIn(fetchForLabel(label));
  return number ? number->uintValue().value_or(fallback) : fallback;
}
int64_t JSKCFrame::sintForLabel(std::string_view label, int64_t fallback) const {
  JSKCNumber* number = numberIn(fetchForLabel(label));
  return number ? number->sintValue().value_or(fallback) : fallback;
}
double JSKCFrame::realForLabel(std::string_view label, double fallback) const {
  JSKCNumber* number = numberIn(fetchForLabel(label));
  return number && number->form() != JSKCNumber::Form::boolean ? number->realValue() : fallback;
}
std::string JSKCFrame::stringForLabel(std::string_view label, std::string_view fallback) const {
  Ref<JSKBValue> value = fetchForLabel(label);
  JSKCString* text = value ? value->asString() : nullptr;
  return text ? text->string() : std::string(fallback);
}

bool JSKCFrame::removeForLabel(std::string_view label) {
  auto found = index_.find(label);
  if (found == index_.end()) return false;
  const size_t position = found->second;
  index_.erase(found);
  members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(position));
  for (auto& [name, at] : index_)
    if (at > position) --at;
  return true;
}

const std::string& JSKCFrame::labelAtIndex(size_t index) const {
  static const std::string none;
  return index < members_.size() ? members_[index].first : none;
}
