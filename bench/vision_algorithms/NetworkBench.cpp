// The small network against OpenCV's ANN_MLP on the handwritten digits of OpenCV's sample data
// (5000 digits of 20 × 20): the same layer sizes 400-64-10, the same number of passes over the
// same 4000 training digits, accuracy on the other 1000.
#include "bench/vision_algorithms/bench_images.h"

#include "modules/vision/algorithms/network/Layer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <random>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/ml.hpp>

namespace {

constexpr int kSide = 20;
constexpr int kInputs = kSide * kSide;
constexpr int kHidden = 64;
constexpr int kClasses = 10;
constexpr int kTraining = 4000;

struct Digits {
  cv::Mat features;  // one row of 400 values in 0 .. 1 per digit
  std::vector<int> classes;
};

// Digits in a fixed shuffled order; empty when the sample data is missing.
const Digits& digits() {
  static const Digits loaded = [] {
    Digits result;
    const cv::Mat sheet = cv::imread(benchDataFolder() + "/digits.png", cv::IMREAD_GRAYSCALE);
    if (sheet.empty()) return result;
    std::vector<int> order(size_t((sheet.rows / kSide) * (sheet.cols / kSide)));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(42));
    const int perRow = sheet.cols / kSide;
    const int rowsPerClass = sheet.rows / kSide / kClasses;
    for (int index : order) {
      const int row = index / perRow, column = index % perRow;
      cv::Mat cell;
      sheet(cv::Rect(column * kSide, row * kSide, kSide, kSide)).convertTo(cell, CV_32F, 1.0 / 255);
      result.features.push_back(cell.reshape(1, 1));
      result.classes.push_back(row / rowsPerClass);
    }
    return result;
  }();
  return loaded;
}

int argmax(const float* values, int count) { return int(std::max_element(values, values + count) - values); }

void ours(benchmark::State& state) {
  const Digits& data = digits();
  if (data.classes.empty()) return state.SkipWithError("digits.png not found");
  const int epochs = int(state.range(0));
  double accuracy = 0;
  for (auto _ : state) {
    std::srand(1);
    Layer* input = Layer_create_input(1, kSide, kSide);
    Layer* hidden = Layer_create_full(input, kHidden, 0.1f);
    Layer* output = Layer_create_full(hidden, kClasses, 0.1f);
    for (int epoch = 0; epoch < epochs; ++epoch)
      for (int i = 0; i < kTraining; ++i) {
        Layer_setInputs(input, data.features.ptr<float>(i));
        float targets[kClasses] = {};
        targets[data.classes[size_t(i)]] = 1.0f;
        Layer_learnOutputs(output, targets, nullptr);
        Layer_update(output, 0.01f);
      }
    int right = 0;
    for (int i = kTraining; i < data.features.rows; ++i) {
      Layer_setInputs(input, data.features.ptr<float>(i));
      right += argmax(output->outputs, kClasses) == data.classes[size_t(i)];
    }
    accuracy = double(right) / (data.features.rows - kTraining);
    Layer_destroy(output);
    Layer_destroy(hidden);
    Layer_destroy(input);
  }
  state.counters["accuracy"] = accuracy;
}

void opencv(benchmark::State& state) {
  const Digits& data = digits();
  if (data.classes.empty()) return state.SkipWithError("digits.png not found");
  cv::setNumThreads(1);
  const int epochs = int(state.range(0));
  cv::Mat responses = cv::Mat::zeros(kTraining, kClasses, CV_32F);
  for (int i = 0; i < kTraining; ++i) responses.at<float>(i, data.classes[size_t(i)]) = 1.0f;
  double accuracy = 0;
  for (auto _ : state) {
    cv::theRNG().state = 1;
    cv::Ptr<cv::ml::ANN_MLP> mlp = cv::ml::ANN_MLP::create();
    mlp->setLayerSizes(std::vector<int>{kInputs, kHidden, kClasses});
    mlp->setActivationFunction(cv::ml::ANN_MLP::SIGMOID_SYM);
    mlp->setTrainMethod(cv::ml::ANN_MLP::BACKPROP, 0.01, 0.0);
    mlp->setTermCriteria({cv::TermCriteria::MAX_ITER, epochs, 0.0});
    mlp->train(cv::ml::TrainData::create(data.features.rowRange(0, kTraining), cv::ml::ROW_SAMPLE, responses));
    cv::Mat predicted;
    mlp->predict(data.features.rowRange(kTraining, data.features.rows), predicted);
    int right = 0;
    for (int i = 0; i < predicted.rows; ++i)
      right += argmax(predicted.ptr<float>(i), kClasses) == data.classes[size_t(kTraining + i)];
    accuracy = double(right) / predicted.rows;
  }
  state.counters["accuracy"] = accuracy;
}

BENCHMARK(ours)->Name("Network/ours/digits/400-64-10")->Arg(5)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(opencv)
    ->Name("Network/opencv/digits/400-64-10")
    ->Arg(5)
    ->Arg(20)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
