#pragma once
// Ownership templates:
//  RefCounter_t  base of objects shared through SmartPtr_t (a plain, non-atomic count:
//                an object is copied and released by one thread at a time);
//  SmartPtr_t<T> intrusive shared pointer to a T deriving RefCounter_t;
//  AutoPtr_t<T>  sole owner of one heap object.
// The fixed-size heap arrays Array_t and TwoDArray_t are in GLO_Array.h.
#include <utility>

#include "glo/GLO_Array.h"
#include "glo/GLO_Exception.h"

namespace glo {

class RefCounter_t {
 public:
  RefCounter_t() noexcept : m_refCount(0) {}
  // A copy is a new object: nobody refers to it yet.
  RefCounter_t(const RefCounter_t&) noexcept : m_refCount(0) {}
  RefCounter_t& operator=(const RefCounter_t&) noexcept { return *this; }
  virtual ~RefCounter_t() = default;

  int RefCount() const noexcept { return m_refCount; }
  void AddRef() noexcept { ++m_refCount; }
  // Drops one reference and answers the references left.
  int ReleaseRef() noexcept { return --m_refCount; }

 private:
  int m_refCount;
};

template <typename T>
class SmartPtr_t {
 public:
  SmartPtr_t(T* p = nullptr) noexcept : m_p(p) { Acquire(m_p); }  // NOLINT: implicit on purpose
  SmartPtr_t(const SmartPtr_t& other) noexcept : m_p(other.m_p) { Acquire(m_p); }
  template <typename U>
  SmartPtr_t(const SmartPtr_t<U>& other) noexcept : m_p(other.Get()) {
    Acquire(m_p);
  }
  virtual ~SmartPtr_t() { Release(m_p); }

  // Takes and counts the new object first, then releases the old one, so that an
  // assignment from a pointer that the old object owns (directly or further down)
  // stays valid while the old object is deleted.
  SmartPtr_t& operator=(const SmartPtr_t& other) noexcept { return Assign(other.m_p); }
  SmartPtr_t& operator=(T* p) noexcept { return Assign(p); }

  T* Get() const noexcept { return m_p; }
  T* operator->() const {
    if (!m_p) throw Assert_t(GLO_SRC);
    return m_p;
  }
  T& operator*() const {
    if (!m_p) throw Assert_t(GLO_SRC);
    return *m_p;
  }
  explicit operator bool() const noexcept { return m_p != nullptr; }

  friend bool operator==(const SmartPtr_t& a, const SmartPtr_t& b) noexcept { return a.m_p == b.m_p; }

 private:
  SmartPtr_t& Assign(T* p) noexcept {
    if (p == m_p) return *this;
    Acquire(p);
    T* old = m_p;
    m_p = p;
    Release(old);
    return *this;
  }

  static void Acquire(T* p) noexcept {
    if (p) static_cast<RefCounter_t*>(p)->AddRef();
  }

  static void Release(T* p) noexcept {
    if (!p) return;
    RefCounter_t* counted = p;
    if (counted->ReleaseRef() == 0) {
      try {
        delete counted;
      } catch (...) {
        // A failing destructor must not escape a release.
      }
    }
  }

  T* m_p;
};

template <typename T>
class AutoPtr_t {
 public:
  explicit AutoPtr_t(T* p = nullptr) noexcept : m_p(p) {}
  AutoPtr_t(AutoPtr_t&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
  AutoPtr_t& operator=(AutoPtr_t&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  AutoPtr_t(const AutoPtr_t&) = delete;
  AutoPtr_t& operator=(const AutoPtr_t&) = delete;
  ~AutoPtr_t() { Reset(); }

  // The owned object; Assert_t when empty.
  T& operator*() const {
    if (!m_p) throw Assert_t(GLO_SRC);
    return *m_p;
  }
  T* operator->() const {
    if (!m_p) throw Assert_t(GLO_SRC);
    return m_p;
  }

  T* Get() const noexcept { return m_p; }
  explicit operator bool() const noexcept { return m_p != nullptr; }

  // Deletes the owned object and takes p (null by default).
  void Reset(T* p = nullptr) noexcept {
    if (p == m_p) return;
    T* old = m_p;
    m_p = p;
    try {
      delete old;
    } catch (...) {
      // Destructors do not throw; never let one escape here.
    }
  }

  // Gives up ownership without deleting.
  T* Release() noexcept {
    T* p = m_p;
    m_p = nullptr;
    return p;
  }

 private:
  T* m_p;
};

}  // namespace glo
