#pragma once
// A solution file read and checked (docs/solutions.md): the modules to load, the configs and
// constants to set and the processors to make and attach.
#include <optional>
#include <string>
#include <vector>

#include "framework/substrate/MRKCFrame.h"

struct MRKTProcessorEntry {
  std::string where;  // "processors[2]", for messages
  std::string className;
  std::string guid;
  std::string label;
  std::string alias;
  Ref<MRKCFrame> properties;
};

struct MRKTSolution {
  std::string path;
  std::string folder;  // relative module paths start here
  std::vector<std::string> modules;
  std::optional<float> ttl;
  std::optional<uint32_t> pulse;
  std::vector<std::pair<std::string, Ref<MRKBTerm>>> constants;
  std::vector<MRKTProcessorEntry> processors;
};

// The largest solution file read: reading one takes some fifty times its size in memory, and
// the largest solutions (tens of thousands of processors) are a few MiB.
inline constexpr size_t kMRKSolutionFileLimit = size_t{8} << 20;

// Reads and checks the file's shape; false with a message naming the file and the entry (or the
// limit, for a file larger than kMRKSolutionFileLimit).
bool MRKFSolutionRead(const std::string& path, MRKTSolution* solution, std::string* error);
// Reads and checks the file as MRKFSolutionRead does and finds the file of each of its modules,
// loading and changing nothing: what can be known of a load before the substrate is touched.
// False with a message as MRKFSolutionRead's ("<file>: modules[1]: module x not found ...").
bool MRKFSolutionCheck(const std::string& path, std::string* error);
// The same from text (path names it in messages).
bool MRKFSolutionParse(const std::string& text, const std::string& path, MRKTSolution* solution, std::string* error);
