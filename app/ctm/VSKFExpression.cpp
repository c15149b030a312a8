#include "app/ctm/VSKFExpression.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCFunc.h"
#include "framework/substrate/MRKCQuirk.h"

namespace {

constexpr char kCapMark[] = "\u2026";

bool isCompound(uint32_t ttid) {
  return ttid == kMRKTermList || ttid == kMRKTermFunc || ttid == kMRKTermFrame || ttid == kMRKTermQuirk;
}

bool isAtomTerm(MRKBTerm* term) { return term && !isCompound(term->ttid()); }

// The parts of a compound term in order, with the frame entries' labels.
struct Part {
  const std::string* label;
  MRKBTerm* term;
};

void collectParts(MRKBTerm* term, std::vector<Part>& parts) {
  parts.clear();
  if (MRKCList* list = term->asList()) {
    for (const auto& member : list->terms()) parts.push_back({nullptr, member.get()});
  } else if (MRKCFunc* func = term->asFunc()) {
    for (const auto& member : func->terms()->terms()) parts.push_back({nullptr, member.get()});
  } else if (MRKCFrame* frame = term->asFrame()) {
    for (const auto& [label, member] : frame->members()) parts.push_back({&label, member.get()});
  } else if (MRKCQuirk* quirk = term->asQuirk()) {
    parts.push_back({nullptr, quirk->head()});
    parts.push_back({nullptr, quirk->tail()});
  }
}

VSKTExpressionNode* build(const VSKTDrawingContext* r, const std::string* label, MRKBTerm* term, int depth) {
  VSKTExpressionNode* node = VSKFExpressionNodeMake(term);
  if (!node) return nullptr;
  bool leaf = false;
  node->text = VSKFExpressionTermToString(term, &leaf);
  bool capped = !leaf && isCompound(term->ttid()) && depth >= kVSKExpressionMaxDepth;
  if (capped) node->text += kCapMark;
  node->hasText = true;
  node->textBounds = VSKFGetBoundsForString(r, kVSKTextFont, node->text);
  node->box = node->textBounds;
  node->box.right += 8;
  node->box.bottom += 8;
  if (label) {
    node->label = *label;
    node->hasLabel = true;
    node->labelBounds = VSKFGetBoundsForString(r, kVSKLabelFont, node->label);
    if (node->box.right - node->box.left < node->labelBounds.right - node->labelBounds.left)
      node->box.right = node->labelBounds.right;
    node->box.bottom += node->labelBounds.bottom - node->labelBounds.top;
  }
  if (leaf || capped || !isCompound(term->ttid())) return node;

  std::vector<Part> parts;
  collectParts(term, parts);
  const float gap = r->gap * r->scale;
  float w = gap * 0.5f, maxH = 0;
  VSKTExpressionNode* last = nullptr;
  for (const Part& part : parts) {
    VSKTExpressionNode* child = part.term ? build(r, part.label, part.term, depth + 1) : nullptr;
    if (!child) continue;
    if (last) w += gap;
    w += child->box.right - child->box.left;
    maxH = std::max(maxH, child->box.bottom - child->box.top);
    (last ? last->next : node->child) = child;
    last = child;
  }
  if (!node->child) return node;

  const float half = gap * 0.5f;
  w += half;
  const float y0 = r->scale * r->levelGap + (node->box.bottom - node->box.top);
  const float width = VSKFRoundEven(std::max(node->box.right - node->box.left, w));
  const float height = VSKFRoundEven(maxH + y0);
  node->box = {0, 0, width, height};
  float x = half;
  for (VSKTExpressionNode* child = node->child; child; child = child->next) {
    float cw = child->box.right - child->box.left, ch = child->box.bottom - child->box.top;
    child->box = {x, y0, x + cw, y0 + ch};
    x += cw + gap;
  }
  return node;
}

bool meets(const OGLTRect& a, const OGLTRect& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// Draws the node at (x, y) and, of its subtree, what meets the visible rect: a subtree whose
// extent lies outside is skipped whole, and so are the lines to it (they stay inside the
// parent's extent).
void draw(const VSKTDrawingContext* r, const VSKTExpressionNode* n, float x, float y, float tint,
          const OGLTRect& visible) {
  OGLC2DContext* ctx = r->context;
  const float cx = x + (n->box.right - n->box.left) / 2;
  OGLF2DPathFillColorWithTint(ctx, &r->theme->textColor, std::min(1.0f, tint + 0.2f));
  float top = y;
  if (n->hasLabel) {
    VSKFSetFont(r, kVSKLabelFont);
    OGLF2DPathBegin(ctx);
    OGLF2DTextDraw(ctx, n->label.c_str(), cx - (n->labelBounds.right - n->labelBounds.left) / 2, y);
    top = y + (n->labelBounds.bottom - n->labelBounds.top);
  }
  if (!n->hasText) return;
  VSKFSetFont(r, kVSKTextFont);
  OGLF2DPathBegin(ctx);
  const float w = n->textBounds.right - n->textBounds.left, h = n->textBounds.bottom - n->textBounds.top;
  if (n->child) OGLF2DPathRoundedRect(ctx, cx - w / 2 - 4, top, w + 4, h + 4, 8);
  else OGLF2DPathRect(ctx, cx - w / 2 - 4, top, w + 4, h + 4);
  OGLF2DPathStrokeColor(ctx, &r->theme->textColor);
  OGLF2DPathStroke(ctx);
  OGLF2DTextDraw(ctx, n->text.c_str(), cx - w / 2, top + 4);
  for (const VSKTExpressionNode* c = n->child; c; c = c->next) {
    const float endX = x + c->box.left + (c->box.right - c->box.left) / 2, endY = y + c->box.top - 2;
    if (meets({std::min(cx, endX), top + h + 9, std::max(cx, endX), endY}, visible)) {
      OGLF2DPathBegin(ctx);
      OGLF2DPathMoveTo(ctx, cx, top + h + 9);
      OGLF2DPathLineTo(ctx, endX, endY);
      OGLF2DPathStrokeColor(ctx, &r->theme->textColor);
      OGLF2DPathStrokeWidth(ctx, 1);
      OGLF2DPathStroke(ctx);
    }
    const OGLTRect extent{x + c->box.left, y + c->box.top, x + c->box.right, y + c->box.bottom};
    if (meets(extent, visible)) draw(r, c, extent.left, extent.top, tint, visible);
  }
}

}  // namespace

std::string VSKFExpressionTermToString(MRKBTerm* term, bool* leaf) {
  if (!term) return std::string();
  switch (term->ttid()) {
    case kMRKTermList:
      return "[] ";
    case kMRKTermFunc:
      return term->asFunc()->label()->value();
    case kMRKTermFrame:
      return "{}";
    case kMRKTermQuirk: {
      MRKCQuirk* quirk = term->asQuirk();
      if (!isAtomTerm(quirk->head()) || !isAtomTerm(quirk->tail())) return "^";
      if (leaf) *leaf = true;
      return term->text();
    }
    default:
      return term->text();
  }
}

VSKTExpressionNode* VSKFExpressionNodeMake(MRKBTerm* term) {
  if (!term) return nullptr;
  auto* node = new VSKTExpressionNode{};
  node->term = Ref<MRKBTerm>(term);
  return node;
}

VSKTExpressionNode* VSKFExpressionNodeBuild(const VSKTDrawingContext* r, const std::string* label, MRKBTerm* term) {
  if (!r || !r->context || !r->theme || !term) return nullptr;
  return build(r, label, term, 0);
}

void VSKFExpressionNodeDraw(const VSKTDrawingContext* r, const VSKTExpressionNode* node, OGLTPoint origin, float tint) {
  constexpr float kEverywhere = 1e30f;
  VSKFExpressionNodeDrawVisible(r, node, origin, tint, {-kEverywhere, -kEverywhere, kEverywhere, kEverywhere});
}

void VSKFExpressionNodeDrawVisible(const VSKTDrawingContext* r, const VSKTExpressionNode* node, OGLTPoint origin,
                                   float tint, OGLTRect visible) {
  if (!r || !r->context || !r->theme || !node) return;
  const OGLTRect extent{origin.x, origin.y, origin.x + node->box.right - node->box.left,
                        origin.y + node->box.bottom - node->box.top};
  if (meets(extent, visible)) draw(r, node, origin.x, origin.y, tint, visible);
}

void VSKFExpressionNodeFree(VSKTExpressionNode* node) {
  // An explicit stack: a long sibling chain must not become a deep recursion.
  std::vector<VSKTExpressionNode*> pending;
  while (node || !pending.empty()) {
    if (!node) {
      node = pending.back();
      pending.pop_back();
    }
    if (node->child) {
      try {
        pending.push_back(node->child);
      } catch (const std::bad_alloc&) {
        // Freeing runs in destructors and must not throw: without room on the stack's list,
        // the child goes by recursion.
        VSKFExpressionNodeFree(node->child);
      }
    }
    VSKTExpressionNode* next = node->next;
    delete node;
    node = next;
  }
}
