#pragma once
// The root of every reference-counted object, and Ref<T>, the strong pointer that holds one.
//
// An object starts with no owner; the first Ref that takes it makes the count 1. Objects are
// made through static factories that return Ref<T>, so nothing ever calls delete by hand.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <utility>

class LLKBObject {
public:
  void retain() const noexcept { count_.fetch_add(1, std::memory_order_relaxed); }
  void release() const noexcept {
    if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }
  uint32_t retainCount() const noexcept { return count_.load(std::memory_order_relaxed); }

  LLKBObject(const LLKBObject&) = delete;
  LLKBObject& operator=(const LLKBObject&) = delete;

protected:
  LLKBObject() = default;
  virtual ~LLKBObject() = default;

private:
  mutable std::atomic<uint32_t> count_{0};
};

template <typename T>
class Ref {
public:
  Ref() noexcept = default;
  Ref(std::nullptr_t) noexcept {}
  // The counting calls are qualified, so a subclass method that happens to be called retain
  // or release never takes their place.
  Ref(T* object) noexcept : ptr_(object) {
    if (ptr_) ptr_->LLKBObject::retain();
  }
  Ref(const Ref& other) noexcept : Ref(other.ptr_) {}
  Ref(Ref&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  Ref(const Ref<U>& other) noexcept : Ref(other.get()) {}
  template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  Ref(Ref<U>&& other) noexcept : ptr_(other.leak()) {}
  ~Ref() {
    if (ptr_) ptr_->LLKBObject::release();
  }

  Ref& operator=(Ref other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }

  T* get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  T& operator*() const noexcept { return *ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }
  void reset() noexcept { Ref().swap(*this); }
  void swap(Ref& other) noexcept { std::swap(ptr_, other.ptr_); }

  // Gives up ownership without releasing; the caller takes the reference over.
  T* leak() noexcept { return std::exchange(ptr_, nullptr); }

  friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.ptr_ == b.ptr_; }
  friend bool operator==(const Ref& a, std::nullptr_t) noexcept { return a.ptr_ == nullptr; }
  friend bool operator==(const Ref& a, const T* b) noexcept { return a.ptr_ == b; }

private:
  T* ptr_ = nullptr;
};

// Makes an object and hands it to its first owner.
template <typename T, typename... Args>
Ref<T> makeRef(Args&&... args) {
  return Ref<T>(new T(std::forward<Args>(args)...));
}

// The object as a U when it is one, else null.
template <typename U, typename T>
Ref<U> refCast(const Ref<T>& from) noexcept {
  return Ref<U>(dynamic_cast<U*>(from.get()));
}

template <typename T>
struct std::hash<Ref<T>> {
  size_t operator()(const Ref<T>& ref) const noexcept { return std::hash<T*>()(ref.get()); }
};
