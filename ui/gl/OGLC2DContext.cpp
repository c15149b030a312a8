#include "ui/gl/OGLC2DContext.h"

#include <cairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <utility>

#include "ui/gl/OGLC2DCachedGradient.h"
#include "ui/gl/OGLXform.h"

namespace {

// Deeper saves than this are ignored (and so is the matching restore's effect), as a runaway
// caller must not grow the stack without end.
constexpr size_t kMaxStates = 64;

OGLTRowSpan unite(const OGLTRowSpan& a, const OGLTRowSpan& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return {std::min(a.top, b.top), std::max(a.bottom, b.bottom)};
}

}  // namespace

std::unique_ptr<OGLC2DContext> OGLC2DContext::make() {
  std::unique_ptr<OGLC2DContext> context(new OGLC2DContext());
  if (!context->beginFrame(1, 1, 1)) return nullptr;
  context->endFrame();
  return context;
}

OGLC2DContext::~OGLC2DContext() {
  gradients_.clear();
  for (auto& [id, texture] : textures_) cairo_surface_destroy(texture.surface);
  for (Layer& each : layers_) {
    if (each.cairo) cairo_destroy(each.cairo);
    if (each.surface) cairo_surface_destroy(each.surface);
  }
}

int OGLC2DContext::ownKeyAction(int key) const {
  auto found = ownKeyActions_.find(key);
  return found == ownKeyActions_.end() ? 1 : found->second;
}

void OGLC2DContext::setOwnKeyAction(int key, int action) { ownKeyActions_[key] = action; }

bool OGLC2DContext::beginFrame(float width, float height, float pixelRatio, int layerIndex) {
  if (layerIndex < 0 || layerIndex >= kLayers) return false;
  if (!(pixelRatio > 0) || !std::isfinite(pixelRatio)) pixelRatio = 1;
  auto pixels = [&](float logical) {
    float value = std::ceil(logical * pixelRatio);
    return value >= 1 && value <= 16384 ? static_cast<int>(value) : 1;
  };
  int pw = pixels(width), ph = pixels(height);
  Layer& target = layers_[layerIndex];
  if (!target.surface || pw != target.pixelWidth || ph != target.pixelHeight) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pw, ph);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(surface);
      return false;
    }
    if (target.cairo) cairo_destroy(target.cairo);
    if (target.surface) cairo_surface_destroy(target.surface);
    target.surface = surface;
    target.cairo = cairo_create(surface);
    cairo_set_tolerance(target.cairo, 0.25);
    target.pixelWidth = pw;
    target.pixelHeight = ph;
    target.stride = cairo_image_surface_get_stride(surface);
    // A new surface starts clear; any copy of it must be replaced whole.
    target.previousDirty = {};
    target.unsynced = {0, ph};
    target.fresh = true;
  } else {
    target.fresh = false;
    // Rows of an earlier frame not cleared yet (its frame drew nothing and was not ended) wait
    // with the last frame's.
    target.previousDirty = unite(target.previousDirty, target.dirty);
  }
  target.dirty = {};
  target.drawn = false;
  target.partial = false;
  current_ = layerIndex;
  pixelRatio_ = pixelRatio;
  states_.assign(1, State{});
  ignoredSaves_ = 0;
  State& first = states_.back();
  first.xform = {pixelRatio, 0, 0, pixelRatio, 0, 0};
  first.fill = {};
  first.fill.xform[0] = first.fill.xform[3] = 1;
  first.fill.feather = 1;
  first.fill.innerColor = first.fill.outerColor = {1, 1, 1, 1};
  first.stroke = first.fill;
  first.stroke.innerColor = first.stroke.outerColor = {0, 0, 0, 1};
  path_.clear();
  return true;
}

