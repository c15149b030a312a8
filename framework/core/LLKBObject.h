#pragma once
// The root of every reference-counted object, and Ref<T>, the strong pointer that holds one.
//
// An object starts owned by its creator (count 1): makeRef<T>(...) and the class factories hand
// that reference to a Ref with adoptRef, without counting again. Ref<T>(ptr) is explicit and
// retains an object someone already holds, so a Ref(this) made in a constructor, or before the
// first owner takes the object, never brings the count to 0. Nothing calls delete by hand.
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
  // Drops the caller's reference only when it is the last one, deciding and destroying in one
  // step, so no other owner can appear or vanish in between. False (nothing changed) when
  // someone else still holds the object.
  bool releaseIfLast() const noexcept {
    uint32_t expected = 1;
    if (!count_.compare_exchange_strong(expected, 0, std::memory_order_acq_rel)) return false;
    delete this;
    return true;
  }
  uint32_t retainCount() const noexcept { return count_.load(std::memory_order_relaxed); }

  LLKBObject(const LLKBObject&) = delete;
  LLKBObject& operator=(const LLKBObject&) = delete;

protected:
  LLKBObject() = default;
  virtual ~LLKBObject() = default;

private:
  mutable std::atomic<uint32_t> count_{1};
};

template <typename T>
class Ref {
public:
  Ref() noexcept = default;
  Ref(std::nullptr_t) noexcept {}
  // The counting calls are qualified, so a subclass method that happens to be called retain
  // or release never takes their place.
  explicit Ref(T* object) noexcept : ptr_(object) {
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
  // Releases the object when this is its last reference (and empties this Ref); true then.
  // False, with this Ref unchanged, while someone else holds it.
  [[nodiscard]] bool releaseIfLast() noexcept {
    if (!ptr_ || !ptr_->LLKBObject::releaseIfLast()) return false;
    ptr_ = nullptr;
    return true;
  }

  // Takes over the creator's reference of an object just made with new (null stays empty).
  [[nodiscard]] static Ref adopt(T* object) noexcept {
    Ref ref;
    ref.ptr_ = object;
    return ref;
  }

  friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.ptr_ == b.ptr_; }
  friend bool operator==(const Ref& a, std::nullptr_t) noexcept { return a.ptr_ == nullptr; }
  friend bool operator==(const Ref& a, const T* b) noexcept { return a.ptr_ == b; }

private:
  T* ptr_ = nullptr;
};

// Hands the creator's reference of an object just made with new to a Ref; for factories whose
// constructor is private. Everywhere else, makeRef.
template <typename T>
[[nodiscard]] Ref<T> adoptRef(T* object) noexcept {
  return Ref<T>::adopt(object);
}

// Makes an object and hands it to its first owner.
template <typename T, typename... Args>
[[nodiscard]] Ref<T> makeRef(Args&&... args) {
  return adoptRef(new T(std::forward<Args>(args)...));
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
