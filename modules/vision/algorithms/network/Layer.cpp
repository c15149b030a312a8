#include "modules/vision/algorithms/network/Layer.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cmath>
#include <cstdlib>

// Stops the program with the failed expression, in every build.
#define LAYER_CHECK(expression)                                                                               \
  do {                                                                                                        \
    if (!(expression)) {                                                                                      \
      std::fprintf(stderr, "%s:%d: %s: Assertion `%s' failed.\n", __FILE__, __LINE__, __func__, #expression); \
      std::abort();                                                                                           \
    }                                                                                                         \
  } while (0)

namespace {

// A roughly normal draw of deviation about 1 from four uniform ones.
float randomWeight() {
  float sum = 0;
  for (int i = 0; i < 4; ++i) sum += float(std::rand()) * (1.0f / 2147483648.0f);
  return (sum - 2.0f) * 1.724f;
}

float* zeroFloats(int count) { return static_cast<float*>(std::calloc(size_t(count) + 1, sizeof(float))); }

bool positiveProduct(int a, int b, int c, int& product) {
  if (a <= 0 || b <= 0 || c <= 0) return false;
  long long p = (long long)a * b * c;
  if (p > INT_MAX) return false;
  product = int(p);
  return true;
}

// Visits every (output node, input node, weight) of a convolutional layer in forward order.
// onNode(i, z1) starts output node i; onInput(i, j, k) pairs it with input node j through weight k.
template <class OnNode, class OnInput, class OnNodeDone>
int forEachConnection(const Layer* self, OnNode onNode, OnInput onInput, OnNodeDone onNodeDone) {
  const Layer* lprev = self->lprev;
  const int kernsize = self->kernsize;
  int i = 0;
  for (int z1 = 0; z1 < self->depth; ++z1) {
    const int qbase = z1 * lprev->depth * kernsize * kernsize;
    for (int y1 = 0; y1 < self->height; ++y1) {
      const int y0 = self->stride * y1 - self->padding;
      for (int x1 = 0; x1 < self->width; ++x1, ++i) {
        const int x0 = self->stride * x1 - self->padding;
        onNode(i, z1);
        for (int z0 = 0; z0 < lprev->depth; ++z0) {
          const int pbase = z0 * lprev->width * lprev->height;
          for (int dy = 0; dy < kernsize; ++dy) {
            const int y = y0 + dy;
            if (y < 0 || y >= lprev->height) continue;
            for (int dx = 0; dx < kernsize; ++dx) {
              const int x = x0 + dx;
              if (x < 0 || x >= lprev->width) continue;
              onInput(i, pbase + y * lprev->width + x, qbase + z0 * kernsize * kernsize + dy * kernsize + dx);
            }
          }
        }
        onNodeDone(i, z1);
      }
    }
  }
  return i;
}

void feedForwardFull(Layer* self) {
  const Layer* lprev = self->lprev;
  LAYER_CHECK(lprev != NULL);
  for (int i = 0, k = 0; i < self->nnodes; ++i) {
    float x = self->biases[i];
    for (int j = 0; j < lprev->nnodes; ++j) x += lprev->outputs[j] * self->weights[k++];
    self->outputs[i] = x;
  }
  if (self->trace) {
    std::printf("  outputs > [");
    for (int i = 0; i < self->nnodes; ++i) std::printf(" %.4f", double(self->outputs[i]));
    std::printf("]\n");
  }
  if (self->lnext != NULL) {
    for (int i = 0; i < self->nnodes; ++i) {
      const float y = float(std::tanh(double(self->outputs[i])));
      self->outputs[i] = y;
      self->gradients[i] = 1.0f - y * y;
    }
    return;
  }
  // Softmax, shifted by the largest value so that no exponential overflows or all underflow.
  const float m = *std::max_element(self->outputs, self->outputs + self->nnodes);
  float total = 0;
  for (int i = 0; i < self->nnodes; ++i) {
    const float y = float(std::exp(double(self->outputs[i] - m)));
    self->outputs[i] = y;
    total += y;
  }
  for (int i = 0; i < self->nnodes; ++i) {
    self->outputs[i] /= total;
    self->gradients[i] = 1.0f;
  }
}

void feedForwardConv(Layer* self) {
  const Layer* lprev = self->lprev;
  LAYER_CHECK(lprev != NULL);
  float v = 0;
  const int i = forEachConnection(
      self, [&](int, int z1) { v = self->biases[z1]; },
      [&](int, int j, int k) { v += lprev->outputs[j] * self->weights[k]; },
      [&](int node, int) {
        self->outputs[node] = v > 0 ? v : 0.0f;
        self->gradients[node] = v > 0 ? 1.0f : 0.0f;
      });
  LAYER_CHECK(i == self->nnodes);
}

void feedBackFull(Layer* self) {
  Layer* lprev = self->lprev;
  LAYER_CHECK(lprev != NULL);
  std::fill(lprev->errors, lprev->errors + lprev->nnodes, 0.0f);
  // The arrays of two layers never overlap; saying so lets the row loop run in vector registers.
  float* __restrict back = lprev->errors;
  const float* __restrict inputs = lprev->outputs;
  const int n = lprev->nnodes;
  for (int i = 0; i < self->nnodes; ++i) {
    const float dnet = self->errors[i] * self->gradients[i];
    const float* __restrict row = self->weights + size_t(i) * size_t(n);
    float* __restrict update = self->u_weights + size_t(i) * size_t(n);
    for (int j = 0; j < n; ++j) {
      back[j] += row[j] * dnet;
      update[j] += dnet * inputs[j];
    }
    self->u_biases[i] += dnet;
  }
}

void feedBackConv(Layer* self) {
  Layer* lprev = self->lprev;
  LAYER_CHECK(lprev != NULL);
  std::fill(lprev->errors, lprev->errors + lprev->nnodes, 0.0f);
  float dnet = 0;
  const int i = forEachConnection(
      self, [&](int node, int) { dnet = self->errors[node] * self->gradients[node]; },
      [&](int, int j, int k) {
        lprev->errors[j] += self->weights[k] * dnet;
        self->u_weights[k] += dnet * lprev->outputs[j];
      },
      [&](int, int z1) { self->u_biases[z1] += dnet; });
  LAYER_CHECK(i == self->nnodes);
}

void feedForward(Layer* self) {
  switch (self->ltype) {
    case LAYER_FULL:
      feedForwardFull(self);
      break;
    case LAYER_CONV:
      feedForwardConv(self);
      break;
    default:
      break;
  }
}

void feedBack(Layer* self) {
  switch (self->ltype) {
    case LAYER_FULL:
      feedBackFull(self);
      break;
    case LAYER_CONV:
      feedBackConv(self);
      break;
    default:
      break;
  }
}

void applyUpdates(float* __restrict values, float* __restrict updates, int count, float rate) {
  for (int i = 0; i < count; ++i) {
    values[i] -= rate * updates[i];
    updates[i] = 0;
  }
}

void dumpValues(const float* values, int count, FILE* fp) {
  for (int i = 0; i < count; ++i) std::fprintf(fp, " %.4f", double(values[i]));
}

}  // namespace

extern "C" {

Layer* Layer_create(Layer* lprev, int ltype, int depth, int width, int height, int nbiases, int nweights) {
  if (lprev != NULL) LAYER_CHECK(lprev->lnext == NULL);
  int nnodes = 0;
  if (!positiveProduct(depth, width, height, nnodes) || nbiases < 0 || nweights < 0) return NULL;
  Layer* self = static_cast<Layer*>(std::calloc(1, sizeof(Layer)));
  if (self == NULL) return NULL;
  self->lprev = lprev;
  self->lid = lprev != NULL ? lprev->lid + 1 : 0;
  self->ltype = ltype;
  self->depth = depth;
  self->width = width;
  self->height = height;
  self->nnodes = nnodes;
  self->nbiases = nbiases;
  self->nweights = nweights;
  self->outputs = zeroFloats(nnodes);
  self->gradients = zeroFloats(nnodes);
  self->errors = zeroFloats(nnodes);
  self->biases = zeroFloats(nbiases);
  self->u_biases = zeroFloats(nbiases);
  self->weights = zeroFloats(nweights);
  self->u_weights = zeroFloats(nweights);
  if (!self->outputs || !self->gradients || !self->errors || !self->biases || !self->u_biases || !self->weights ||
      !self->u_weights) {
    Layer_destroy(self);
    return NULL;
  }
  if (lprev != NULL) lprev->lnext = self;
  return self;
}

Layer* Layer_create_input(int depth, int width, int height) {
  return Layer_create(NULL, LAYER_INPUT, depth, width, height, 0, 0);
}

Layer* Layer_create_full(Layer* lprev, int nnodes, float std) {
  LAYER_CHECK(lprev != NULL);
  const long long nweights = (long long)nnodes * lprev->nnodes;
  if (nnodes <= 0 || nweights > INT_MAX) return NULL;
  Layer* self = Layer_create(lprev, LAYER_FULL, nnodes, 1, 1, nnodes, int(nweights));
  LAYER_CHECK(self != NULL);
  for (int i = 0; i < self->nweights; ++i) self->weights[i] = std * randomWeight();
  return self;
}

Layer* Layer_create_conv(Layer* lprev, int depth, int width, int height, int kernsize, int padding, int stride,
                         float std) {
  LAYER_CHECK(lprev != NULL);
  LAYER_CHECK((kernsize % 2) == 1);
  // The failure message is the expression as written, which callers match: keep its spacing.
  // clang-format off
  LAYER_CHECK((width-1) * stride + kernsize <= lprev->width + padding*2);
  LAYER_CHECK((height-1) * stride + kernsize <= lprev->height + padding*2);
  // clang-format on
  const long long nweights = (long long)depth * lprev->depth * kernsize * kernsize;
  if (depth <= 0 || nweights > INT_MAX) return NULL;
  Layer* self = Layer_create(lprev, LAYER_CONV, depth, width, height, depth, int(nweights));
  LAYER_CHECK(self != NULL);
  self->kernsize = kernsize;
  self->padding = padding;
  self->stride = stride;
  for (int i = 0; i < self->nweights; ++i) self->weights[i] = std * randomWeight();
  return self;
}

void Layer_destroy(Layer* self) {
  LAYER_CHECK(self != NULL);
  std::free(self->outputs);
  std::free(self->gradients);
  std::free(self->errors);
  std::free(self->biases);
  std::free(self->u_biases);
  std::free(self->weights);
  std::free(self->u_weights);
  std::free(self);
}

void Layer_setInputs(Layer* self, const float* values) {
  LAYER_CHECK(self != NULL);
  LAYER_CHECK(self->ltype == LAYER_INPUT);
  LAYER_CHECK(self->lprev == NULL);
  LAYER_CHECK(values != NULL);
  std::copy(values, values + self->nnodes, self->outputs);
  for (Layer* layer = self->lnext; layer != NULL; layer = layer->lnext) feedForward(layer);
}

void Layer_getOutputs(const Layer* self, float* outputs) {
  LAYER_CHECK(self != NULL);
  LAYER_CHECK(outputs != NULL);
  std::copy(self->outputs, self->outputs + self->nnodes, outputs);
}

float Layer_getErrorTotal(const Layer* self) {
  LAYER_CHECK(self != NULL);
  float total = 0;
  for (int i = 0; i < self->nnodes; ++i) total += self->errors[i] * self->errors[i];
  return total / float(self->nnodes);
}

void Layer_learnOutputs(Layer* self, const float* values, const float* errweights) {
  LAYER_CHECK(self != NULL);
  LAYER_CHECK(self->ltype != LAYER_INPUT);
  LAYER_CHECK(self->lprev != NULL);
  LAYER_CHECK(values != NULL);
  for (int i = 0; i < self->nnodes; ++i) {
    self->errors[i] = self->outputs[i] - values[i];
    if (errweights != NULL) self->errors[i] *= errweights[i];
  }
  for (Layer* layer = self; layer != NULL && layer->ltype != LAYER_INPUT; layer = layer->lprev) feedBack(layer);
}

void Layer_update(Layer* self, float rate) {
  LAYER_CHECK(self != NULL);
  for (Layer* layer = self; layer != NULL; layer = layer->lprev) {
    applyUpdates(layer->biases, layer->u_biases, layer->nbiases, rate);
    applyUpdates(layer->weights, layer->u_weights, layer->nweights, rate);
  }
}

void Layer_dump(const Layer* self, FILE* fp) {
  LAYER_CHECK(self != NULL);
  LAYER_CHECK(fp != NULL);
  std::fprintf(fp, "Layer%d ", self->lid);
  if (self->lprev != NULL) std::fprintf(fp, "(lprev=Layer%d) ", self->lprev->lid);
  std::fprintf(fp, "shape=(%d,%d,%d), nodes=%d\n", self->depth, self->width, self->height, self->nnodes);
  for (int z = 0, i = 0; z < self->depth; ++z) {
    std::fprintf(fp, "  %d:\n", z);
    for (int y = 0; y < self->height; ++y, i += self->width) {
      std::fprintf(fp, "    [");
      dumpValues(self->outputs + i, self->width, fp);
      std::fprintf(fp, "]\n");
    }
  }
  if (self->ltype == LAYER_FULL) {
    std::fprintf(fp, "  biases = [");
    dumpValues(self->biases, self->nnodes, fp);
    std::fprintf(fp, "]\n");
    std::fprintf(fp, "  weights = [\n");
    const int row = self->lprev != NULL ? self->lprev->nnodes : 0;
    for (int i = 0; i < self->nnodes; ++i) {
      std::fprintf(fp, "    [");
      dumpValues(self->weights + i * row, row, fp);
      std::fprintf(fp, "]\n");
    }
    std::fprintf(fp, "  ]\n");
  } else if (self->ltype == LAYER_CONV) {
    std::fprintf(fp, "  stride=%d, kernsize=%d\n", self->stride, self->kernsize);
    const int block = self->lprev != NULL ? self->lprev->depth * self->kernsize * self->kernsize : 0;
    for (int z = 0; z < self->depth; ++z) {
      std::fprintf(fp, "  %d: bias=%.4f, weights = [", z, double(self->biases[z]));
      dumpValues(self->weights + z * block, block, fp);
      std::fprintf(fp, "]\n");
    }
  }
}

}  // extern "C"
