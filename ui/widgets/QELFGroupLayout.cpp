// Group layout: the measuring helpers, the placing of children and the library's setup tables.
#include <algorithm>
#include <vector>

#include "ui/widgets/QELBGroup.h"

const QELTGroupSetup QELKFilePickerBoard = {1, 0, 0, 1, 0x42};
const QELTGroupSetup QELKFolderPickerBoard = {1, 0, 0, 1, 0x42};
// The date and the size of a file row stand apart, at any width of the row.
const QELTGroupSetup QELKFilePickerDetail = {2, 0, 8, 0, 0x4a};
const QELTGroupSetup QELKFilePickerSetup = {1, 0, 0, 0, 0x02};
const QELTGroupSetup QELKFolderPickerSetup = {1, 0, 0, 0, 0x02};
const QELTGroupSetup QELKFilePickerFooter = {2, 5, 5, 0, 0x0a};
const QELTGroupSetup QELKFolderPickerFooter = {2, 5, 5, 0, 0x0a};
const QELTGroupSetup QELKFilePickerRow = {2, 0, 0, 0, 0x02};
const QELTGroupSetup QELKFolderPickerRow = {2, 0, 0, 0, 0x02};

namespace {

bool isSpacer(const QELBWidget* widget) { return dynamic_cast<const QELPSpacer*>(widget) != nullptr; }

float findMax(const QELTGroupSetup* setup, QELBGroup* group, bool widths) {
  if (!setup || !group) return 0;
  float largest = 0;
  if (setup->flags & kQELGroupFillSpace) {
    OGLTRect s = group->space();
    largest = widths ? s.right - s.left : s.bottom - s.top;
  }
  for (const Ref<QELBWidget>& child : group->_childs()->members()) {
    if ((setup->flags & kQELGroupSpacers) && isSpacer(child.get())) continue;
    OGLTSize size = child->size();
    largest = std::max(largest, widths ? size.w : size.h);
  }
  return largest;
}

// The uniform sizes a layout imposes (-1: the child keeps its own).
struct Uniform {
  float width = -1, height = -1;
};

Uniform uniformSizes(const QELTGroupSetup& setup, QELBGroup* group) {
  Uniform u;
  bool cross = setup.flags & kQELGroupUniformCross, main = setup.flags & kQELGroupUniformMain;
  bool wantWidth = false, wantHeight = false;
  switch (setup.kind) {
    case kQELGroupColumn:
      wantWidth = cross;
      wantHeight = main;
      break;
    case kQELGroupRow:
      wantWidth = main;
      wantHeight = cross;
      break;
    case kQELGroupCentered:
      wantWidth = wantHeight = main;
      break;
    default:
      break;
  }
  if (wantWidth) u.width = QELFGroupFindMaxWidth(&setup, group);
  if (wantHeight) u.height = QELFGroupFindMaxHeight(&setup, group);
  return u;
}

OGLTSize sizeOf(const QELBWidget* child, const Uniform& u) {
  OGLTSize own = child->size();
  return {u.width >= 0 ? u.width : own.w, u.height >= 0 ? u.height : own.h};
}

void place(QELBWidget* child, float x, float y, OGLTSize size) { child->setFrame({x, y, x + size.w, y + size.h}); }

void layoutRowWithSpacers(const QELTGroupSetup& setup, QELBGroup* group, const std::vector<Ref<QELBWidget>>& order,
                          const Uniform& u) {
  uint32_t spacers = 0;
  float needed = QELFGroupFindNeededWidth(&setup, group, &spacers);
  OGLTRect s = group->space();
  float freeWidth = (s.right - s.left) - needed;
  float share = spacers > 0 && freeWidth > 0 ? freeWidth / static_cast<float>(spacers) : 0;
  float x = 0;
  bool first = true, afterSpacer = false;
  for (const Ref<QELBWidget>& child : order) {
    if (isSpacer(child.get())) {
      float d = std::min(share, freeWidth);
      if (share == 0 || d <= 0) {
        child->setVisible(false);
        place(child.get(), x, 0, {0, 0});
      } else {
        child->setVisible(true);
        place(child.get(), x, 0, {d, u.height >= 0 ? u.height : child->size().h});
        x += d;
        freeWidth -= d;
      }
      afterSpacer = true;
    } else {
      if (!first && !afterSpacer) x += setup.gap;
      OGLTSize size = sizeOf(child.get(), u);
      place(child.get(), x, 0, size);
      x += size.w;
      afterSpacer = false;
    }
    first = false;
  }
}

}  // namespace

float QELFGroupFindMaxWidth(const QELTGroupSetup* setup, QELBGroup* group) { return findMax(setup, group, true); }

float QELFGroupFindMaxHeight(const QELTGroupSetup* setup, QELBGroup* group) { return findMax(setup, group, false); }

float QELFGroupFindNeededWidth(const QELTGroupSetup* setup, QELBGroup* group, uint32_t* spacers) {
  if (spacers) *spacers = 0;
  if (!setup || !group) return 0;
  uint32_t count = 0, found = 0;
  float width = 0;
  for (const Ref<QELBWidget>& child : group->_childs()->members()) {
    ++count;
    if (isSpacer(child.get())) {
      ++found;
      continue;
    }
    width += child->size().w;
  }
  if (spacers) *spacers = found;
  uint32_t others = count - found;
  return others > 1 ? width + static_cast<float>(others - 1) * setup->gap : width;
}

void QELFGroupLayoutContent(const QELTGroupSetup* setup, QELBGroup* group) {
  if (!setup || !group) return;
  group->_childs()->sync();  // children attached since the last beat are placed too
  std::vector<Ref<QELBWidget>> order = group->childs();
  Uniform u = uniformSizes(*setup, group);
  switch (setup->kind) {
    case kQELGroupColumn: {
      float y = 0;
      for (const Ref<QELBWidget>& child : order) {
        OGLTSize size = sizeOf(child.get(), u);
        place(child.get(), 0, y, size);
        y += size.h + setup->gap;
      }
      break;
    }
    case kQELGroupRow:
      if (setup->flags & kQELGroupSpacers) {
        layoutRowWithSpacers(*setup, group, order, u);
      } else {
        float x = 0;
        for (const Ref<QELBWidget>& child : order) {
          OGLTSize size = sizeOf(child.get(), u);
          place(child.get(), x, 0, size);
          x += size.w + setup->gap;
        }
      }
      break;
    case kQELGroupCentered: {
      OGLTRect s = group->space();
      float width = s.right - s.left, height = s.bottom - s.top;
      for (const Ref<QELBWidget>& child : order) {
        OGLTSize size = sizeOf(child.get(), u);
        place(child.get(), width / 2 - size.w / 2, height / 2 - size.h / 2, size);
      }
      break;
    }
    default:
      break;  // a free group keeps the frames its children were given
  }
}
