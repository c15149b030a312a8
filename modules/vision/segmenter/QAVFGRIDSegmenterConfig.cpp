#include "modules/vision/segmenter/QAVTGRIDSegmenterConfig.h"

#include <cfloat>
#include <cmath>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKFTerms.h"

namespace {

// A whole number from low to high, of any number kind but boolean.
bool wholeIn(MRKBTerm* value, uint64_t low, uint64_t high, uint32_t* out) {
  MRKCNumber* number = asNumber(value);
  if (!number || number->kind() == MRKCNumber::kBool) return false;
  const double real = number->real();
  if (!(real >= double(low) && real <= double(high)) || real != std::floor(real)) return false;
  *out = static_cast<uint32_t>(real);
  return true;
}

// A finite real from 0 up to the largest float (the seams work in floats).
bool realIn(MRKBTerm* value, double* out) {
  MRKCNumber* number = asNumber(value);
  if (!number || number->kind() == MRKCNumber::kBool) return false;
  const double real = number->real();
  if (!(real >= 0.0 && real <= double(FLT_MAX))) return false;
  *out = real;
  return true;
}

}  // namespace

const char* QAVFGRIDSegmenterConfigApply(QAVTGRIDSegmenterConfig* config, std::string_view name, MRKBTerm* value) {
  if (!config) return "no configuration";
  QAVTGRIDSegmenterConfig changed = *config;
  if (name == "spix.size") {
    if (!wholeIn(value, kQAVGRIDMinSpixSize, kQAVGRIDMaxSpixSize, &changed.spixsize))
      return "spix.size takes a whole number from 2 to 512";
  } else if (name == "spix.stay") {
    if (!realIn(value, &changed.spixstay)) return "spix.stay takes a finite number of at least 0";
  } else if (name == "poly.accy") {
    if (!realIn(value, &changed.polyaccy)) return "poly.accy takes a finite number of at least 0";
  } else if (name == "poly.size") {
    if (!wholeIn(value, 0, kQAVGRIDMaxPolySize, &changed.polysize) ||
        (changed.polysize != 0 && changed.polysize < kQAVGRIDMinPolySize))
      return "poly.size takes 0 or a whole number from 2 to 1024";
  } else if (name == "lbpd.size") {
    if (!wholeIn(value, 1, kQAVGRIDMaxLbpdSize, &changed.lbpdsize))
      return "lbpd.size takes a whole number from 1 to 255";
  } else if (name == "poly.show") {
    if (MRKFAtomToBoolean(value, &changed.polyshow) != 0) return "poly.show takes a boolean";
  }
  *config = changed;
  return nullptr;
}

QAVTGRIDSegmenterConfig QAVFGRIDSegmenterConfigRead(const MRKCFrame* properties, const char* label) {
  QAVTGRIDSegmenterConfig config;
  for (const char* name : {"spix.size", "spix.stay", "poly.accy", "poly.size", "poly.show", "lbpd.size"}) {
    MRKBTerm* value = MRKFFrameFetchTerm(properties, name);
    if (!value) continue;
    if (const char* refused = QAVFGRIDSegmenterConfigApply(&config, name, value))
      LLKFLog("%s : %s; %s keeps its default", label ? label : "QAVCGRIDSegmenter", refused, name);
  }
  return config;
}

Ref<MRKBTerm> QAVFGRIDSegmenterConfigValue(const QAVTGRIDSegmenterConfig& config, std::string_view name) {
  if (name == "poly.show") return MRKCNumber::numberWithBool(config.polyshow);
  if (name == "poly.size") return MRKCNumber::numberWithUint(config.polysize);
  if (name == "poly.accy") return MRKCNumber::numberWithReal(config.polyaccy);
  if (name == "spix.size") return MRKCNumber::numberWithUint(config.spixsize);
  if (name == "spix.stay") return MRKCNumber::numberWithReal(config.spixstay);
  return nullptr;
}
