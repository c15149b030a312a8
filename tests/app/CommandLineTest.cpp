// The command lines of the workbench and of the dataset generator: "--help" prints the usage
// and exits 0, a slip prints it on standard error and exits 2, and neither opens a window nor
// makes a file or folder. The programs run for real, in a folder of their own, on the display.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/shell/VSKFCommandLine.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/gl/OGLTestXServer.h"

namespace {

TEST(CommandLine, HelpAnywhereAsksForTheUsageAndAnyOtherDashIsASlip) {
  struct Case {
    std::vector<const char*> arguments;
    VSKCommandLineAction action;
    const char* problem;
  };
  const Case cases[] = {
      {{}, VSKCommandLineAction::run, ""},
      {{"demo.json"}, VSKCommandLineAction::run, ""},
      {{"-"}, VSKCommandLineAction::run, ""},
      {{"./-odd.json"}, VSKCommandLineAction::run, ""},
      {{"--help"}, VSKCommandLineAction::usage, ""},
      {{"-h"}, VSKCommandLineAction::usage, ""},
      {{"demo.json", "--help"}, VSKCommandLineAction::usage, ""},
      {{"--bogus", "--help"}, VSKCommandLineAction::usage, ""},
      {{"--bogus"}, VSKCommandLineAction::slip, "unknown option --bogus"},
      {{"-x", "demo.json"}, VSKCommandLineAction::slip, "unknown option -x"},
      {{"demo.json", "--helpme"}, VSKCommandLineAction::slip, "unknown option --helpme"},
      {{"a.json", "b.json"}, VSKCommandLineAction::slip, "one solution at most, not also b.json"},
      {{"--layout", "first.json", "demo.json"}, VSKCommandLineAction::run, ""},
      {{"demo.json", "--layout", "first.json"}, VSKCommandLineAction::run, ""},
      {{"--layout", "--help"}, VSKCommandLineAction::usage, ""},
      {{"demo.json", "--layout"}, VSKCommandLineAction::slip, "--layout names no file"},
      {{"--layout", "a.json", "--layout", "b.json"}, VSKCommandLineAction::slip, "one layout at most, not also b.json"},
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv{"vesko"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    VSKTCommandLine line = VSKFReadCommandLine(static_cast<int>(argv.size()), argv.data());
    SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments.front());
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.problem, c.problem);
  }
  // What a run is given: the solution and the layout, wherever each stands.
  const char* const argv[] = {"vesko", "demo.json", "--layout", "first.json"};
  VSKTCommandLine line = VSKFReadCommandLine(4, argv);
  EXPECT_EQ(line.solution, "demo.json");
  EXPECT_EQ(line.layout, "first.json");
}

struct ProgramRun {
  int status = -1;  // 124 when it had not ended after 30 s (it opened a window, say)
  std::string out, err;
};

std::string contents(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Runs the program in the folder with its settings, data and home inside another one.
ProgramRun runIn(const std::string& folder, const std::string& home, const std::string& program,
          const std::string& arguments) {
  const std::string out = home + "/.out", err = home + "/.err";
  const std::string command = "cd '" + folder + "' && VESKO_CONFIG_DIR='" + home + "' XDG_DATA_HOME='" + home +
                              "' HOME='" + home + "' timeout 30 '" + program + "' " + arguments + " >'" + out +
                              "' 2>'" + err + "'";
  int status = std::system(command.c_str());
  ProgramRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = contents(out);
  run.err = contents(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

bool isEmpty(const std::string& folder) { return std::filesystem::is_empty(folder); }

TEST(CommandLine, TheProgramsPrintTheirUsageOrRefuseASlipWithoutMakingAnything) {
  ASSERT_TRUE(OGLTestEnsureDisplay());
  struct Case {
    const char* program;
    const char* arguments;
    int status;
    bool usageOnOutput;  // else on standard error, after the problem
    const char* problem;
  };
  const Case cases[] = {
      {VESKO_PROGRAM, "--help", 0, true, ""},
      {VESKO_PROGRAM, "-h", 0, true, ""},
      {VESKO_PROGRAM, "--bogus", 2, false, "unknown option --bogus"},
      {VESKO_PROGRAM, "one.json two.json", 2, false, "one solution at most"},
#ifdef VSK_DATASET_PROGRAM
      {VSK_DATASET_PROGRAM, "--help", 0, true, ""},
      {VSK_DATASET_PROGRAM, "out --help", 0, true, ""},
      {VSK_DATASET_PROGRAM, "--bogus", 2, false, "unknown option --bogus"},
      {VSK_DATASET_PROGRAM, "--count 3", 2, false, "the folder comes before the option --count"},
      {VSK_DATASET_PROGRAM, "out --bogus", 2, false, "unknown or incomplete option --bogus"},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.program) + " " + c.arguments);
    TemporaryFolder folder, home;
    ProgramRun run = runIn(folder.path(), home.path(), c.program, c.arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    const std::string& usage = c.usageOnOutput ? run.out : run.err;
    EXPECT_EQ(usage.find("usage: "), c.usageOnOutput ? 0u : usage.find('\n') + 1) << usage;
    EXPECT_NE(run.err.find(c.problem), std::string::npos) << run.err;
    if (c.usageOnOutput) EXPECT_EQ(run.err, "");
    else EXPECT_EQ(run.out, "");
    EXPECT_TRUE(isEmpty(folder.path())) << "nothing is made in the working folder";
    EXPECT_TRUE(isEmpty(home.path())) << "no settings nor data are made";
  }
}

}  // namespace
