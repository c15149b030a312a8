#pragma once
// A virtualised scrolling list: it asks its source for widgets only for the rows in view and
// hands rows that leave the view back to the source, so a list of a million rows costs only
// the rows shown. Rows lie at a pitch of the source's height + 1; a 14-pixel lane at the right
// scrolls it, as do keys and the wheel while the cursor is over it.
//
// Lifetimes: a row widget is owned by the box (its table of live rows and its child list)
// while shown; one handed to recycleWidget belongs to the source again, already detached. The
// source is called on the window's thread during the update pass only.
#include <cstdint>
#include <map>

#include "ui/widgets/QELBParent.h"
#include "ui/widgets/QELFScrollLane.h"

class QELBWindow;

// What a collection box asks of the owner of its rows.
class QELPCollectionboxSource : public LLKBObject {
public:
  // The height of every row.
  virtual float height() = 0;
  virtual uint32_t count() = 0;
  // True with a widget (new or reused, attached nowhere) for the item; false leaves the row
  // empty until the next sync.
  virtual bool requireWidget(Ref<QELBWidget>& widget, uint32_t index, QELBWindow* window) = 0;
  // Takes back a widget the box no longer shows (already detached).
  virtual void recycleWidget(const Ref<QELBWidget>& widget, uint32_t index) = 0;
};

enum : uint32_t {
  kQELCollectionboxFitWidth = 0x1,  // every row gets the box's row width
};

// The first and the last index in view.
struct QELTCollectionboxRange {
  uint32_t first;
  uint32_t last;
};

class QELBCollectionbox;

// The collection box's passes; the box holds their record.
// {0, 0, row width, count × pitch}.
void QELFCollectionboxComputeContentRect(const QELBCollectionbox* box, OGLTRect* rect);
// {offset, offset + the size shown inside the outline and left of the lane}, in content coordinates.
void QELFCollectionboxComputeVisibleRect(const QELBCollectionbox* box, OGLTRect* rect);
// The rows of the box's pitch from floor(top ÷ pitch) to that + ceil(height ÷ pitch), both capped
// at count - 1; false when there is no row (count 0 or no pitch).
bool QELFCollectionboxComputeVisibleRange(const QELBCollectionbox* box, const OGLTRect& visible,
                                          QELTCollectionboxRange* range, uint32_t count);
// Recycles every live row.
void QELFCollectionboxSyncClear(QELBCollectionbox* box);
// Recycles the rows that left the view (also those beyond a shrunken count) and requires the
// rows that came into it; the work is proportional to the rows in view.
void QELFCollectionboxSyncContent(QELBCollectionbox* box);

class QELBCollectionbox : public QELBParent {
public:
  QELBCollectionbox(OGLTSize size, OGLTPoint position);
  ~QELBCollectionbox() override;

  OGLTSize preferredSizeWithWindow(QELBWindow*) override { return size(); }
  OGLTRect space() override;
  OGLTPoint spaceToLocal(const OGLTPoint& point) override;
  OGLTPoint localToSpace(const OGLTPoint& point) override;

  QELPCollectionboxSource* source() const { return source_.get(); }
  // Drops the rows of the old source (recycled to it) and syncs at the next update.
  void setSource(Ref<QELPCollectionboxSource> source);
  // The width given to rows.
  float width() const;
  // {offset, offset + the shown size} in content coordinates.
  OGLTRect visibleRect() const;
  // The source's row height + 1; 0 without a source.
  float pitch() const;
  const OGLTRect& contentRect() const { return content_; }
  OGLTPoint offset() const { return offset_; }
  // The rows shown now, by index.
  const std::map<uint32_t, Ref<QELBWidget>>& live() const { return live_; }

  float scroll() const;
  void setScroll(float fraction);
  // Drops every row and scrolls to the top.
  void clear();
  // Drops every row and rebuilds the rows in view at the same offset.
  void refresh();

  void onAttachedIntoWindow() override;
  void onAwaken() override;
  void onUpdateWithStep(float step) override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  bool onInputWithScroll(const OGLTScrollEvent& scroll) override;
  void onRenderWithStep(float step) override;

private:
  friend void QELFCollectionboxSyncClear(QELBCollectionbox* box);
  friend void QELFCollectionboxSyncContent(QELBCollectionbox* box);

  uint32_t count() const;
  // Moves the offset (clamped) and marks the rows for a sync.
  void moveTo(float y);
  void recycle(uint32_t index, const Ref<QELBWidget>& widget);

  std::map<uint32_t, Ref<QELBWidget>> live_;
  Ref<QELPCollectionboxSource> source_;
  OGLTPoint offset_{0, 0};
  OGLTRect content_{};
  QELTScrollRequest pendingScroll_;
  bool needsSync_ = false;
};

class QELCCollectionbox : public QELBCollectionbox {
public:
  [[nodiscard]] static Ref<QELCCollectionbox> widgetWithSize(OGLTSize size, OGLTPoint position);
  using QELBCollectionbox::QELBCollectionbox;
};
