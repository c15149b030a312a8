#include "app/shell/VSKFCommandLine.h"

#include <string_view>

namespace {

bool asksForHelp(std::string_view argument) { return argument == "-h" || argument == "--help"; }

}  // namespace

VSKTCommandLine VSKFReadCommandLine(int argc, const char* const* argv) {
  for (int i = 1; i < argc && argv[i]; ++i)
    if (asksForHelp(argv[i])) return {VSKCommandLineAction::usage, {}, {}, {}};
  VSKTCommandLine line;
  // The first slip is the one told.
  auto slip = [](std::string problem) {
    return VSKTCommandLine{VSKCommandLineAction::slip, std::move(problem), {}, {}};
  };
  for (int i = 1; i < argc && argv[i] && line.action == VSKCommandLineAction::run; ++i) {
    std::string_view argument = argv[i];
    if (argument == "--layout") {
      const char* file = i + 1 < argc ? argv[++i] : nullptr;
      if (!file) line = slip("--layout names no file");
      else if (!line.layout.empty()) line = slip("one layout at most, not also " + std::string(file));
      else line.layout = file;
    } else if (argument.size() > 1 && argument.front() == '-') {
      line = slip("unknown option " + std::string(argument));
    } else if (!line.solution.empty()) {
      line = slip("one solution at most, not also " + std::string(argument));
    } else {
      line.solution = argument;
    }
  }
  return line;
}