OGLC2DContext::PixelBox OGLC2DContext::pixelBox(const OGLTRect& rect) const {
  auto device = [&](float logical, bool up, int limit) {
    float value = logical * pixelRatio_;
    value = up ? std::ceil(value) : std::floor(value);
    return std::isfinite(value) ? static_cast<int>(std::clamp(value, 0.0f, static_cast<float>(limit))) : 0;
  };
  PixelBox box{device(rect.left, false, layer().pixelWidth), device(rect.top, false, layer().pixelHeight),
               device(rect.right, true, layer().pixelWidth), device(rect.bottom, true, layer().pixelHeight)};
  return box.empty() ? PixelBox{} : box;
}

OGLTRect OGLC2DContext::pixelAligned(const OGLTRect& rect) const {
  PixelBox box = pixelBox(rect);
  return {static_cast<float>(box.left) / pixelRatio_, static_cast<float>(box.top) / pixelRatio_,
          static_cast<float>(box.right) / pixelRatio_, static_cast<float>(box.bottom) / pixelRatio_};
}

bool OGLC2DContext::redrawOnly(const OGLTRect& area, const OGLTRect& reach) {
  Layer& target = layer();
  if (!target.surface || target.fresh || target.drawn) return false;
  // What the last frames left stays, and is what the next full frame clears.
  target.dirty = std::exchange(target.previousDirty, {});
  target.drawn = !target.dirty.empty();
  target.area = pixelBox(area);
  target.reach = pixelBox(reach);
  if (target.area.empty()) target.reach = {};
  target.reach = target.reach.united(target.area);
  // Nothing is drawn beyond the reach; the widgets' own clips lie inside it, so it changes none.
  State& base = states_.front();
  base.scissor = true;
  base.scissorRect[0] = static_cast<float>(target.reach.left);
  base.scissorRect[1] = static_cast<float>(target.reach.top);
  base.scissorRect[2] = static_cast<float>(target.reach.right);
  base.scissorRect[3] = static_cast<float>(target.reach.bottom);
  if (target.area.empty()) return true;
  cairo_surface_flush(target.surface);
  unsigned char* data = cairo_image_surface_get_data(target.surface);
  auto stride = static_cast<size_t>(target.stride);
  const PixelBox& reachBox = target.reach;
  size_t rowBytes = static_cast<size_t>(reachBox.right - reachBox.left) * 4;
  target.kept.resize(rowBytes * static_cast<size_t>(reachBox.bottom - reachBox.top));
  for (int y = reachBox.top; y < reachBox.bottom; ++y)
    std::memcpy(target.kept.data() + static_cast<size_t>(y - reachBox.top) * rowBytes,
                data + static_cast<size_t>(y) * stride + static_cast<size_t>(reachBox.left) * 4, rowBytes);
  const PixelBox& box = target.area;
  for (int y = box.top; y < box.bottom; ++y)
    std::memset(data + static_cast<size_t>(y) * stride + static_cast<size_t>(box.left) * 4, 0,
                static_cast<size_t>(box.right - box.left) * 4);
  cairo_surface_mark_dirty(target.surface);
  target.unsynced = unite(target.unsynced, {reachBox.top, reachBox.bottom});
  target.partial = true;
  return true;
}

// The pixels a partial frame drew in its reach but outside its area go back to what they were.
void OGLC2DContext::restoreOutsideArea() {
  Layer& target = layer();
  target.partial = false;
  cairo_surface_flush(target.surface);
  unsigned char* data = cairo_image_surface_get_data(target.surface);
  auto stride = static_cast<size_t>(target.stride);
  const PixelBox &reach = target.reach, &area = target.area;
  size_t rowBytes = static_cast<size_t>(reach.right - reach.left) * 4;
  auto put = [&](int y, int from, int to) {
    if (to <= from) return;
    std::memcpy(
        data + static_cast<size_t>(y) * stride + static_cast<size_t>(from) * 4,
        target.kept.data() + static_cast<size_t>(y - reach.top) * rowBytes + static_cast<size_t>(from - reach.left) * 4,
        static_cast<size_t>(to - from) * 4);
  };
  for (int y = reach.top; y < reach.bottom; ++y) {
    if (y < area.top || y >= area.bottom) {
      put(y, reach.left, reach.right);
    } else {
      put(y, reach.left, area.left);
      put(y, area.right, reach.right);
    }
  }
  cairo_surface_mark_dirty(target.surface);
}

