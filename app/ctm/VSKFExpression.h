#pragma once
// Substrate terms drawn as trees of boxes: every list, func, frame and quirk of a term becomes a
// box with its parts as child boxes in one row underneath, joined by lines; a frame's entries
// carry their labels above their boxes. The expression view, the chunk viewer and the timeline
// share these functions (and VSKFTextDrawing.h).
//
// Building, drawing and freeing walk siblings in loops and children by depth only, and the
// depth is capped at kVSKExpressionMaxDepth: a compound term at the cap shows its box text
// followed by "…" and no children. So neither a long list nor a hostile nesting grows the stack.
// Window's thread only.
#include <string>

#include "app/ctm/VSKFTextDrawing.h"
#include "framework/substrate/MRKBTerm.h"

constexpr int kVSKExpressionMaxDepth = 48;

// One box. A node owns its next sibling and its first child; freeing the root frees the tree.
struct VSKTExpressionNode {
  std::string label;     // a frame entry's label, shown above the box; empty for none
  OGLTRect labelBounds;  // even-snapped bounds of the label in the label font, at the origin
  std::string text;      // the box's text; empty for none
  OGLTRect textBounds;   // even-snapped bounds of the text in the text font, at the origin
  Ref<MRKBTerm> term;
  OGLTRect box;  // the root's starts at (0, 0); a child's is relative to its parent's
  VSKTExpressionNode* next;
  VSKTExpressionNode* child;
  bool hasLabel;
  bool hasText;
};

// The text of a term's box; leaf (when given) becomes true only for a quirk whose head and tail
// are both atoms, drawn as one box.
std::string VSKFExpressionTermToString(MRKBTerm* term, bool* leaf);
// A zero-filled node holding the term and nothing else; null for a null term or no memory.
VSKTExpressionNode* VSKFExpressionNodeMake(MRKBTerm* term);
// The root of the laid-out tree (label may be null); null for a null term or no memory.
VSKTExpressionNode* VSKFExpressionNodeBuild(const VSKTDrawingContext* r, const std::string* label, MRKBTerm* term);
// Draws the node and its subtree with the node's box placed at the origin; tint lightens the
// texts (capped at 1).
void VSKFExpressionNodeDraw(const VSKTDrawingContext* r, const VSKTExpressionNode* node, OGLTPoint origin, float tint);
// The same for a large tree of which only a part shows: only what meets the visible rect (in the
// drawing's coordinates) is drawn, so the cost follows what shows, not the tree's size.
void VSKFExpressionNodeDrawVisible(const VSKTDrawingContext* r, const VSKTExpressionNode* node, OGLTPoint origin,
                                   float tint, OGLTRect visible);
// Frees the node, its siblings and children; null is ignored.
void VSKFExpressionNodeFree(VSKTExpressionNode* node);
