#include "framework/core/LLKBConductor.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// The meeting point of a sender and the conductor's turn. The task holds a Signal whose
// destruction, run or not, wakes the sender: a task dropped at stop answers false.
struct Rendezvous {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  bool delivered = false;

  void finish(bool wasDelivered) {
    std::lock_guard lock(mutex);
    if (finished) return;
    finished = true;
    delivered = wasDelivered;
    done.notify_all();
  }
};

struct Signal {
  explicit Signal(std::shared_ptr<Rendezvous> r) : rendezvous(std::move(r)) {}
  Signal(Signal&& other) noexcept = default;
  ~Signal() {
    if (rendezvous) rendezvous->finish(false);
  }
  std::shared_ptr<Rendezvous> rendezvous;
};

}  // namespace

bool LLKBConductor::flash(uint64_t code) {
  return enqueue([this, code] { onFlashed(code); });
}

bool LLKBConductor::send(Ref<LLKCMessage> message) {
  if (!message) return false;
  if (isLoopThread()) {
    if (!isRunning()) return false;
    onMessaged(message);
    return true;
  }
  std::shared_ptr<Rendezvous> rendezvous;
  try {
    rendezvous = std::make_shared<Rendezvous>();
  } catch (const std::bad_alloc&) {
    return false;
  }
  // std::function needs a copyable callable: the signal lives behind a shared pointer.
  auto signal = std::make_shared<Signal>(rendezvous);
  bool queued = enqueue(
      [this, message, signal] {
        onMessaged(message);
        signal->rendezvous->finish(true);
      },
      true);
  signal.reset();
  if (!queued) return false;
  std::unique_lock lock(rendezvous->mutex);
  rendezvous->done.wait(lock, [&] { return rendezvous->finished; });
  return rendezvous->delivered;
}