// A frame that drew nothing still leaves a clear surface, at the cost of clearing only the
// rows the frame before drew (nothing at all when that one was empty too).
void OGLC2DContext::endFrame() {
  if (!layer().surface) return;
  if (layer().partial) restoreOutsideArea();
  if (!layer().drawn) clearPreviousRows();
  cairo_surface_flush(layer().surface);
}

// The first drawing of a frame clears what the previous frame left.
void OGLC2DContext::startDrawing() {
  if (layer().drawn) return;
  layer().drawn = true;
  clearPreviousRows();
}

void OGLC2DContext::clearPreviousRows() {
  Layer& target = layer();
  if (target.previousDirty.empty()) return;
  cairo_surface_flush(target.surface);
  unsigned char* data = cairo_image_surface_get_data(target.surface);
  auto stride = static_cast<size_t>(target.stride);
  std::memset(data + static_cast<size_t>(target.previousDirty.top) * stride, 0,
              static_cast<size_t>(target.previousDirty.bottom - target.previousDirty.top) * stride);
  cairo_surface_mark_dirty(target.surface);
  target.unsynced = unite(target.unsynced, target.previousDirty);
  target.previousDirty = {};
}

void OGLC2DContext::markDirtyRows(double y0, double y1) {
  int top = static_cast<int>(std::clamp(std::floor(y0) - 1, 0.0, static_cast<double>(layer().pixelHeight)));
  int bottom = static_cast<int>(std::clamp(std::ceil(y1) + 1, 0.0, static_cast<double>(layer().pixelHeight)));
  if (bottom <= top) return;
  layer().dirty = unite(layer().dirty, {top, bottom});
  layer().unsynced = unite(layer().unsynced, {top, bottom});
}

const uint8_t* OGLC2DContext::pixels() const {
  return layer().surface ? cairo_image_surface_get_data(layer().surface) : nullptr;
}

OGLTRowSpan OGLC2DContext::takeChangedRows() { return std::exchange(layer().unsynced, {}); }

std::array<uint8_t, 4> OGLC2DContext::readPixel(int x, int y) const {
  if (!layer().surface || x < 0 || y < 0 || x >= layer().pixelWidth || y >= layer().pixelHeight) return {0, 0, 0, 0};
  cairo_surface_flush(layer().surface);
  uint32_t argb;
  size_t offset = static_cast<size_t>(y) * static_cast<size_t>(layer().stride) + static_cast<size_t>(x) * 4;
  std::memcpy(&argb, pixels() + offset, 4);
  uint32_t a = argb >> 24;
  if (a == 0) return {0, 0, 0, 0};
  auto straight = [a](uint32_t c) { return static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a)); };
  return {straight((argb >> 16) & 0xFF), straight((argb >> 8) & 0xFF), straight(argb & 0xFF), static_cast<uint8_t>(a)};
}

void OGLC2DContext::save() {
  if (states_.size() >= kMaxStates) {
    ++ignoredSaves_;
    return;
  }
  states_.push_back(states_.back());
}

void OGLC2DContext::restore() {
  if (ignoredSaves_ > 0) --ignoredSaves_;
  else if (states_.size() > 1) states_.pop_back();
}

void OGLC2DContext::translate(float x, float y) { state().xform = OGLFXformThen({1, 0, 0, 1, x, y}, state().xform); }

void OGLC2DContext::scale(float sx, float sy) { state().xform = OGLFXformThen({sx, 0, 0, sy, 0, 0}, state().xform); }

