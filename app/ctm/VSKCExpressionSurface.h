#pragma once
// The drawing surface of the expression and chunk viewers: one term laid out as an expression
// tree at a scale, under an optional caption, centred in a content at least as large as the
// surface. The tree is built once after each change of term or scale (in the next update) and
// kept until the next change; drawing only walks it. changed() tells the owning view that the
// content size may have moved, so it re-synchronises its scroll bars. Window's thread only.
#include <string>

#include "app/ctm/VSKFExpression.h"
#include "ui/widgets/QELBCanvas.h"

class VSKCExpressionSurface : public QELBCanvas {
public:
  [[nodiscard]] static Ref<VSKCExpressionSurface> surface();
  ~VSKCExpressionSurface() override;

  MRKBTerm* expr() const { return iExpr.get(); }
  // Drops the tree and marks the surface changed; a null term shows nothing.
  void setExpr(Ref<MRKBTerm> expr);
  float scale() const { return iScale; }
  // Drops the tree and marks the surface changed.
  void setScale(float scale);
  // The caption shows with the next term or scale: set it together with the term.
  const std::string& string() const { return iString; }
  void setString(std::string caption) { iString = std::move(caption); }
  bool changed() const { return iChanged; }
  void setChanged(bool changed) { iChanged = changed; }
  // The laid-out tree, null until the next update lays it out.
  const VSKTExpressionNode* tree() const { return iTree; }
  // The caption's even-snapped bounds at the origin; all zero without a caption.
  OGLTRect captionRect() const { return iSRect; }

  // Sizes the content for the laid-out tree and caption and the surface's present size (after
  // a resize); nothing before the tree is laid out.
  void fitContent();

  void onUpdateWithStep(float step) override;
  void onRenderWithStepAndRect(float step, const OGLTRect& rect) override;

protected:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCExpressionSurface() : QELBCanvas({0, 0}, {0, 0}) {}

  // The record the tree functions lay out and draw with; false without a context or a theme.
  bool drawingRecord(VSKTDrawingContext* record);
  // Selects the caption's font: the theme's text font, unscaled.
  void setCaptionFont(const VSKTDrawingContext& record) const;
  // Draws the caption (in the fill colour in force) and the part of the tree in the visible
  // content rect with the fade.
  void drawContent(const VSKTDrawingContext& record, const OGLTRect& visible, float fade);
  float fade() const { return opacity() < 1 ? 1 - opacity() : 0; }

private:
  void freeTree();

  bool iChanged = false;
  VSKTExpressionNode* iTree = nullptr;
  Ref<MRKBTerm> iExpr;
  std::string iString;
  OGLTRect iSRect{};
  float iScale = 1;
};
