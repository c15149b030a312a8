#include "framework/core/LLKBWorker.h"

#include <chrono>

void LLKBWorker::onPeriod() {
  onTimedOutAt(std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count());
}
