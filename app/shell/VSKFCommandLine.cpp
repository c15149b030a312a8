#include "app/shell/VSKFCommandLine.h"

#include <string_view>

VSKTCommandLine VSKFReadCommandLine(int argc, const char* const* argv) {
  VSKTCommandLine line;
  int files = 0;
  for (int i = 1; i < argc && argv[i]; ++i) {
    std::string_view argument = argv[i];
    if (argument == "-h" || argument == "--help") return {VSKCommandLineAction::usage, {}};
    if (line.action != VSKCommandLineAction::run) continue;
    if (argument.size() > 1 && argument.front() == '-')
      line = {VSKCommandLineAction::slip, "unknown option " + std::string(argument)};
    else if (++files > 1)
      line = {VSKCommandLineAction::slip, "one solution at most, not also " + std::string(argument)};
  }
  return line;
}
