#pragma once
// The segmenter's configuration: what its properties set, copied whole between the processor,
// its worker and the computing threads, so a change takes effect at the next image.
#include <cstdint>
#include <string_view>

#include "framework/substrate/MRKBTerm.h"
#include "framework/substrate/MRKCFrame.h"

struct QAVTGRIDSegmenterConfig {
  uint32_t spixsize = 16;    // "spix.size": grid step in pixels
  double spixstay = 0.06;    // "spix.stay": weight of the penalty that keeps a seam mid-cell
  double polyaccy = 0.0001;  // "poly.accy": outline simplification tolerance (fraction of its length)
  uint32_t polysize = 32;    // "poly.size": points per polygon; 0 keeps the outline's own
  bool polyshow = false;     // "poly.show": read by the viewers only
  uint32_t lbpdsize = 48;    // "lbpd.size": bins of the texture pattern
  float ttl = 0;             // time to live of the published squibs

  bool operator==(const QAVTGRIDSegmenterConfig&) const = default;
};

// The sound ranges. A step below 2 leaves a cell no middle column, and the computing threads
// keep patches of (3 × step)² bytes, so the step stays modest. A pattern bin spans 255 / bins
// codes, so more than 255 bins would span none. A polygon needs 2 points; more than a few
// hundred only inflate every published statement.
inline constexpr uint32_t kQAVGRIDMinSpixSize = 2;
inline constexpr uint32_t kQAVGRIDMaxSpixSize = 512;
inline constexpr uint32_t kQAVGRIDMaxLbpdSize = 255;
inline constexpr uint32_t kQAVGRIDMinPolySize = 2;
inline constexpr uint32_t kQAVGRIDMaxPolySize = 1024;

// Checks a value for one of the properties above and, when it fits, sets it in config. Answers
// null when accepted (names the segmenter does not know are accepted without effect), else why
// the value was refused (config untouched).
const char* QAVFGRIDSegmenterConfigApply(QAVTGRIDSegmenterConfig* config, std::string_view name, MRKBTerm* value);

// The configuration from a properties frame: each key present is checked as a poke would be; a
// refused value is logged with the processor's label and the default stays.
QAVTGRIDSegmenterConfig QAVFGRIDSegmenterConfigRead(const MRKCFrame* properties, const char* label);

// The value a peek answers for "poly.show", "poly.size", "poly.accy", "spix.size" and
// "spix.stay": the one the configuration runs with, whatever was stored (a value refused at attach
// is stored but not used); null for any other name.
Ref<MRKBTerm> QAVFGRIDSegmenterConfigValue(const QAVTGRIDSegmenterConfig& config, std::string_view name);