// The scissor is kept as a device-space box: the transforms the interface offers only move and
// scale, so a box stays a box.
void OGLC2DContext::intersectScissor(float x, float y, float w, float h) {
  w = std::max(0.0f, w);
  h = std::max(0.0f, h);
  float x0, y0, x1, y1;
  OGLFXformPoint(state().xform, x, y, x0, y0);
  OGLFXformPoint(state().xform, x + w, y + h, x1, y1);
  float box[4] = {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
  State& s = state();
  if (s.scissor) {
    box[0] = std::max(box[0], s.scissorRect[0]);
    box[1] = std::max(box[1], s.scissorRect[1]);
    box[2] = std::max(box[0], std::min(box[2], s.scissorRect[2]));
    box[3] = std::max(box[1], std::min(box[3], s.scissorRect[3]));
  }
  s.scissor = true;
  std::copy(box, box + 4, s.scissorRect);
}

// Sets cairo's clip to the scissor; false when nothing can show through it.
bool OGLC2DContext::applyScissor() {
  cairo_reset_clip(layer().cairo);
  const State& s = state();
  if (!s.scissor) return true;
  if (s.scissorRect[2] <= s.scissorRect[0] || s.scissorRect[3] <= s.scissorRect[1]) return false;
  cairo_rectangle(layer().cairo, s.scissorRect[0], s.scissorRect[1], s.scissorRect[2] - s.scissorRect[0],
                  s.scissorRect[3] - s.scissorRect[1]);
  cairo_clip(layer().cairo);
  return true;
}

int OGLC2DContext::makeTexture(int width, int height, const uint8_t* rgba) {
  if (!rgba || width <= 0 || height <= 0 || width > 32767 || height > 32767) return 0;
  if (static_cast<int64_t>(width) * height > INT_MAX / 4) return 0;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return 0;
  }
  int id = nextTexture_++;
  textures_[id] = {surface, width, height};
  syncTexture(id, rgba);
  return id;
}

// Straight-alpha RGBA in, premultiplied native ARGB out.
bool OGLC2DContext::syncTexture(int id, const uint8_t* rgba) {
  auto found = textures_.find(id);
  if (found == textures_.end() || !rgba) return false;
  Texture& texture = found->second;
  cairo_surface_flush(texture.surface);
  unsigned char* data = cairo_image_surface_get_data(texture.surface);
  int stride = cairo_image_surface_get_stride(texture.surface);
  for (int y = 0; y < texture.height; ++y) {
    const uint8_t* in = rgba + static_cast<size_t>(y) * static_cast<size_t>(texture.width) * 4;
    auto* out = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * static_cast<size_t>(stride));
    for (int x = 0; x < texture.width; ++x, in += 4) {
      uint32_t a = in[3];
      auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
      out[x] = (a << 24) | (pre(in[0]) << 16) | (pre(in[1]) << 8) | pre(in[2]);
    }
  }
  cairo_surface_mark_dirty(texture.surface);
  return true;
}

void OGLC2DContext::freeTexture(int id) {
  auto found = textures_.find(id);
  if (found == textures_.end()) return;
  cairo_surface_destroy(found->second.surface);
  textures_.erase(found);
}

// A paint is fixed in the transform that holds when it is set.
static OGLTPaint inDeviceSpace(const OGLTPaint& paint, const OGLTXform& xform) {
  OGLTPaint placed = paint;
  OGLTXform own{paint.xform[0], paint.xform[1], paint.xform[2], paint.xform[3], paint.xform[4], paint.xform[5]};
  OGLTXform device = OGLFXformThen(own, xform);
  std::copy(device.begin(), device.end(), placed.xform);
  return placed;
}

void OGLC2DContext::setFillPaint(const OGLTPaint& paint) { state().fill = inDeviceSpace(paint, state().xform); }

void OGLC2DContext::setStrokePaint(const OGLTPaint& paint) { state().stroke = inDeviceSpace(paint, state().xform); }
