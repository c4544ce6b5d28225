#pragma once
// Optional_t<T>: a value that may be absent. The value lives in a heap cell of
// its own; a null cell means absent. Copies are deep (every copy owns its cell).
//
// Small plain values (trivially copyable, at most 16 bytes: numbers, times)
// are kept in a cell inside the optional itself instead of on the heap; the
// behaviour is the same, only without an allocation per value.
#include <cstddef>
#include <type_traits>
#include <utility>

#include "glo/GLO_Exception.h"

namespace glo {

// Whether Optional_t<T> keeps its value inside itself.
template <typename T>
struct OptionalStoredInline : std::bool_constant<std::is_trivially_copyable_v<T> && sizeof(T) <= 16> {};

namespace optional_detail {

// The heap cell: a null pointer means absent.
template <typename T>
class HeapCell_t {
 public:
  HeapCell_t() noexcept = default;
  HeapCell_t(const HeapCell_t&) = delete;
  HeapCell_t& operator=(const HeapCell_t&) = delete;
  ~HeapCell_t() { delete m_cell; }

  T* Get() const noexcept { return m_cell; }
  void Set(const T& value) {
    if (m_cell)
      *m_cell = value;
    else
      m_cell = new T(value);
  }
  void Reset() noexcept {
    delete m_cell;
    m_cell = nullptr;
  }
  // Takes the other's value (the other becomes absent).
  void Take(HeapCell_t& other) noexcept {
    if (this == &other) return;
    delete m_cell;
    m_cell = other.m_cell;
    other.m_cell = nullptr;
  }

 private:
  T* m_cell = nullptr;
};

// The cell inside the optional.
template <typename T>
class InlineCell_t {
 public:
  InlineCell_t() noexcept : m_none() {}
  InlineCell_t(const InlineCell_t&) = delete;
  InlineCell_t& operator=(const InlineCell_t&) = delete;

  T* Get() const noexcept { return m_present ? const_cast<T*>(&m_value) : nullptr; }
  void Set(const T& value) {
    m_value = value;
    m_present = true;
  }
  void Reset() noexcept { m_present = false; }
  void Take(InlineCell_t& other) noexcept {
    if (this == &other) return;
    if (other.m_present) m_value = other.m_value;
    m_present = other.m_present;
    other.m_present = false;
  }

 private:
  union {
    char m_none;
    T m_value;
  };
  bool m_present = false;
};

}  // namespace optional_detail

template <typename T>
class Optional_t {
 public:
  Optional_t() noexcept = default;
  Optional_t(const T& value) { m_cell.Set(value); }  // NOLINT: implicit on purpose
  Optional_t(const Optional_t& other) {
    if (const T* value = other.m_cell.Get()) m_cell.Set(*value);
  }
  Optional_t(Optional_t&& other) noexcept { m_cell.Take(other.m_cell); }
  ~Optional_t() = default;

  // Overwrites the held value, or makes a new cell when absent.
  Optional_t& operator=(const T& value) {
    m_cell.Set(value);
    return *this;
  }

  // Takes a copy of the other's value; an absent other makes this absent.
  Optional_t& operator=(const Optional_t& other) {
    if (this == &other) return *this;
    if (const T* value = other.m_cell.Get())
      m_cell.Set(*value);
    else
      m_cell.Reset();
    return *this;
  }

  Optional_t& operator=(Optional_t&& other) noexcept {
    m_cell.Take(other.m_cell);
    return *this;
  }

  bool IsPresent() const noexcept { return m_cell.Get() != nullptr; }
  explicit operator bool() const noexcept { return m_cell.Get() != nullptr; }

  // The held value; Assert_t when absent.
  const T& Value() const {
    const T* value = m_cell.Get();
    if (!value) throw Assert_t(GLO_SRC);
    return *value;
  }
  T& Value() {
    T* value = m_cell.Get();
    if (!value) throw Assert_t(GLO_SRC);
    return *value;
  }
  const T& operator*() const { return Value(); }
  T& operator*() { return Value(); }
  const T* operator->() const { return &Value(); }
  T* operator->() { return &Value(); }

  // Makes the optional absent (frees the cell).
  void Reset() noexcept { m_cell.Reset(); }

 private:
  std::conditional_t<OptionalStoredInline<T>::value, optional_detail::InlineCell_t<T>, optional_detail::HeapCell_t<T>>
      m_cell;
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
