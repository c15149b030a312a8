#pragma once
// The children of a container, bucketed by layer (17 layers, -8 to 8), each bucket in insertion
// order or in a comparator's order, flattened on demand (sync) into the drawing order: lowest
// layer first, later (or greater) on top. Drawn first to last, hit-tested last to first.
//
// A member remembers the bucket it was put in, so a widget whose layer changes is moved
// (relayer) and always removed from where it really lies.
#include <array>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "framework/core/LLKBObject.h"
#include "ui/widgets/QELBWidget.h"

// Negative when a goes before b.
using QELTWidgetComparator = int (*)(QELBWidget* a, QELBWidget* b);

enum : int {
  kQELWidgetsDone = 0,
  kQELWidgetsNotStored = 2,
  kQELWidgetsPresence = 17,  // already present (append), or absent (remove)
};

class QELCWidgets : public LLKBObject {
public:
  [[nodiscard]] static Ref<QELCWidgets> widgets();

  // The drawing order as of the last sync.
  const std::vector<Ref<QELBWidget>>& childs() const { return childs_; }
  std::vector<Ref<QELBWidget>> copy() const { return childs_; }
  // Null means insertion order.
  void setComparator(QELTWidgetComparator function) { comparator_ = function; }
  QELTWidgetComparator comparator() const { return comparator_; }

  // Rebuilds the drawing order when it changed; false when there was nothing to do.
  bool sync();
  // Empties everything (the dirty mark stays as it is).
  void clear();

  // Members in the order they were appended.
  uint32_t count() const { return static_cast<uint32_t>(members_.size()); }
  bool contains(const QELBWidget* widget) const;
  Ref<QELBWidget> fetchAtIndex(uint32_t index) const;
  // Members as a snapshot, safe to walk while hooks attach and detach.
  std::vector<Ref<QELBWidget>> members() const;

  int append(const Ref<QELBWidget>& widget);
  int remove(const QELBWidget* widget);
  int removeAtIndex(uint32_t index);
  // To the top (raise) or bottom (lower) of its layer; false for a non-member. With a
  // comparator nothing moves.
  bool raise(const QELBWidget* widget);
  bool lower(const QELBWidget* widget);
  // Moves a member to the bucket of its current layer; false for a non-member.
  bool relayer(const QELBWidget* widget);

  static constexpr int kLayers = 17;
  static int bucketOf(int8_t layer);

private:
  struct Member {
    Ref<QELBWidget> widget;
    int bucket;
  };
  QELCWidgets() = default;
  Member* find(const QELBWidget* widget);
  void insertIntoBucket(const Ref<QELBWidget>& widget, int bucket);
  void removeFromBucket(const QELBWidget* widget, int bucket);
  bool move(const QELBWidget* widget, bool toTop);

  std::vector<Ref<QELBWidget>> childs_;
  std::array<std::vector<Ref<QELBWidget>>, kLayers> buckets_;
  std::vector<Member> members_;
  // The members again, for telling at once whether a widget is one: a list of many thousand
  // items (a drop box's menu) is built in time linear in its length.
  std::unordered_set<const QELBWidget*> present_;
  QELTWidgetComparator comparator_ = nullptr;
  bool dirty_ = false;
};
