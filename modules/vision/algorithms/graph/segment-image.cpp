#include "modules/vision/algorithms/graph/segment-image.h"

#include "modules/vision/algorithms/graph/filter.h"
#include "modules/vision/algorithms/graph/sqrt-and-colour.h"

#include <cerrno>
#include <climits>
#include <new>

namespace graphseg {

namespace {

constexpr int kEdgesPerPixel = 4;

bool readyFor(const segment_image_ctx* ctx, int width, int height) {
  return ctx && ctx->u && ctx->width == width && ctx->height == height;
}

// Edges to the right, down, down-right and up-right neighbours; answers their number.
int buildEdges(segment_image_ctx& ctx) {
  const int width = ctx.width;
  const int height = ctx.height;
  const float* r = ctx.smooth_r->data;
  const float* g = ctx.smooth_g->data;
  const float* b = ctx.smooth_b->data;
  edge* out = ctx.edges.data();
  int count = 0;
  auto add = [&](int i, int j) {
    const float dr = r[i] - r[j], dg = g[i] - g[j], db = b[i] - b[j];
    out[count++] = {fast_float_sqrt(dr * dr + dg * dg + db * db), i, j};
  };
  for (int y = 0; y < height; ++y)
    for (int x = 0, i = y * width; x < width; ++x, ++i) {
      const bool right = x < width - 1;
      if (right) add(i, i + 1);
      if (y < height - 1) add(i, i + width);
      if (right && y < height - 1) add(i, i + width + 1);
      if (right && y > 0) add(i, i - width + 1);
    }
  return count;
}

void mergeSmallRegions(segment_image_ctx& ctx, int num_edges, int min_size) {
  universe& u = *ctx.u;
  for (int i = 0; i < num_edges; ++i) {
    prefetch_ahead(u, ctx.edges.data(), i, num_edges);
    const int a = u.find(ctx.edges[size_t(i)].a);
    const int b = u.find(ctx.edges[size_t(i)].b);
    if (a != b && (u.size(a) < min_size || u.size(b) < min_size)) u.join(a, b);
  }
}

}  // namespace

int segment_image_init(segment_image_ctx* ctx, int width, int height) {
  if (!ctx) return EINVAL;
  segment_image_exit(ctx);
  if (width <= 0 || height <= 0 || width > INT_MAX / kEdgesPerPixel / height) return EINVAL;
  try {
    ctx->tmp = std::make_unique<image<float>>(height, width);
    for (image_ptr<float>* plane : {&ctx->r, &ctx->g, &ctx->b, &ctx->smooth_r, &ctx->smooth_g, &ctx->smooth_b})
      *plane = std::make_unique<image<float>>(width, height);
    const size_t pixels = size_t(width) * size_t(height);
    ctx->edges.resize(pixels * kEdgesPerPixel);
    ctx->colors.resize(pixels);
    ctx->u = std::make_unique<universe>(int(pixels));
  } catch (const std::bad_alloc&) {
    segment_image_exit(ctx);
    return ENOMEM;
  }
  for (rgb& colour : ctx->colors) colour = random_rgb();
  ctx->width = width;
  ctx->height = height;
  return 0;
}

void segment_image_exit(segment_image_ctx* ctx) {
  if (ctx) *ctx = segment_image_ctx{};
}

int segmentation(segment_image_ctx* ctx, const image<rgb>* im, float sigma, float c, int min_size, int* num_ccs) {
  if (num_ccs) *num_ccs = 0;
  if (!im || !readyFor(ctx, im->width, im->height)) return -1;
  for (int y = 0; y < ctx->height; ++y)
    for (int x = 0; x < ctx->width; ++x) {
      const rgb& pixel = (*im)(x, y);
      (*ctx->r)(x, y) = pixel.r;
      (*ctx->g)(x, y) = pixel.g;
      (*ctx->b)(x, y) = pixel.b;
    }
  smooth(*ctx->r, sigma, *ctx->smooth_r, *ctx->tmp);
  smooth(*ctx->g, sigma, *ctx->smooth_g, *ctx->tmp);
  smooth(*ctx->b, sigma, *ctx->smooth_b, *ctx->tmp);

  const int num_edges = buildEdges(*ctx);
  if (!segment_graph(*ctx->u, ctx->width * ctx->height, num_edges, ctx->edges.data(), c)) return -1;
  mergeSmallRegions(*ctx, num_edges, min_size);

  const int count = ctx->u->num_sets();
  if (num_ccs) *num_ccs = count;
  return count;
}

bool visualize(segment_image_ctx* ctx, image<rgb>* out, int width, int height, region_map* regions) {
  if (!readyFor(ctx, width, height) || (!out && !regions)) return false;
  if (out && (out->width != width || out->height != height)) return false;
  if (regions) regions->clear();
  universe& u = *ctx->u;
  try {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const int comp = u.find(y * width + x);
        if (regions) (*regions)[comp].push_back({x, y});
        if (out) (*out)(x, y) = ctx->colors[size_t(comp)];
      }
  } catch (const std::bad_alloc&) {
    if (regions) regions->clear();
    return false;
  }
  return true;
}

int segment_image(segment_image_ctx* ctx, const image<rgb>* in, image<rgb>* out, float sigma, float c, int min_size,
                  int* num_ccs, region_map* regions) {
  const int count = segmentation(ctx, in, sigma, c, min_size, num_ccs);
  if (count < 0 || (!out && !regions) || visualize(ctx, out, in->width, in->height, regions)) return count;
  if (num_ccs) *num_ccs = 0;
  return -1;
}

}  // namespace graphseg
