#include "modules/vision/algorithms/network/Layer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Owns a chain of layers and destroys it.
class Network {
public:
  explicit Network(Layer* input) { layers_.push_back(input); }
  ~Network() {
    for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) Layer_destroy(*it);
  }
  Network(const Network&) = delete;
  Network& operator=(const Network&) = delete;

  Layer* add(Layer* layer) {
    layers_.push_back(layer);
    return layer;
  }
  Layer* input() const { return layers_.front(); }
  Layer* last() const { return layers_.back(); }
  const std::vector<Layer*>& layers() const { return layers_; }

  std::vector<float> run(const std::vector<float>& values) const {
    Layer_setInputs(input(), values.data());
    std::vector<float> outputs(size_t(last()->nnodes));
    Layer_getOutputs(last(), outputs.data());
    return outputs;
  }

private:
  std::vector<Layer*> layers_;
};

std::vector<float> randomValues(int count, float low, float high) {
  std::vector<float> values(static_cast<size_t>(count));
  for (float& v : values) v = low + (high - low) * float(std::rand()) / float(RAND_MAX);
  return values;
}

// The loss whose gradient the backward pass computes: softmax outputs against targets summing
// to 1, with cross-entropy.
double crossEntropy(const Network& net, const std::vector<float>& inputs, const std::vector<float>& targets) {
  const std::vector<float> outputs = net.run(inputs);
  double loss = 0;
  for (size_t i = 0; i < outputs.size(); ++i) loss -= targets[i] * std::log(double(outputs[i]));
  return loss;
}

// Which convolutional nodes are switched off; a finite difference across a switch is no slope.
std::vector<bool> switchedOff(const Network& net) {
  std::vector<bool> off;
  for (Layer* layer : net.layers())
    if (layer->ltype == LAYER_CONV)
      for (int i = 0; i < layer->nnodes; ++i) off.push_back(layer->outputs[i] == 0.0f);
  return off;
}

// Compares every accumulated update with the central difference of the loss.
void expectGradientsMatch(const Network& net, const std::vector<float>& inputs, const std::vector<float>& targets) {
  net.run(inputs);
  const std::vector<bool> baseline = switchedOff(net);
  Layer_learnOutputs(net.last(), targets.data(), nullptr);
  const float eps = 2e-3f;
  int compared = 0;
  for (Layer* layer : net.layers()) {
    const std::pair<float*, float*> parameters[] = {{layer->weights, layer->u_weights},
                                                    {layer->biases, layer->u_biases}};
    const int counts[] = {layer->nweights, layer->nbiases};
    for (int p = 0; p < 2; ++p)
      for (int i = 0; i < counts[p]; ++i) {
        float& w = parameters[p].first[i];
        const float original = w;
        w = original + eps;
        const double plus = crossEntropy(net, inputs, targets);
        const bool samePlus = switchedOff(net) == baseline;
        w = original - eps;
        const double minus = crossEntropy(net, inputs, targets);
        const bool sameMinus = switchedOff(net) == baseline;
        w = original;
        if (!samePlus || !sameMinus) continue;
        const double numeric = (plus - minus) / (2.0 * eps);
        const double analytic = parameters[p].second[i];
        EXPECT_NEAR(analytic, numeric, 2e-3 + 2e-2 * std::fabs(numeric))
            << "layer " << layer->lid << (p == 0 ? " weight " : " bias ") << i;
        ++compared;
      }
  }
  EXPECT_GT(compared, 0);
}

TEST(LayerTest, FullLayersBackPropagateTheLossGradient) {
  std::srand(3);
  Network net(Layer_create_input(1, 1, 3));
  net.add(Layer_create_full(net.last(), 4, 0.8f));
  net.add(Layer_create_full(net.last(), 3, 0.8f));
  expectGradientsMatch(net, {0.3f, -0.7f, 0.9f}, {0.2f, 0.5f, 0.3f});
}

TEST(LayerTest, ConvolutionalLayersBackPropagateTheLossGradient) {
  std::srand(5);
  Network net(Layer_create_input(2, 5, 5));
  net.add(Layer_create_conv(net.last(), 3, 5, 5, 3, 1, 1, 0.5f));
  net.add(Layer_create_conv(net.last(), 2, 2, 2, 3, 0, 2, 0.5f));
  net.add(Layer_create_full(net.last(), 3, 0.5f));
  for (Layer* layer : net.layers())
    for (int i = 0; i < layer->nbiases; ++i) layer->biases[i] = 0.05f * float(i % 3) - 0.02f;
  expectGradientsMatch(net, randomValues(2 * 5 * 5, -1.0f, 1.0f), {0.1f, 0.0f, 0.9f});
  int off = 0;
  for (bool b : switchedOff(net)) off += b;
  EXPECT_GT(off, 0) << "the check should cover switched-off nodes too";
}

