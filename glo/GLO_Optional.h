#pragma once
// Optional_t<T>: a value that may be absent. The value lives in a heap cell of
// its own; a null cell means absent. Copies are deep (every copy owns its cell).
#include <utility>

#include "glo/GLO_Exception.h"

namespace glo {

template <typename T>
class Optional_t {
 public:
  Optional_t() noexcept : m_cell(nullptr) {}
  Optional_t(const T& value) : m_cell(new T(value)) {}  // NOLINT: implicit on purpose
  Optional_t(const Optional_t& other) : m_cell(other.m_cell ? new T(*other.m_cell) : nullptr) {}
  Optional_t(Optional_t&& other) noexcept : m_cell(other.m_cell) { other.m_cell = nullptr; }
  ~Optional_t() { delete m_cell; }

  // Overwrites the held value, or makes a new cell when absent.
  Optional_t& operator=(const T& value) {
    if (m_cell)
      *m_cell = value;
    else
      m_cell = new T(value);
    return *this;
  }

  // Takes a copy of the other's value; an absent other makes this absent.
  Optional_t& operator=(const Optional_t& other) {
    if (this == &other) return *this;
    if (!other.m_cell)
      Reset();
    else if (m_cell)
      *m_cell = *other.m_cell;
    else
      m_cell = new T(*other.m_cell);
    return *this;
  }

  Optional_t& operator=(Optional_t&& other) noexcept {
    if (this != &other) {
      delete m_cell;
      m_cell = other.m_cell;
      other.m_cell = nullptr;
    }
    return *this;
  }

  bool IsPresent() const noexcept { return m_cell != nullptr; }
  explicit operator bool() const noexcept { return m_cell != nullptr; }

  // The held value; Assert_t when absent.
  const T& Value() const {
    if (!m_cell) throw Assert_t(GLO_SRC);
    return *m_cell;
  }
  T& Value() {
    if (!m_cell) throw Assert_t(GLO_SRC);
    return *m_cell;
  }
  const T& operator*() const { return Value(); }
  T& operator*() { return Value(); }
  const T* operator->() const { return &Value(); }
  T* operator->() { return &Value(); }

  // Makes the optional absent (frees the cell).
  void Reset() noexcept {
    delete m_cell;
    m_cell = nullptr;
  }

 private:
  T* m_cell;
};

// Absent is less than every present value; present values compare by value;
// of two absent values neither is less.
template <typename T>
bool operator<(const Optional_t<T>& a, const Optional_t<T>& b) {
  if (!b.IsPresent()) return false;
  if (!a.IsPresent()) return true;
  return *a < *b;
}

// a - b, absent when either is absent.
inline Optional_t<double> operator-(const Optional_t<double>& a, const Optional_t<double>& b) {
  if (!a.IsPresent() || !b.IsPresent()) return Optional_t<double>();
  return Optional_t<double>(*a - *b);
}

}  // namespace glo
