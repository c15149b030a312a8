// The solution reader on any bytes: a solution or a message naming the file, never a crash.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/substrate/MRKCSolution.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  MRKTSolution solution;
  std::string error;
  if (!MRKFSolutionParse(text, "fuzz.json", &solution, &error) && error.rfind("fuzz.json: ", 0) != 0) std::abort();
  return 0;
}
