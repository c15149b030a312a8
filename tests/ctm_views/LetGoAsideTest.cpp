// A view's large memory goes on a thread of its own, whole: what it held is destroyed once, and
// not on the thread that let it go.
#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <utility>

#include "app/ctm/VSKFLetGoAside.h"

namespace {

// Tells, when destroyed, the thread it went on; a moved-from probe tells nothing.
class Probe {
public:
  explicit Probe(std::promise<std::thread::id>* gone) : gone_(gone) {}
  Probe(Probe&& other) noexcept : gone_(std::exchange(other.gone_, nullptr)) {}
  Probe& operator=(Probe&&) = delete;
  ~Probe() {
    if (gone_) gone_->set_value(std::this_thread::get_id());
  }

private:
  std::promise<std::thread::id>* gone_;
};

TEST(LetGoAside, TheMemoryGoesOnceOnAnotherThread) {
  std::promise<std::thread::id> gone;
  std::future<std::thread::id> wentOn = gone.get_future();
  Probe probe(&gone);
  VSKFLetGoAside(std::move(probe));
  EXPECT_NE(wentOn.get(), std::this_thread::get_id());
}

}  // namespace
