#pragma once
// Runs the headless host (zrnhost) as a program, the way CI and users do, and keeps what it said.
#include <sys/wait.h>

#include <cstdio>
#include <string>

struct HostRun {
  int status = -1;     // the exit status; -1 when it could not run or did not exit
  std::string output;  // standard output and standard error, interleaved
};

// host: the path of the zrnhost program; arguments: its command line, as a shell would split it.
inline HostRun runHost(const std::string& host, const std::string& arguments) {
  HostRun run;
  FILE* pipe = popen((host + " " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  while (size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, read);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