TEST(LayerTest, SoftmaxOutputsArePositiveAndSumToOne) {
  std::srand(1);
  Network net(Layer_create_input(1, 1, 2));
  net.add(Layer_create_full(net.last(), 2, 1.0f));
  net.add(Layer_create_full(net.last(), 2, 1.0f));
  const std::vector<float> outputs = net.run({0.4f, -0.6f});
  EXPECT_GT(outputs[0], 0.0f);
  EXPECT_GT(outputs[1], 0.0f);
  EXPECT_NEAR(outputs[0] + outputs[1], 1.0f, 1e-6f);
  EXPECT_EQ(net.last()->gradients[0], 1.0f);
  EXPECT_EQ(net.last()->gradients[1], 1.0f);
}

TEST(LayerTest, SoftmaxOfVeryNegativeValuesIsNoNaN) {
  Network net(Layer_create_input(1, 1, 1));
  Layer* out = net.add(Layer_create_full(net.last(), 3, 0.0f));
  out->biases[0] = -2000.0f;
  out->biases[1] = -1000.0f;
  out->biases[2] = -3000.0f;
  const std::vector<float> outputs = net.run({0.0f});
  EXPECT_EQ(outputs[0], 0.0f);
  EXPECT_EQ(outputs[1], 1.0f);
  EXPECT_EQ(outputs[2], 0.0f);
}

TEST(LayerTest, SwitchedOffConvolutionPassesNoError) {
  Network net(Layer_create_input(1, 3, 1));
  Layer* conv = net.add(Layer_create_conv(net.last(), 1, 3, 1, 1, 0, 1, 0.0f));
  net.add(Layer_create_full(net.last(), 2, 0.5f));
  conv->weights[0] = 1.0f;
  net.run({1.0f, -1.0f, 2.0f});
  EXPECT_EQ(conv->outputs[1], 0.0f);
  EXPECT_EQ(conv->gradients[1], 0.0f);
  const float targets[] = {1.0f, 0.0f};
  Layer_learnOutputs(net.last(), targets, nullptr);
  EXPECT_EQ(net.input()->errors[1], 0.0f);
  EXPECT_NE(net.input()->errors[0], 0.0f);
}

TEST(LayerTest, ErrorWeightsUpdatesAndErrorTotal) {
  std::srand(2);
  Network net(Layer_create_input(1, 1, 2));
  net.add(Layer_create_full(net.last(), 3, 1.0f));
  Layer* out = net.add(Layer_create_full(net.last(), 2, 1.0f));
  const std::vector<float> outputs = net.run({0.5f, 0.25f});

  Layer_learnOutputs(out, outputs.data(), nullptr);
  EXPECT_EQ(Layer_getErrorTotal(out), 0.0f);

  const float targets[] = {1.0f, 0.0f};
  const float weights[] = {0.0f, 1.0f};
  Layer_learnOutputs(out, targets, weights);
  EXPECT_EQ(out->errors[0], 0.0f);
  EXPECT_EQ(out->errors[1], outputs[1]);
  EXPECT_FLOAT_EQ(Layer_getErrorTotal(out), outputs[1] * outputs[1] / 2.0f);

  const std::vector<float> before(out->weights, out->weights + out->nweights);
  Layer_update(out, 0.0f);
  EXPECT_EQ(std::vector<float>(out->weights, out->weights + out->nweights), before);
  for (Layer* layer : net.layers()) {
    for (int i = 0; i < layer->nweights; ++i) EXPECT_EQ(layer->u_weights[i], 0.0f);
    for (int i = 0; i < layer->nbiases; ++i) EXPECT_EQ(layer->u_biases[i], 0.0f);
  }
}

