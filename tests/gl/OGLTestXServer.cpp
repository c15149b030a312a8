#include "tests/gl/OGLTestXServer.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Stops the server when the program ends.
struct Server {
  pid_t pid = 0;
  ~Server() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
};

Server server;

}  // namespace

bool OGLTestOwnsServer() { return server.pid > 0; }

bool OGLTestEnsureDisplay() {
  const char* display = std::getenv("DISPLAY");
  if (display && *display) return true;
  int channel[2];
  if (pipe(channel) != 0) return false;
  pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    close(channel[0]);
    std::string fd = std::to_string(channel[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(channel[1]);
  server.pid = pid;
  // The server writes its display number once it accepts clients.
  std::string number;
  char c;
  while (read(channel[0], &c, 1) == 1 && c != '\n') number += c;
  close(channel[0]);
  if (number.empty()) return false;
  setenv("DISPLAY", (":" + number).c_str(), 1);
  return true;
}

std::string OGLTestClipboardOfOtherClient() {
  std::string text;
  if (FILE* pipe = popen("xclip -o -selection clipboard 2>/dev/null", "r")) {
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}
