#pragma once
// What the workbench's command line asks for, read before anything starts: the window (with the
// solution file to load, when one is named), the usage, or nothing because of a slip, which is
// told with the usage on standard error.
#include <string>

enum class VSKCommandLineAction {
  run,    // open the window; the solution, when named, is the first argument
  usage,  // print the usage on standard output and exit 0
  slip,   // print the problem and the usage on standard error and exit 2
};

struct VSKTCommandLine {
  VSKCommandLineAction action = VSKCommandLineAction::run;
  std::string problem;  // for a slip: what is wrong, naming the argument
};

// "-h" or "--help" anywhere asks for the usage; any other argument that begins with "-" is an
// unknown option; more than one file is a slip too (only one solution is loaded).
VSKTCommandLine VSKFReadCommandLine(int argc, const char* const* argv);

inline constexpr const char* kVSKUsage =
    "usage: vesko [SOLUTION.json]\n"
    "Opens the workbench window and loads the solution file when one is named.\n"
    "  -h, --help  print this help and exit\n";
