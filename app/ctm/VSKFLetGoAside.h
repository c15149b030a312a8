#pragma once
// Lets go of a view's large memory (the timeline's ticks, the chunk viewer's table of chunks) on
// a thread of its own. A busy stage leaves millions of chunks in them, and freeing those takes
// seconds that closing the window, and so writing the settings and ending the program, must not
// wait for. Without a thread to spare the memory goes at once, on the caller's thread.
#include <exception>
#include <thread>
#include <type_traits>
#include <utility>

// Takes the memory over (the caller passes it with std::move).
template <typename T>
void VSKFLetGoAside(T&& memory) {
  try {
    std::thread([held = std::forward<T>(memory)]() mutable { std::decay_t<T> gone = std::move(held); }).detach();
  } catch (const std::exception&) {
    // The lambda, and the memory with it, went while the exception left.
  }
}
