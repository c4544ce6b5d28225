#pragma once
// Array_t<T>: a heap array of fixed size, every element zero (or the given fill)
// at construction. TwoDArray_t<T>: the same array seen as rows of a fixed width,
// element (x, y) at index y * width + x. Meant for plain values (bytes, pixels).
#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

#include "glo/GLO_Exception.h"

namespace glo {

// Allocates zero-filled element storage.
template <typename T>
struct Allocator_t {
  static_assert(std::is_trivially_copyable_v<T>, "Allocator_t holds plain values only");
  static T* Allocate(std::size_t count) {
    if (count == 0) return nullptr;
    void* p = std::calloc(count, sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  static void Free(T* p) noexcept { std::free(p); }
};

template <typename T, typename Alloc = Allocator_t<T>>
class Array_t {
 public:
  explicit Array_t(std::size_t count) : m_count(count), m_elements(Alloc::Allocate(count)) {}
  Array_t(std::size_t count, const T& fill) : Array_t(count) {
    for (std::size_t i = 0; i < m_count; ++i) m_elements[i] = fill;
  }
  Array_t(const Array_t& other) : Array_t(other.m_count) {
    for (std::size_t i = 0; i < m_count; ++i) m_elements[i] = other.m_elements[i];
  }
  Array_t& operator=(const Array_t& other) {
    if (this != &other) {
      Array_t copy(other);
      std::swap(m_count, copy.m_count);
      std::swap(m_elements, copy.m_elements);
    }
    return *this;
  }
  virtual ~Array_t() { Alloc::Free(m_elements); }

  std::size_t Size() const noexcept { return m_count; }
  T* Data() noexcept { return m_elements; }
  const T* Data() const noexcept { return m_elements; }

  // Element i; Assert_t when i is outside the array.
  T& operator[](std::size_t i) {
    if (i >= m_count) throw Assert_t(GLO_SRC);
    return m_elements[i];
  }
  const T& operator[](std::size_t i) const {
    if (i >= m_count) throw Assert_t(GLO_SRC);
    return m_elements[i];
  }

 private:
  std::size_t m_count;
  T* m_elements;
};

template <typename T, typename Alloc = Allocator_t<T>>
class TwoDArray_t : public Array_t<T, Alloc> {
 public:
  TwoDArray_t(std::size_t width, std::size_t height, const T& fill = T())
      : Array_t<T, Alloc>(CheckedSize(width, height), fill), m_width(width), m_height(height) {}

  std::size_t Width() const noexcept { return m_width; }
  std::size_t Height() const noexcept { return m_height; }

  // Element (x, y); Assert_t when outside the array.
  T& At(std::size_t x, std::size_t y) {
    if (x >= m_width || y >= m_height) throw Assert_t(GLO_SRC);
    return this->Data()[y * m_width + x];
  }
  const T& At(std::size_t x, std::size_t y) const {
    if (x >= m_width || y >= m_height) throw Assert_t(GLO_SRC);
    return this->Data()[y * m_width + x];
  }

 private:
  static std::size_t CheckedSize(std::size_t width, std::size_t height) {
    if (width != 0 && height > static_cast<std::size_t>(-1) / sizeof(T) / width)
      throw std::bad_alloc();
    return width * height;
  }

  std::size_t m_width;
  std::size_t m_height;
};

}  // namespace glo