TEST(LayerTest, LearnsXorFromAFixedSeed) {
  std::srand(1234);
  Network net(Layer_create_input(1, 1, 2));
  net.add(Layer_create_full(net.last(), 4, 1.0f));
  net.add(Layer_create_full(net.last(), 2, 1.0f));
  const float inputs[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
  const int classes[4] = {0, 1, 1, 0};
  for (int epoch = 0; epoch < 2000; ++epoch)
    for (int k = 0; k < 4; ++k) {
      Layer_setInputs(net.input(), inputs[k]);
      const float targets[2] = {classes[k] == 0 ? 1.0f : 0.0f, classes[k] == 1 ? 1.0f : 0.0f};
      Layer_learnOutputs(net.last(), targets, nullptr);
      Layer_update(net.last(), 0.1f);
    }
  for (int k = 0; k < 4; ++k) {
    const std::vector<float> outputs = net.run({inputs[k][0], inputs[k][1]});
    EXPECT_GT(outputs[size_t(classes[k])], 0.9f) << "input " << k;
  }
}

std::string dumped(const Layer* layer) {
  char* text = nullptr;
  size_t length = 0;
  FILE* stream = open_memstream(&text, &length);
  Layer_dump(layer, stream);
  std::fclose(stream);
  std::string result(text, length);
  std::free(text);
  return result;
}

TEST(LayerTest, DumpTexts) {
  Network net(Layer_create_input(1, 2, 1));
  Layer* full = net.add(Layer_create_full(net.last(), 2, 0.0f));
  const float weights[] = {0.1f, 0.2f, -0.3f, 0.4f};
  std::copy(weights, weights + 4, full->weights);
  full->biases[1] = 0.5f;
  full->trace = 1;
  testing::internal::CaptureStdout();
  net.run({0.5f, -1.0f});
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "  outputs > [ -0.1500 -0.0500]\n");

  EXPECT_EQ(dumped(net.input()),
            "Layer0 shape=(1,2,1), nodes=2\n"
            "  0:\n"
            "    [ 0.5000 -1.0000]\n");
  EXPECT_EQ(dumped(full),
            "Layer1 (lprev=Layer0) shape=(2,1,1), nodes=2\n"
            "  0:\n"
            "    [ 0.4750]\n"
            "  1:\n"
            "    [ 0.5250]\n"
            "  biases = [ 0.0000 0.5000]\n"
            "  weights = [\n"
            "    [ 0.1000 0.2000]\n"
            "    [ -0.3000 0.4000]\n"
            "  ]\n");

  Network image(Layer_create_input(1, 2, 2));
  Layer* conv = image.add(Layer_create_conv(image.last(), 2, 1, 1, 1, 0, 2, 0.0f));
  conv->weights[0] = 1.5f;
  conv->weights[1] = -2.0f;
  conv->biases[0] = 0.25f;
  image.run({1.0f, 2.0f, 3.0f, 4.0f});
  EXPECT_EQ(dumped(conv),
            "Layer1 (lprev=Layer0) shape=(2,1,1), nodes=2\n"
            "  0:\n"
            "    [ 1.7500]\n"
            "  1:\n"
            "    [ 0.0000]\n"
            "  stride=2, kernsize=1\n"
            "  0: bias=0.2500, weights = [ 1.5000]\n"
            "  1: bias=0.0000, weights = [ -2.0000]\n");
}

TEST(LayerTest, ConvolutionShapeLimit) {
  // Width 4 is the widest output that a 3 × 3 kernel with padding 1 and stride 1 fits over 4.
  Network net(Layer_create_input(1, 4, 4));
  EXPECT_NE(net.add(Layer_create_conv(net.last(), 1, 4, 4, 3, 1, 1, 0.1f)), nullptr);
  EXPECT_DEATH(
      {
        Layer* input = Layer_create_input(1, 4, 4);
        Layer_create_conv(input, 1, 5, 4, 3, 1, 1, 0.1f);
      },
      "\\(width-1\\) \\* stride \\+ kernsize <= lprev->width \\+ padding\\*2");
}

TEST(LayerTest, PreconditionsStopTheProgramInEveryBuild) {
  EXPECT_DEATH(
      {
        Layer* input = Layer_create_input(1, 1, 2);
        Layer_create_full(input, 2, 1.0f);
        Layer_create_full(input, 2, 1.0f);
      },
      "lprev->lnext == NULL");
  EXPECT_DEATH(
      {
        Layer* input = Layer_create_input(1, 1, 2);
        Layer_create_conv(input, 1, 1, 1, 2, 0, 1, 1.0f);
      },
      "\\(kernsize % 2\\) == 1");
  EXPECT_DEATH(
      {
        Layer* input = Layer_create_input(1, 1, 2);
        Layer* full = Layer_create_full(input, 2, 1.0f);
        const float values[2] = {};
        Layer_setInputs(full, values);
      },
      "self->ltype == LAYER_INPUT");
  EXPECT_DEATH(
      {
        Layer* input = Layer_create_input(1, 1, 2);
        const float values[2] = {};
        Layer_learnOutputs(input, values, nullptr);
      },
      "self->ltype != LAYER_INPUT");
  EXPECT_DEATH(Layer_dump(nullptr, stdout), "self != NULL");
  EXPECT_EQ(Layer_create_input(0, 1, 1), nullptr);
}

}  // namespace
