#pragma once
// A plain image of values T: rows packed in data, one pointer per row in access, so pixel (x, y)
// is access[y][x]. An image made with a size owns its zero-filled data; one laid over a caller's
// data leaves it to the caller.
#include <cstddef>
#include <memory>

namespace graphseg {

// A colour pixel: red, green and blue bytes in that order.
struct rgb {
  unsigned char r, g, b;
};

inline bool operator==(const rgb& a, const rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

template <class T>
class image {
public:
  // Allocates width × height zero values (std::bad_alloc when memory runs out).
  image(int width_, int height_) : image(width_, height_, nullptr) {
    data = new T[size_t(width) * size_t(height)]();
    owns = true;
    link();
  }
  // Lays the image over the caller's width × height values, which must outlive it.
  image(int width_, int height_, T* data_)
      : data(data_),
        access(new T*[size_t(height_ > 0 ? height_ : 0)]()),
        width(width_ > 0 ? width_ : 0),
        height(height_ > 0 ? height_ : 0) {
    if (data) link();
  }
  ~image() {
    if (owns) delete[] data;
    delete[] access;
  }
  image(const image&) = delete;
  image& operator=(const image&) = delete;

  T& operator()(int x, int y) { return access[y][x]; }
  const T& operator()(int x, int y) const { return access[y][x]; }

  T* data = nullptr;
  T** access = nullptr;
  bool owns = false;
  int width = 0;
  int height = 0;

private:
  void link() {
    for (int y = 0; y < height; ++y) access[y] = data + size_t(y) * size_t(width);
  }
};

template <class T>
using image_ptr = std::unique_ptr<image<T>>;

}  // namespace graphseg
