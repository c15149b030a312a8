// The labelling cursor on a hand-made sample: a 3 x 4 grid of 10-pixel squares, the left half
// red (one a shade darker, one of another texture), the right half blue, one cell empty. Each
// case is a sequence of cursor presses, object and label choices; the outcome is the mask of
// every superpixel, the object slots and whether the sample is touched.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/vision/VSKFLabelingInteraction.h"
#include "tests/samples/SampleTestKit.h"

namespace {
constexpr int kRows = 3, kCols = 4, kSize = 10;

Ref<VSKCImageSample> fixedSample() {
  std::vector<Ref<MRKBTerm>> entries;
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kCols; ++c) {
      const int index = r * kCols + c;
      if (r == 0 && c == 3) {  // the empty cell
        entries.push_back(nullptr);
        continue;
      }
      const bool red = c < 2;
      const int16_t shade = (r == 1 && c == 1) ? 190 : 200;  // a darker red: colour distance about 2
      entries.push_back(squareSuperpixelFrame(
          static_cast<int16_t>(index), static_cast<int16_t>(c * kSize), static_cast<int16_t>(r * kSize), kSize,
          static_cast<int16_t>(red ? 0 : 200), 0, static_cast<int16_t>(red ? shade : 0),
          (r == 2 && c == 0) ? std::vector<float>{0.9f, 0.9f} : std::vector<float>{0.1f, 0.1f}));
    }
  }
  Ref<MRKCStatement> statement = segmentedStatement(kRows, kCols, kSize, std::move(entries));
  return VSKCImageSample::sampleFromStatement(statement.get(), "fixed", 0);
}

// One step: a press at a cell's centre (row, col; -1 for a point outside the grid) with
// modifiers, or a choice of object or label.
struct Step {
  enum Kind { press, object, label, proximity, threshold } kind;
  int row = 0, col = 0, modifiers = 0;
  double value = 0;
};
Step at(int row, int col, int modifiers = 0) { return {Step::press, row, col, modifiers, 0}; }
Step object(uint32_t k) { return {Step::object, 0, 0, 0, double(k)}; }
Step label(uint32_t n) { return {Step::label, 0, 0, 0, double(n)}; }
Step reach(uint32_t n) { return {Step::proximity, 0, 0, 0, double(n)}; }
Step limit(double t) { return {Step::threshold, 0, 0, 0, t}; }

constexpr int S = kOGLModShift, C = kOGLModControl;

struct Case {
  const char* name;
  std::vector<Step> steps;
  std::vector<uint32_t> masks;  // row-major, 12 cells
  std::vector<uint8_t> slots;   // the first slots
  bool touched;
  std::string status;  // "" or the prefix of the compare status
};

void run(VSKCImageSample& sample, VSKTLabelingState& state, const std::vector<Step>& steps, std::string* status) {
  for (const Step& step : steps) {
    switch (step.kind) {
      case Step::press: {
        const NRKTPoint p =
            step.row < 0 ? NRKTPoint{100, 100} : NRKTPoint{float(step.col * kSize + 5), float(step.row * kSize + 5)};
        (void)VSKFLabelingClick(sample, state, p, step.modifiers, status);
        break;
      }
      case Step::object:
        state.selectedObject = uint32_t(step.value);
        break;
      case Step::label:
        state.currentLabel = uint32_t(step.value);
        break;
      case Step::proximity:
        state.proximity = VSKFLabelingClampProximity(step.value);
        break;
      case Step::threshold:
        state.threshold = VSKFLabelingClampThreshold(step.value);
        break;
    }
  }
}

