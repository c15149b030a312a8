// zrnhost: runs solutions without a user interface and prints what passes on chosen labels.
//
//   zrnhost [--follow LABEL]... [--count N] [--seconds S] solution.json...
//
// Each statement of a squib on a followed label is printed on one line as the label, a tab and
// the statement's terms in the term text form. The host stops after N statements, after S
// seconds, or at SIGINT/SIGTERM, whichever comes first; a signal during a load ends it at once
// (status 1), and a second signal ends it at once whatever it is doing. Ending waits at most half
// a second for the plug-ins' hooks to return: what is still busy then is named on standard error
// and abandoned. Exit status: 0 when it ran, 1 when a solution could not be loaded, 2 for a bad
// command line.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "framework/substrate/MRKBProcessor.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFWindDown.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

// How long ending waits for the plug-ins' hooks, in seconds.
constexpr double kEndingGrace = 0.5;

// The first signal asks the host to stop; a second one, while it is still stopping (a hook that
// does not return, say), ends the process.
void onSignal(int) {
  if (interrupted) std::_Exit(1);
  interrupted = 1;
}

struct Options {
  std::vector<std::string> follow;
  uint64_t count = 0;  // 0: no limit
  double seconds = 0;  // 0: no limit
  std::vector<std::string> solutions;
};

bool parseNumber(const char* text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text, &end);
  return end && end != text && *end == '\0' && *value >= 0;
}

bool parseOptions(int argc, char** argv, Options* options, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    bool takesValue = argument == "--follow" || argument == "--count" || argument == "--seconds";
    if (takesValue && i + 1 >= argc) return *error = argument + " needs a value", false;
    if (argument == "--follow") {
      options->follow.emplace_back(argv[++i]);
    } else if (argument == "--count") {
      double value;
      if (!parseNumber(argv[++i], &value) || value >= 0x1p64 ||
          value != static_cast<double>(static_cast<uint64_t>(value)))
        return *error = "--count takes a whole number", false;
      options->count = static_cast<uint64_t>(value);
    } else if (argument == "--seconds") {
      if (!parseNumber(argv[++i], &options->seconds)) return *error = "--seconds takes a number of seconds", false;
    } else if (argument.rfind("--", 0) == 0) {
      return *error = "unknown option " + argument, false;
    } else {
      options->solutions.push_back(argument);
    }
  }
  if (options->solutions.empty()) return *error = "no solution given", false;
  return true;
}

// Follows the labels and prints their statements until it has printed the count.
class ZRNCHostTap : public MRKBProcessor {
public:
  ZRNCHostTap(std::vector<std::string> labels, uint64_t count)
      : MRKBProcessor({}, {}, "zrnhost", nullptr), labels_(std::move(labels)), count_(count) {}

  void onAttached() override {
    for (const std::string& label : labels_)
      if (!substrate()->disclose(label, guid()))
        std::fprintf(stderr, "zrnhost: could not follow %s\n", label.c_str());
  }

  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override {
    for (const auto& member : squib->statements()->terms()) {
      MRKCStatement* statement = asStatement(member.get());
      if (!statement) continue;
      std::string line = statement->label() + "\t" + statement->terms()->text() + "\n";
      std::lock_guard lock(mutex_);
      if (count_ && printed_ >= count_) return;
      std::fwrite(line.data(), 1, line.size(), stdout);
      std::fflush(stdout);
      ++printed_;
      if (count_ && printed_ >= count_) done_.notify_all();
    }
  }

  // Followed labels also bring queries; the tap only watches.
  void onReceivedQuery(MRKCQuery*, const std::string&) override {}

  // Waits until the count is printed, the time is over or the process is interrupted.
  void wait(double seconds) {
    // A billion seconds stand for no limit; anything longer would overflow the clock.
    double limit = seconds > 0 ? std::min(seconds, 1e9) : 1e9;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                           std::chrono::duration<double>(limit));
    std::unique_lock lock(mutex_);
    while (!interrupted && !(count_ && printed_ >= count_) && std::chrono::steady_clock::now() < deadline)
      done_.wait_for(lock, std::chrono::milliseconds(100));
  }

private:
  std::vector<std::string> labels_;
  uint64_t count_;
  uint64_t printed_ = 0;
  std::mutex mutex_;
  std::condition_variable done_;
};

// Detaches the tap and winds the substrate down; a hook still busy after the grace is left
// running and the process ends without it.
int end(MRKCSubstrate* substrate, ZRNCHostTap* tap, int status) {
  substrate->detach(tap, false);
  std::string abandoned;
  if (MRKFSubstrateWindDown(substrate, kEndingGrace, &abandoned)) return status;
  std::fprintf(stderr, "zrnhost: ending without waiting for %s\n", abandoned.c_str());
  std::fflush(nullptr);
  std::_Exit(status);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!parseOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "zrnhost: %s\nusage: zrnhost [--follow LABEL]... [--count N] [--seconds S] solution.json...\n",
                 error.c_str());
    return 2;
  }
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);

  MRKCSubstrate* substrate = MRKCSubstrate::shared();
  Ref<ZRNCHostTap> tap = adoptRef(new ZRNCHostTap(options.follow, options.count));
  if (!substrate->attach(tap.get(), false)) std::fprintf(stderr, "zrnhost: the tap could not be attached\n");

  // Loads run on the offloader, one at a time, as the workbench runs them.
  Ref<MRKCOffloader> offloader = substrate->globals()->fetch<MRKCOffloader>("offloader");
  for (const std::string& path : options.solutions) {
    std::promise<std::string> loaded;
    std::future<std::string> outcome = loaded.get_future();
    offloader->submit([&] {
      std::string reason;
      loaded.set_value(substrate->load(path, &reason) ? std::string()
                                                      : (reason.empty() ? path + ": not loaded" : reason));
    });
    while (outcome.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
      if (interrupted) {
        // The load still runs on the offloader with this frame's variables: no orderly way out.
        std::fprintf(stderr, "zrnhost: interrupted while loading %s\n", path.c_str());
        std::_Exit(1);
      }
    std::string reason = outcome.get();
    if (!reason.empty()) {
      std::fprintf(stderr, "zrnhost: %s\n", reason.c_str());
      return end(substrate, tap.get(), 1);
    }
  }
  tap->wait(options.seconds);
  return end(substrate, tap.get(), 0);
}
