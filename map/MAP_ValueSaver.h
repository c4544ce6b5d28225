#pragma once
// Puts a value back, on destruction, as it was when the guard was made, also
// when an exception ends the scope; a failure to put it back is ignored and
// leaves what the failed assignment left.

namespace map {

template <typename T>
class ValueSaver_t {
 public:
  explicit ValueSaver_t(T& target) : m_target(&target), m_saved(target) {}
  ValueSaver_t(const ValueSaver_t&) = delete;
  ValueSaver_t& operator=(const ValueSaver_t&) = delete;
  virtual ~ValueSaver_t() {
    try {
      *m_target = m_saved;
    } catch (...) {
    }
  }

 private:
  T* m_target;
  T m_saved;
};

}  // namespace map
