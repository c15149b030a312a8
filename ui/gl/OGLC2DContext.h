#pragma once
// The 2D drawing context behind the OGLF2D* functions: a cairo image surface with the state,
// path, paints, textures and fonts of an immediate-mode vector API.
//
// A frame starts with beginFrame (logical size and pixel ratio) and ends with endFrame; the
// surface then holds premultiplied BGRA pixels (cairo's ARGB32) that a window uploads as a
// texture, or that a headless user reads back. Nothing is cleared or uploaded until something
// is drawn: an empty frame costs nothing. Belongs to one thread.
#include <algorithm>
#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/gl/OGLCFontStash.h"
#include "ui/gl/OGLF2D.h"
#include "ui/gl/OGLTGeometry.h"
#include "ui/gl/OGLXform.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_pattern cairo_pattern_t;

// A span of surface rows [top, bottom).
struct OGLTRowSpan {
  int top = 0, bottom = 0;
  bool empty() const { return bottom <= top; }
};

struct OGLC2DContext {
public:
  // Surfaces kept side by side, so that passes drawn in turn (a window's surface and overlay)
  // each keep their own pixels and copies.
  static constexpr int kLayers = 2;

  // Null when the drawing library cannot be set up.
  static std::unique_ptr<OGLC2DContext> make();
  ~OGLC2DContext();
  OGLC2DContext(const OGLC2DContext&) = delete;
  OGLC2DContext& operator=(const OGLC2DContext&) = delete;

  // Frames, on one of the layers. The surface is width × ratio by height × ratio pixels (at
  // least 1 × 1); logical units map onto it through the ratio. beginFrame resets the state and
  // the path; the accessors below answer for the layer of the last beginFrame.
  bool beginFrame(float width, float height, float pixelRatio, int layer = 0);
  // Partial frames. Right after beginFrame, redrawOnly clears the area and keeps the last
  // pixels everywhere else; the caller then draws everything that reaches into the area, each
  // piece clipped to a rect inside reach (the union of those rects), exactly as a full frame
  // would; endFrame puts back what that drew outside the area. The result is the pixels of a full
  // frame, as drawing is not clipped any narrower than in one. An empty area keeps the last
  // frame as it is. False, and nothing kept, when the surface is new or resized (or drawing
  // started): the frame must then be drawn whole. Rects in logical units, widened to whole
  // pixels; pixelAligned tells the area a rect becomes.
  OGLTRect pixelAligned(const OGLTRect& rect) const;
  bool redrawOnly(const OGLTRect& area, const OGLTRect& reach);
  void endFrame();
  bool drawn() const { return layer().drawn; }
  int pixelWidth() const { return layer().pixelWidth; }
  int pixelHeight() const { return layer().pixelHeight; }
  int stride() const { return layer().stride; }
  // Premultiplied BGRA bytes, rows top to bottom; valid after endFrame.
  const uint8_t* pixels() const;
  // Rows that changed (drawn, or cleared of an earlier drawing) since the last call: what a
  // copy of the surface, such as a texture, must take again. A new surface changes all rows.
  OGLTRowSpan takeChangedRows();
  // One pixel as straight-alpha RGBA bytes; zeros outside the surface.
  std::array<uint8_t, 4> readPixel(int x, int y) const;

  void setUserData(void* data) { userData_ = data; }
  void* userData() const { return userData_; }
  // What the clipboard and key-state utilities use while no window is set as user data, so
  // that text editing runs (and is tested) without a screen: a clipboard of the context's own
  // and the actions last set for keys (1, released, for a key never set).
  std::string& ownClipboard() { return ownClipboard_; }
  int ownKeyAction(int key) const;
  void setOwnKeyAction(int key, int action);
  OGLCFontStash& fonts() { return fonts_; }

  // State and transform.
  void save();
  void restore();
  void translate(float x, float y);
  void scale(float sx, float sy);
  const OGLTXform& transform() const { return state().xform; }
  void intersectScissor(float x, float y, float w, float h);

  // Paths.
  void beginPath();
  void moveTo(float x, float y);
  void lineTo(float x, float y);
  void bezierTo(float c1x, float c1y, float c2x, float c2y, float x, float y);
  void closePath();
  void pathWinding(int dir);
  void rect(float x, float y, float w, float h);
  void roundedRect(float x, float y, float w, float h, float radius);
  void ellipse(float cx, float cy, float rx, float ry);
  void arc(float cx, float cy, float r, float a0, float a1, int dir);

  // Painting.
  void setFillPaint(const OGLTPaint& paint);
  void setStrokePaint(const OGLTPaint& paint);
  void setStrokeWidth(float width) { state().strokeWidth = width; }
  void fill();
  void stroke();

  // Textures: ids from 1; 0 when refused.
  int makeTexture(int width, int height, const uint8_t* rgba);
  bool syncTexture(int id, const uint8_t* rgba);
  void freeTexture(int id);

  // Text state.
  void setFont(int face) { state().font = face; }
  void setFontSize(float size) { state().fontSize = size; }
  void setFontBlur(float blur) { state().fontBlur = blur; }
  void setLetterSpacing(float spacing) { state().letterSpacing = spacing; }
  void setLineHeight(float factor) { state().lineHeight = factor; }
  void setTextAlign(int flags) { state().textAlign = flags; }
  int textAlign() const { return state().textAlign; }