TEST(LabelingInteraction, CursorSequencesGiveTheLabelsOfEverySuperpixel) {
  const std::vector<Case> cases = {
      {"one click toggles one superpixel and labels the object",
       {label(3), at(0, 0)},
       {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {3},
       true,
       ""},
      {"a second click on it toggles it off, still labelling and touching",
       {label(3), at(0, 0), at(0, 0)},
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {3},
       true,
       ""},
      {"shift floods the similar cells within reach 1, not the other texture nor blue",
       {label(2), reach(1), at(1, 0, S)},
       {1, 1, 0, 0, 1, 1, 0, 0, 0, 1, 0, 0},
       {2},
       true,
       ""},
      {"reach 2 from the darker red takes the whole red half but the other texture",
       {label(2), reach(2), at(1, 1, S)},
       {1, 1, 0, 0, 1, 1, 0, 0, 0, 1, 0, 0},
       {2},
       true,
       ""},
      {"a threshold of 1 keeps the darker red out",
       {label(2), reach(1), limit(1), at(0, 0, S)},
       {1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0},
       {2},
       true,
       ""},
      {"shift on a member clears it and its similar members; others stay",
       {label(2), at(2, 0), at(2, 2), reach(2), at(1, 1, S), at(1, 1, S)},
       {0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0},
       {2},
       true,
       ""},
      {"a flood reaching the empty cell leaves it as it was (no colour match)",
       {reach(1), at(0, 2, S)},
       {0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0},
       {0},
       true,
       ""},
      {"a second object gets its own bit and slot",
       {label(4), at(0, 0), object(2), label(7), at(0, 0), at(2, 3)},
       {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2},
       {4, 7},
       true,
       ""},
      {"the compare gesture measures two superpixels and changes nothing",
       {at(0, 0, C), at(0, 2, C)},
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {0},
       false,
       "p:0.0000 c:"},
      {"a third control-click starts a new pair",
       {at(0, 0, C), at(0, 1, C), at(1, 1, C)},
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {0},
       false,
       "p:0.0000 c:0.0000"},
      {"a press outside every superpixel and on the empty cell changes nothing",
       {label(1), at(-1, -1), at(0, 3)},
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {0},
       false,
       ""},
      {"an object outside 1..32 changes no mask and no slot",
       {object(33), label(5), at(0, 0)},
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {0},
       true,
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ref<VSKCImageSample> sample = fixedSample();
    ASSERT_TRUE(sample);
    ASSERT_EQ(sample->superpixelCount(), uint32_t(kRows * kCols));
    VSKTLabelingState state;
    state.proximity = 1;
    std::string status;
    run(*sample, state, c.steps, &status);
    std::vector<uint32_t> masks;
    for (const VSKTSuperpixel& record : sample->superpixels()) masks.push_back(record.mask);
    EXPECT_EQ(masks, c.masks);
    for (size_t k = 0; k < c.slots.size(); ++k) EXPECT_EQ(sample->objects()[k], c.slots[k]) << "slot " << k;
    EXPECT_EQ(sample->touched(), c.touched);
    EXPECT_EQ(status.substr(0, c.status.size()), c.status);
  }
}

TEST(LabelingInteraction, ColourAndPatternDistances) {
  const float a[3] = {50, 10, -20}, lighter[3] = {53, 10, -20}, other[3] = {40, -30, 5};
  EXPECT_EQ(VSKFLabelingColorDistance(a, a), 0.0f);
  EXPECT_NEAR(VSKFLabelingColorDistance(a, lighter), 3.0f, 1e-5);
  // Weighted by the first colour's chroma: not symmetric.
  EXPECT_NE(VSKFLabelingColorDistance(a, other), VSKFLabelingColorDistance(other, a));
  const float p[3] = {0, 0, 5}, q[3] = {3, 4, 100};
  EXPECT_EQ(VSKFLabelingPatternDistance(p, q, 2), 5.0f);
  EXPECT_EQ(VSKFLabelingPatternDistance(p, q, 0), 0.0f);
}

// The CIE 1994 difference (graphic arts) of the first pair of Sharma, Wu and Dalal's CIEDE2000
// test data, whose published CIE 1994 value is 1.3950.
TEST(LabelingInteraction, ColourDistanceMatchesThePublishedReference) {
  const float a[3] = {50.0f, 2.6772f, -79.7751f}, b[3] = {50.0f, 0.0f, -82.7485f};
  EXPECT_NEAR(VSKFLabelingColorDistance(a, b), 1.3950f, 1e-4f);
}

// The flood's limits exactly at their values: a colour distance equal to the threshold passes, a
// pattern distance at 0.2 does not (the float nearest 0.2 lies just above it; the one below
// passes).
TEST(LabelingInteraction, FloodLimitsHoldExactlyAtTheirValues) {
  const float just = 0.2f, below = std::nextafter(0.2f, 0.0f);
  const float zero[1] = {0.0f}, atLimit[1] = {just}, underLimit[1] = {below};
  ASSERT_EQ(VSKFLabelingPatternDistance(zero, atLimit, 1), just);
  ASSERT_EQ(VSKFLabelingPatternDistance(zero, underLimit, 1), below);
  const struct {
    const char* name;
    float lightness;  // of the neighbour; the hit cell has 50
    float pattern;    // the neighbour's; the hit cell's is 0
    bool flooded;
  } cases[] = {
      {"colour distance equal to the threshold", 53.0f, 0.0f, true},
      {"colour distance just above the threshold", std::nextafter(53.0f, 54.0f), 0.0f, false},
      {"pattern distance at 0.2", 50.0f, just, false},
      {"pattern distance just below 0.2", 50.0f, below, true},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    Ref<VSKCImageSample> sample = fixedSample();
    ASSERT_TRUE(sample);
    std::vector<VSKTSuperpixel>& records = sample->superpixels();
    for (VSKTSuperpixel& record : records) {
      record.lab[0] = 50, record.lab[1] = 0, record.lab[2] = 0;
      record.pattern.assign(1, 0.0f);
    }
    // Cell (1, 1) is the only neighbour that may be flooded: the others are made unlike.
    for (VSKTSuperpixel& record : records) record.lab[0] = 0;
    records[0].lab[0] = 50;
    records[kCols + 1].lab[0] = test.lightness;
    records[kCols + 1].pattern.assign(1, test.pattern);
    VSKTLabelingState state;
    state.proximity = 1;
    state.threshold = 3.0;
    std::string status;
    run(*sample, state, {label(1), at(0, 0, S)}, &status);
    EXPECT_EQ(records[kCols + 1].mask, test.flooded ? 1u : 0u);
    EXPECT_EQ(records[1].mask, 0u);
  }
}

TEST(LabelingInteraction, SettingsAreClampedToTheirRanges) {
  EXPECT_EQ(VSKFLabelingClampProximity(0), 1u);
  EXPECT_EQ(VSKFLabelingClampProximity(1e9), 25u);
  EXPECT_EQ(VSKFLabelingClampProximity(std::nan("")), 1u);
  EXPECT_EQ(VSKFLabelingClampThreshold(-4), 1.0);
  EXPECT_EQ(VSKFLabelingClampThreshold(250), 100.0);
  EXPECT_EQ(VSKFLabelingClampThreshold(24.5), 24.5);
}

TEST(LabelingInteraction, ContoursOfALabelledObjectOnly) {
  Ref<VSKCImageSample> sample = fixedSample();
  ASSERT_TRUE(sample);
  VSKTLabelingState state;
  state.currentLabel = 0;
  (void)VSKFLabelingClick(*sample, state, {5, 5}, 0, nullptr);
  EXPECT_FALSE(VSKFLabelingContours(*sample, 1, 0)) << "no outline for an object without a label";
  state.currentLabel = 3;
  (void)VSKFLabelingClick(*sample, state, {15, 5}, 0, nullptr);
  Ref<LLKCObjectDeque> contours = VSKFLabelingContours(*sample, 1, 3);
  ASSERT_TRUE(contours);
  ASSERT_EQ(contours->count(), 1u) << "two touching squares make one outline";
  Ref<NRKCPolygon> outline = contours->fetchAtIndexAs<NRKCPolygon>(0);
  ASSERT_TRUE(outline);
  EXPECT_EQ(outline->length(), 64u);
  EXPECT_FALSE(VSKFLabelingContours(*sample, 2, 3)) << "an object without superpixels";
}
}  // namespace

namespace {
// A list of superpixels that does not fill its grid (taken as it is): no click or flood reaches
// past the records there are.
TEST(LabelingInteraction, AGridWithFewerRecordsIsNeverReadPastItsEnd) {
  std::vector<Ref<MRKBTerm>> entries;
  for (int16_t i = 0; i < 4; ++i)
    entries.push_back(squareSuperpixelFrame(i, int16_t((i % 3) * 10), int16_t((i / 3) * 10), 10, 0, 0, 200, {0.1f}));
  Ref<VSKCImageSample> sample =
      VSKCImageSample::sampleFromStatement(segmentedStatement(2, 3, 10, std::move(entries)).get(), "short", 0);
  ASSERT_TRUE(sample);
  ASSERT_EQ(sample->superpixelCount(), 4u);
  VSKTLabelingState state;
  state.proximity = 2;
  EXPECT_EQ(VSKFLabelingClick(*sample, state, {15, 15}, 0, nullptr), VSKLabelingClick::missed);
  EXPECT_EQ(VSKFLabelingClick(*sample, state, {5, 15}, kOGLModShift, nullptr), VSKLabelingClick::toggled);
  std::vector<uint32_t> masks;
  for (const VSKTSuperpixel& record : sample->superpixels()) masks.push_back(record.mask);
  EXPECT_EQ(masks, (std::vector<uint32_t>{1, 1, 1, 1}));
}
}  // namespace
