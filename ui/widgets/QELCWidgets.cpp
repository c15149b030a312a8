#include "ui/widgets/QELCWidgets.h"

#include <algorithm>
#include <new>

Ref<QELCWidgets> QELCWidgets::widgets() { return adoptRef(new QELCWidgets()); }

int QELCWidgets::bucketOf(int8_t layer) { return std::clamp<int>(layer, -8, 8) + 8; }

QELCWidgets::Member* QELCWidgets::find(const QELBWidget* widget) {
  for (Member& member : members_)
    if (member.widget.get() == widget) return &member;
  return nullptr;
}

bool QELCWidgets::contains(const QELBWidget* widget) const { return present_.count(widget) != 0; }

Ref<QELBWidget> QELCWidgets::fetchAtIndex(uint32_t index) const {
  return index < members_.size() ? members_[index].widget : nullptr;
}

std::vector<Ref<QELBWidget>> QELCWidgets::members() const {
  std::vector<Ref<QELBWidget>> snapshot;
  snapshot.reserve(members_.size());
  for (const Member& member : members_) snapshot.push_back(member.widget);
  return snapshot;
}

void QELCWidgets::insertIntoBucket(const Ref<QELBWidget>& widget, int bucket) {
  std::vector<Ref<QELBWidget>>& list = buckets_[bucket];
  auto at = list.end();
  // After every member that does not come after the widget: equal ones keep insertion order. A
  // widget that goes after the last one (a list appended in order) is placed without a search.
  if (comparator_ && !list.empty() && comparator_(widget.get(), list.back().get()) < 0) {
    at = std::find_if(list.begin(), list.end(),
                      [&](const Ref<QELBWidget>& other) { return comparator_(widget.get(), other.get()) < 0; });
  }
  list.insert(at, widget);
}

void QELCWidgets::removeFromBucket(const QELBWidget* widget, int bucket) {
  std::vector<Ref<QELBWidget>>& list = buckets_[bucket];
  auto at = std::find_if(list.begin(), list.end(), [&](const Ref<QELBWidget>& w) { return w.get() == widget; });
  if (at != list.end()) list.erase(at);  // keeps its capacity, so putting it back cannot fail
}

int QELCWidgets::append(const Ref<QELBWidget>& widget) {
  if (!widget) return kQELWidgetsNotStored;
  if (contains(widget.get())) return kQELWidgetsPresence;
  int bucket = bucketOf(widget->layer());
  try {
    present_.insert(widget.get());
  } catch (const std::bad_alloc&) {
    return kQELWidgetsNotStored;
  }
  try {
    members_.push_back({widget, bucket});
  } catch (const std::bad_alloc&) {
    present_.erase(widget.get());
    return kQELWidgetsNotStored;
  }
  try {
    insertIntoBucket(widget, bucket);
  } catch (const std::bad_alloc&) {
    members_.pop_back();
    present_.erase(widget.get());
    return kQELWidgetsNotStored;
  }
  dirty_ = true;
  return kQELWidgetsDone;
}

int QELCWidgets::remove(const QELBWidget* widget) {
  auto at = std::find_if(members_.begin(), members_.end(), [&](const Member& m) { return m.widget.get() == widget; });
  if (!widget || at == members_.end()) return kQELWidgetsPresence;
  Ref<QELBWidget> hold = at->widget;
  removeFromBucket(widget, at->bucket);
  members_.erase(at);
  present_.erase(widget);
  dirty_ = true;
  return kQELWidgetsDone;
}

int QELCWidgets::removeAtIndex(uint32_t index) {
  if (index >= members_.size()) return kQELWidgetsPresence;
  Ref<QELBWidget> widget = members_[index].widget;
  return remove(widget.get());
}

bool QELCWidgets::move(const QELBWidget* widget, bool toTop) {
  Member* member = find(widget);
  if (!member) return false;
  if (comparator_) return true;
  std::vector<Ref<QELBWidget>>& list = buckets_[member->bucket];
  auto at = std::find_if(list.begin(), list.end(), [&](const Ref<QELBWidget>& w) { return w.get() == widget; });
  if (at == list.end()) return true;
  Ref<QELBWidget> hold = *at;
  list.erase(at);
  list.insert(toTop ? list.end() : list.begin(), hold);
  dirty_ = true;
  return true;
}

bool QELCWidgets::raise(const QELBWidget* widget) { return move(widget, true); }

bool QELCWidgets::lower(const QELBWidget* widget) { return move(widget, false); }

bool QELCWidgets::relayer(const QELBWidget* widget) {
  Member* member = find(widget);
  if (!member) return false;
  int bucket = bucketOf(widget->layer());
  if (bucket == member->bucket) return true;
  Ref<QELBWidget> hold = member->widget;
  removeFromBucket(widget, member->bucket);
  try {
    insertIntoBucket(hold, bucket);
  } catch (const std::bad_alloc&) {
    // Stays where it was rather than being lost.
    insertIntoBucket(hold, member->bucket);
    return false;
  }
  member->bucket = bucket;
  dirty_ = true;
  return true;
}

bool QELCWidgets::sync() {
  if (!dirty_) return false;
  std::vector<Ref<QELBWidget>> order;
  order.reserve(members_.size());
  for (const auto& bucket : buckets_) order.insert(order.end(), bucket.begin(), bucket.end());
  childs_.swap(order);
  dirty_ = false;
  return true;
}

void QELCWidgets::clear() {
  for (auto& bucket : buckets_) bucket.clear();
  members_.clear();
  present_.clear();
  childs_.clear();
}
