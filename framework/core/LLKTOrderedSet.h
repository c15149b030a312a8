#pragma once
// A set that keeps the order its members came in, and adds, finds and removes one in constant
// time (a list for the order, a hash map into it): for member lists that are walked in order and
// lose members one at a time, where erasing from a vector would make n removals n² work.
#include <cstddef>
#include <functional>
#include <iterator>
#include <list>
#include <unordered_map>

template <typename T, typename Hash = std::hash<T>>
class LLKTOrderedSet {
public:
  using const_iterator = typename std::list<T>::const_iterator;

  // False when the value is a member already (it keeps its place).
  bool insert(const T& value) {
    if (index_.count(value)) return false;
    order_.push_back(value);
    index_.emplace(value, std::prev(order_.end()));
    return true;
  }
  // False when the value is no member.
  bool erase(const T& value) {
    auto found = index_.find(value);
    if (found == index_.end()) return false;
    order_.erase(found->second);
    index_.erase(found);
    return true;
  }
  bool contains(const T& value) const { return index_.count(value) != 0; }
  size_t size() const { return order_.size(); }
  bool empty() const { return order_.empty(); }
  const_iterator begin() const { return order_.begin(); }
  const_iterator end() const { return order_.end(); }

private:
  std::list<T> order_;
  std::unordered_map<T, typename std::list<T>::iterator, Hash> index_;
};
