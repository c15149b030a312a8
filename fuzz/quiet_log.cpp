// Every fuzz target feeds its code input that it refuses, which is logged on every run: the log
// stays quiet while fuzzing, so that what the fuzzer reports can be read.
#include "framework/core/LLKFLog.h"

namespace {

const bool quiet = [] {
  LLKFLogSetQuiet(true);
  return true;
}();

}  // namespace
