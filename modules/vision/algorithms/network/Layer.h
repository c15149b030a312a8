#pragma once
/* A small feed-forward network in single precision: an input layer, then convolutional (ReLU)
 * and fully connected layers (tanh when hidden, softmax when last), trained by back-propagation
 * with plain gradient steps. Node index = z × width × height + y × width + x.
 *
 * Preconditions are checked in every build: a failed one prints the expression and stops the
 * program. */
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { LAYER_INPUT = 0, LAYER_FULL = 1, LAYER_CONV = 2 };

typedef struct Layer {
  int lid; /* 0 without predecessor, else the predecessor's number + 1 */
  struct Layer* lprev;
  struct Layer* lnext;
  int depth, width, height;
  int nnodes; /* depth × width × height */
  float* outputs;
  float* gradients; /* derivative of the activation at each output */
  float* errors;
  int nbiases;
  float* biases;
  float* u_biases; /* accumulated bias updates */
  int nweights;
  float* weights;
  float* u_weights; /* accumulated weight updates */
  int ltype;
  int kernsize; /* convolution: odd kernel size, padding and stride */
  int padding;
  int stride;
  int trace; /* non-zero: a full layer prints its raw outputs on each forward pass */
} Layer;

/* A layer linked behind lprev (which must have no successor yet); NULL when the shape or counts
 * are not positive or memory runs out. */
Layer* Layer_create(Layer* lprev, int ltype, int depth, int width, int height, int nbiases, int nweights);
Layer* Layer_create_input(int depth, int width, int height);
/* nnodes nodes, each fed by every node of lprev; weights std × a random draw. NULL for sizes
 * that are not positive or too large; a missing lprev or a failed allocation stops the program. */
Layer* Layer_create_full(Layer* lprev, int nnodes, float std);
/* depth planes of width × height, kernels of kernsize × kernsize over lprev; the kernel must be
 * odd and every output position must fit over lprev with the padding. */
Layer* Layer_create_conv(Layer* lprev, int depth, int width, int height, int kernsize, int padding, int stride,
                         float std);
void Layer_destroy(Layer* self);

/* Sets the input layer's outputs and runs the forward pass through the whole chain. */
void Layer_setInputs(Layer* self, const float* values);
void Layer_getOutputs(const Layer* self, float* outputs);
/* Mean of the squared node errors. */
float Layer_getErrorTotal(const Layer* self);
/* Errors against the targets (scaled by errweights when given), then the backward pass. */
void Layer_learnOutputs(Layer* self, const float* values, const float* errweights);
/* Applies and clears the accumulated updates of this layer and every predecessor. */
void Layer_update(Layer* self, float rate);
void Layer_dump(const Layer* self, FILE* fp);

#ifdef __cplusplus
}
#endif
