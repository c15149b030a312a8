#pragma once
// What the workbench's command line asks for, read before anything starts: the window (with the
// solution file to load and the layout to start from, when named), the usage, or nothing
// because of a slip, which is told with the usage on standard error.
#include <string>

enum class VSKCommandLineAction {
  run,    // open the window
  usage,  // print the usage on standard output and exit 0
  slip,   // print the problem and the usage on standard error and exit 2
};

struct VSKTCommandLine {
  VSKCommandLineAction action = VSKCommandLineAction::run;
  std::string problem;   // for a slip: what is wrong, naming the argument
  std::string solution;  // the solution file named, "" for none
  std::string layout;    // the file after "--layout", "" for none
};

// "-h" or "--help" anywhere asks for the usage; "--layout" takes the next argument as its file;
// any other argument that begins with "-" is an unknown option; more than one solution file is a
// slip too (only one is loaded), and so is a "--layout" without a file or named twice.
VSKTCommandLine VSKFReadCommandLine(int argc, const char* const* argv);

inline constexpr const char* kVSKUsage =
    "usage: vesko [--layout SETTINGS.json] [SOLUTION.json]\n"
    "Opens the workbench window and loads the solution file when one is named.\n"
    "  --layout SETTINGS.json  start from these settings (window, views) when none are saved yet\n"
    "  -h, --help              print this help and exit\n";
