#pragma once
// Graph-based segmentation of colour images with a reusable context that holds every work buffer
// for one image size, and a visualisation that paints each region in its own colour.
#include "modules/vision/algorithms/graph/disjoint-set.h"
#include "modules/vision/algorithms/graph/pixel-image.h"
#include "modules/vision/algorithms/graph/segment-graph.h"

#include <map>
#include <memory>
#include <vector>

namespace graphseg {

struct pixel_t {
  int x, y;
};

// The pixels of each region, keyed by the region's root vertex.
using region_map = std::map<int, std::vector<pixel_t>>;

struct segment_image_ctx {
  image_ptr<float> tmp;  // height × width: the intermediate of the separable smoothing
  image_ptr<float> r, g, b;
  image_ptr<float> smooth_r, smooth_g, smooth_b;
  std::vector<edge> edges;  // room for 4 edges per pixel
  std::vector<rgb> colors;  // one colour per vertex
  std::unique_ptr<universe> u;
  int width = 0;
  int height = 0;
};

// Allocates the buffers for width × height images and draws the colour table from the C
// library's generator. 0 on success, 22 for a size of no pixels or too many, 12 when memory runs
// out (the context is then left empty).
int segment_image_init(segment_image_ctx* ctx, int width, int height);
// Frees the buffers; the context can be initialised again.
void segment_image_exit(segment_image_ctx* ctx);

// Segments im (of the context's size) and answers the number of regions, also stored in
// *num_ccs when given. Smoothing uses sigma, merging the scale c; regions smaller than min_size
// are merged into a neighbour. −1 (and *num_ccs 0) for a missing context or image, or a size
// that is not the context's.
int segmentation(segment_image_ctx* ctx, const image<rgb>* im, float sigma, float c, int min_size, int* num_ccs);

// After segmentation: paints out (when given) with each pixel's region colour and, when regions
// is given, replaces its contents with the pixels of every region. False, doing nothing, when
// the sizes are not the context's or neither output is given.
bool visualize(segment_image_ctx* ctx, image<rgb>* out, int width, int height, region_map* regions);

// segmentation, then visualize when an output is given; answers what segmentation answers, or
// −1 (and *num_ccs 0) when an output is given that visualize cannot fill.
int segment_image(segment_image_ctx* ctx, const image<rgb>* in, image<rgb>* out, float sigma, float c, int min_size,
                  int* num_ccs, region_map* regions);

}  // namespace graphseg