  // Text. end null: up to the terminating zero.
  float text(float x, float y, const char* string, const char* end);
  void textBox(float x, float y, float width, const char* string, const char* end);
  float textBounds(float x, float y, const char* string, const char* end, float* bounds);
  void textBoxBounds(float x, float y, float width, const char* string, const char* end, float* bounds);
  // rows null: counts every row.
  int textBreakLines(const char* string, const char* end, float width, OGLTTextRow* rows, int max);
  int textGlyphPositions(float x, float y, const char* string, const char* end, OGLTGlyphPosition* positions, int max);
  // Ascender, descender and line height of the current face and size, in logical units.
  bool textMetrics(float* ascender, float* descender, float* lineHeight);

private:
  // Breaks the text into rows of the box's width and hands each to visit(row, shift, y): shift
  // places it by the horizontal alignment, y is its line. The rows are measured left-aligned.
  template <typename Visit>
  void forEachBoxRow(float y, float width, float lineHeight, const char* string, const char* end, Visit visit);

  struct State {
    OGLTXform xform{1, 0, 0, 1, 0, 0};
    OGLTPaint fill{};
    OGLTPaint stroke{};
    float strokeWidth = 1;
    bool scissor = false;
    float scissorRect[4] = {0, 0, 0, 0};  // device pixels: left, top, right, bottom
    int font = 0;
    float fontSize = 16;
    float fontBlur = 0;
    float letterSpacing = 0;
    float lineHeight = 1;
    int textAlign = kOGLAlignLeft | kOGLAlignBaseline;
  };
  struct Segment {
    bool curve;
    float c1x, c1y, c2x, c2y, x, y;  // device space; c1, c2 only for curves
  };
  struct Subpath {
    float x, y;  // start, device space
    std::vector<Segment> segments;
    bool closed = false;
    int winding = kOGLWindingSolid;
  };
  struct Texture {
    cairo_surface_t* surface = nullptr;
    int width = 0, height = 0;
  };
  struct CachedGradient;
  struct TextStyle {
    int face = -1;
    int size10 = 0;  // tenths of a scaled pixel
    int blur = 0;
    float spacing = 0;
    int align = 0;
    float scale = 1;  // scaled units per logical unit
  };

  OGLC2DContext() = default;
  State& state() { return states_.back(); }
  const State& state() const { return states_.back(); }
  void point(float x, float y, float& dx, float& dy) const;
  void startDrawing();
  void markDirtyRows(double y0, double y1);
  void clearPreviousRows();
  void emitPath(bool forFill);
  bool applyScissor();
  bool applyPaint(const OGLTPaint& paint);
  bool setSource(cairo_pattern_t* pattern);
  void paintPath(bool forFill);
  bool applyBoxGradient(const OGLTPaint& paint);
  cairo_surface_t* rasterBoxGradient(const OGLTPaint& paint, int width, int height);
  // The text settings at the current scale; false without a usable face, size or scale.
  bool textStyle(TextStyle& style) const;
  void blendGlyph(const OGLTGlyph& glyph, int x, int y, uint32_t color, const int clip[4]);
  bool applyTextPaint(float sx, float sy, const char* string, const char* end, const TextStyle& style);
  void maskGlyph(const OGLTGlyph& glyph, int x, int y);

  // A box of device pixels [left, right) x [top, bottom).
  struct PixelBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
    PixelBox united(const PixelBox& other) const {
      if (empty()) return other;
      if (other.empty()) return *this;
      return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
              std::max(bottom, other.bottom)};
    }
  };
  PixelBox pixelBox(const OGLTRect& rect) const;  // cut to the current layer
  void restoreOutsideArea();

  // One drawing surface with what its frames changed.
  struct Layer {
    cairo_surface_t* surface = nullptr;
    cairo_t* cairo = nullptr;
    int pixelWidth = 0, pixelHeight = 0, stride = 0;
    bool drawn = false;
    bool fresh = true;     // made or resized by the last beginFrame
    bool partial = false;  // this frame draws only its area (redrawOnly)
    PixelBox area, reach;
    std::vector<uint8_t> kept;  // the reach's pixels before a partial frame
    OGLTRowSpan dirty, previousDirty, unsynced;
  };
  Layer& layer() { return layers_[current_]; }
  const Layer& layer() const { return layers_[current_]; }

  Layer layers_[kLayers];
  int current_ = 0;
  float pixelRatio_ = 1;
  float sourceAlpha_ = 1;  // a texture pattern's alpha, applied when painting
  void* userData_ = nullptr;
  std::string ownClipboard_;
  std::unordered_map<int, int> ownKeyActions_;
  std::vector<State> states_{State{}};
  size_t ignoredSaves_ = 0;  // saves beyond the deepest state kept, each undone by its restore
  std::vector<Subpath> path_;
  std::unordered_map<int, Texture> textures_;
  int nextTexture_ = 1;
  std::list<std::unique_ptr<CachedGradient>> gradients_;  // most recently used first
  size_t gradientBytes_ = 0;
  OGLCFontStash fonts_;
};
