#pragma once
// A container that places its children by a setup record: in a column, in a row (with
// stretching spacers), centred, or not at all; draws an optional background and border; and
// measures its preferred size from its children.
#include <cstdint>

#include "ui/widgets/QELBParent.h"

enum : int32_t {
  kQELGroupFree = 0,
  kQELGroupColumn = 1,
  kQELGroupRow = 2,
  kQELGroupCentered = 3,
};

enum : uint32_t {
  kQELGroupRounded = 0x01,
  kQELGroupUniformCross = 0x02,
  kQELGroupUniformMain = 0x04,
  kQELGroupSpacers = 0x08,
  kQELGroupFillSpace = 0x10,
  kQELGroupNoBackground = 0x20,
  kQELGroupOnDemand = 0x40,
  kQELGroupFitParent = 0x80,
  kQELGroupHoverBorder = 0x100,
};

struct QELTGroupSetup {
  int32_t kind;
  float margin;  // inset of the content from the bounds, plus 1
  float gap;     // between consecutive children of a column or row
  float border;  // stroke width; 0 for none
  uint32_t flags;
};

// A widget that group layouts stretch: in a row with kQELGroupSpacers, spacers share the free
// width and are left out when the largest sizes are measured.
class QELPSpacer {
public:
  virtual ~QELPSpacer() = default;
};

extern "C" {
// Setup tables of the library's composite widgets.
extern const QELTGroupSetup QELKFilePickerBoard, QELKFolderPickerBoard;
extern const QELTGroupSetup QELKFilePickerDetail;
extern const QELTGroupSetup QELKFilePickerSetup, QELKFolderPickerSetup;
extern const QELTGroupSetup QELKFilePickerFooter, QELKFolderPickerFooter;
extern const QELTGroupSetup QELKFilePickerRow, QELKFolderPickerRow;
}
// The menus and dialogs keep their own kSetup* tables private to their files: several of them
// use one name with different values, so none of those is a public name.

class QELBGroup;

extern "C" {
// The largest child width (height): from the space's width (height) with 0x10, else from 0;
// spacers skipped with 0x08.
float QELFGroupFindMaxWidth(const QELTGroupSetup* setup, QELBGroup* group);
float QELFGroupFindMaxHeight(const QELTGroupSetup* setup, QELBGroup* group);
// The widths of the children that are not spacers, plus the gaps between them; 0 without
// children. spacers (may be null) receives the number of spacers.
float QELFGroupFindNeededWidth(const QELTGroupSetup* setup, QELBGroup* group, uint32_t* spacers);
// Places the children (in the group's space) as the setup says.
void QELFGroupLayoutContent(const QELTGroupSetup* setup, QELBGroup* group);
}

class QELBGroup : public QELBParent {
public:
  ~QELBGroup() override;

  int32_t layout() const { return setup_.kind; }
  const QELTGroupSetup& setup() const { return setup_; }
  OGLTRect space() override;
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  // Lays the children out at the next beat (needed with kQELGroupOnDemand).
  void recomputeLayout() { dirty_ = true; }

  void onAwaken() override;
  void onRenderWithStep(float step) override;
  // Draws the children clipped to the content rect; subclasses may draw more.
  virtual void onRenderContentWithStep(float step, const OGLTRect& content);

protected:
  // A null setup is taken as a free group without margin.
  QELBGroup(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup);

private:
  QELTGroupSetup setup_{};
  bool dirty_ = false;
};

class QELCGroup : public QELBGroup {
public:
  [[nodiscard]] static Ref<QELCGroup> widgetWithSize(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup);

protected:
  using QELBGroup::QELBGroup;
};
