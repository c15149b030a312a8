// Which property values the segmenter takes, and what it reads from its properties frame.
#include <gtest/gtest.h>

#include "modules/vision/segmenter/QAVTGRIDSegmenterConfig.h"
#include "tests/vision_segmenter/SegmenterTestKit.h"

namespace {

struct PokeCase {
  const char* name;
  const char* value;
  bool accepted;
};

const PokeCase kPokes[] = {
    {"spix.size", "0", false},      {"spix.size", "1", false},          {"spix.size", "2", true},
    {"spix.size", "512", true},     {"spix.size", "513", false},        {"spix.size", "-8", false},
    {"spix.size", "8.5", false},    {"spix.size", "8.0", true},         {"spix.size", "big", false},
    {"spix.size", "true", false},   {"spix.size", "4294967312", false}, {"spix.stay", "0", true},
    {"spix.stay", "0.5", true},     {"spix.stay", "-0.01", false},      {"spix.stay", "#nan", false},
    {"spix.stay", "#inf", false},   {"spix.stay", "1e39", false},       {"spix.stay", "[1]", false},
    {"poly.accy", "0", true},       {"poly.accy", "2", true},           {"poly.accy", "-1.0", false},
    {"poly.accy", "#nan", false},   {"poly.size", "0", true},           {"poly.size", "1", false},
    {"poly.size", "2", true},       {"poly.size", "1024", true},        {"poly.size", "1025", false},
    {"poly.size", "\"32\"", false}, {"lbpd.size", "0", false},          {"lbpd.size", "1", true},
    {"lbpd.size", "255", true},     {"lbpd.size", "256", false},        {"poly.show", "true", true},
    {"poly.show", "0", true},       {"poly.show", "maybe", false},      {"verbose", "whatever", true},
};

TEST(SegmenterConfig, TakesValuesInTheirSoundRangeOnly) {
  for (const PokeCase& poke : kPokes) {
    SCOPED_TRACE(std::string(poke.name) + " = " + poke.value);
    Ref<MRKBTerm> value = term(poke.value);
    ASSERT_TRUE(value);
    QAVTGRIDSegmenterConfig config;
    const QAVTGRIDSegmenterConfig before = config;
    const char* refused = QAVFGRIDSegmenterConfigApply(&config, poke.name, value.get());
    EXPECT_EQ(refused == nullptr, poke.accepted);
    if (refused) {
      EXPECT_EQ(config, before);
    }
  }
}

TEST(SegmenterConfig, AcceptedValuesLand) {
  QAVTGRIDSegmenterConfig config;
  for (const auto& [name, value] : {std::pair{"spix.size", "8"},
                                    {"spix.stay", "0.25"},
                                    {"poly.accy", "1"},
                                    {"poly.size", "0"},
                                    {"lbpd.size", "4"},
                                    {"poly.show", "yes"}})
    ASSERT_EQ(QAVFGRIDSegmenterConfigApply(&config, name, term(value).get()), nullptr) << name;
  EXPECT_EQ(config.spixsize, 8u);
  EXPECT_DOUBLE_EQ(config.spixstay, 0.25);
  EXPECT_DOUBLE_EQ(config.polyaccy, 1.0);
  EXPECT_EQ(config.polysize, 0u);
  EXPECT_EQ(config.lbpdsize, 4u);
  EXPECT_TRUE(config.polyshow);
}

TEST(SegmenterConfig, PropertiesOutOfRangeKeepTheirDefaults) {
  Ref<MRKBTerm> properties = term(R"({"spix.size": 1, "lbpd.size": 300, "poly.size": 12, "spix.stay": -1})");
  const QAVTGRIDSegmenterConfig config = QAVFGRIDSegmenterConfigRead(properties->asFrame(), "seg");
  const QAVTGRIDSegmenterConfig defaults;
  EXPECT_EQ(config.spixsize, defaults.spixsize);
  EXPECT_EQ(config.lbpdsize, defaults.lbpdsize);
  EXPECT_DOUBLE_EQ(config.spixstay, defaults.spixstay);
  EXPECT_EQ(config.polysize, 12u);
}

TEST(SegmenterConfig, PeekDefaults) {
  EXPECT_EQ(MRKFTermText(QAVFGRIDSegmenterConfigValue({}, "spix.size").get()), "16");
  EXPECT_EQ(MRKFTermText(QAVFGRIDSegmenterConfigValue({}, "poly.size").get()), "32");
  EXPECT_EQ(MRKFTermText(QAVFGRIDSegmenterConfigValue({}, "poly.show").get()), "false");
  EXPECT_EQ(MRKFTermText(QAVFGRIDSegmenterConfigValue({}, "spix.stay").get()), "0.06");
  EXPECT_EQ(MRKFTermText(QAVFGRIDSegmenterConfigValue({}, "poly.accy").get()), "1e-04");
  EXPECT_FALSE(QAVFGRIDSegmenterConfigValue({}, "lbpd.size"));
}

}  // namespace
