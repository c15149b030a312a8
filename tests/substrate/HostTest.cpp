// zrnhost run as a program: it prints what the probes of a solution exchange, and refuses bad
// solutions and command lines with a clear message and a non-zero status.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>

#include "tests/support/HostRun.h"

namespace {

const std::string kFolder = ZRN_SOLUTIONS;

HostRun host(const std::string& arguments) { return runHost(ZRN_HOST, arguments); }

std::vector<std::string> sortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(Host, PrintsWhatTheProbesExchange) {
  HostRun run = host("--follow news --follow teller.seen --follow oracle.seen --count 4 --seconds 60 " + kFolder +
                     "/probes.json");
  EXPECT_EQ(run.status, 0) << run.output;
  std::vector<std::string> expected = {
      "news\t[hello(1), \"quoted\", 2.5]",
      "oracle.seen\t[query, oracle, ?oracle(colour(sky, X))]",
      "oracle.seen\t[squib, news, [hello(1), \"quoted\", 2.5]]",
      "teller.seen\t[reply, oracle, [blue]]",
  };
  EXPECT_EQ(sortedLines(run.output), expected) << run.output;
}

TEST(Host, AnyLongTimeMeansUntilTheCount) {
  for (const char* seconds : {"1e300", "1e12"}) {
    HostRun run = host(std::string("--follow news --count 1 --seconds ") + seconds + " " + kFolder + "/probes.json");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "news\t[hello(1), \"quoted\", 2.5]\n") << seconds;
  }
}

TEST(Host, StopsAfterTheGivenTime) {
  HostRun run = host("--follow nothing.here --seconds 0.2 " + kFolder + "/probes.json");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "");
}

// A background job that does not end (a projector's load stuck in a decoder, say) does not hold
// the host past its time: it ends, naming what it leaves behind.
TEST(Host, StopsAfterTheGivenTimeWhileTheOffloaderIsBusy) {
  HostRun run = host("--seconds 0.2 " + kFolder + "/offloader.json");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("zrnhost: ending without waiting for the offloader's running job"), std::string::npos)
      << run.output;
}

TEST(Host, RefusesBadSolutionsAndCommandLines) {
  struct Case {
    std::string arguments;
    int status;
    std::string message;
  } cases[] = {
      {kFolder + "/unknown-class.json", 1,
       "zrnhost: " + kFolder + "/unknown-class.json: processors[1].class: unknown class ZRNCNoSuchProbe"},
      {kFolder + "/probes.json " + kFolder + "/not-json.json", 1, "not-json.json: not JSON"},
      {"", 2, "zrnhost: no solution given"},
      {"--count many " + kFolder + "/probes.json", 2, "--count takes a whole number"},
      {"--count 1e30 " + kFolder + "/probes.json", 2, "--count takes a whole number"},
      {"--follow", 2, "--follow needs a value"},
      {"--colour red x.json", 2, "unknown option --colour"},
  };
  for (const auto& c : cases) {
    HostRun run = host(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments << ": " << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << ": " << run.output;
  }
}

// A pipe or a device given as a solution is refused at once: it would block the host, or fill
// its memory, for ever.
TEST(Host, RefusesSolutionsThatAreNoRegularFile) {
  const std::string pipe = testing::TempDir() + "host-pipe-" + std::to_string(getpid());
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {pipe, std::string("/dev/zero")}) {
    HostRun run = host(path);
    EXPECT_EQ(run.status, 1) << path;
    EXPECT_EQ(run.output, "zrnhost: " + path + ": is not a regular file\n");
  }
  std::remove(pipe.c_str());
}

// What a host run on a solution following "news" did: the first line it printed, then, signalled,
// its exit status (-1 when it had not ended after 20 s) and what it said on standard error.
struct SignalledRun {
  std::string firstLine;
  int status = -1;
  std::string said;
};

SignalledRun signalledRun(const std::string& solution, int signal) {
  SignalledRun run;
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return {"", -1, "no pipes"};
  pid_t child = fork();
  if (child < 0) return {"", -1, "no fork"};
  if (child == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]);
    close(out[1]);
    close(err[0]);
    close(err[1]);
    execl(ZRN_HOST, ZRN_HOST, "--follow", "news", solution.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') run.firstLine += c;  // running: it printed the news
  kill(child, signal);
  int status = -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (waitpid(child, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const bool ended = std::chrono::steady_clock::now() < deadline;
  if (!ended) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  for (ssize_t n; (n = read(err[0], &c, 1)) == 1;) run.said += c;
  close(out[0]);
  close(err[0]);
  run.status = ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// A processor whose squib hook sleeps 30 s does not hold the host: it ends at once, naming the
// hook it leaves behind.
TEST(Host, EndsOnSignalsWhileAHookSleeps) {
  for (int signal : {SIGINT, SIGTERM}) {
    const SignalledRun run = signalledRun(kFolder + "/sleeper.json", signal);
    EXPECT_EQ(run.status, 0) << "signal " << signal << ": " << run.said;
    EXPECT_NE(run.said.find("zrnhost: ending without waiting for the busy hooks of sleeper"), std::string::npos)
        << "signal " << signal << ": " << run.said;
  }
}

// The host runs without a limit until a signal, then stops cleanly with status 0.
TEST(Host, EndsPromptlyOnSignals) {
  for (int signal : {SIGINT, SIGTERM}) {
    const SignalledRun run = signalledRun(kFolder + "/probes.json", signal);
    EXPECT_EQ(run.firstLine, "news\t[hello(1), \"quoted\", 2.5]");
    EXPECT_EQ(run.status, 0) << "signal " << signal << ": " << run.said;
  }
}

}  // namespace
