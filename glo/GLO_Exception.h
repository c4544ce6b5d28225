#pragma once
// The program's exception classes. Every exception carries the source file and
// line of its throw: raise them with GLO_SRC, as in
//   throw glo::Assert_t(GLO_SRC);
//   throw glo::OutOfRange_t(GLO_SRC);
//   throw glo::InvalidInput_t(5247, GLO_SRC);
#include <exception>
#include <string>

namespace glo {

// The file name part of a path given by __FILE__ (our layout names files uniquely).
constexpr const char* SourceBaseName(const char* path) {
  const char* base = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') base = p + 1;
  return base;
}

}  // namespace glo

// Source file and line of the place where it is written, as constructor arguments.
#define GLO_SRC ::glo::SourceBaseName(__FILE__), __LINE__
// Throws glo::Assert_t at this place when the condition is false.
#define GLO_ASSERT(cond) ::glo::AssertTrue((cond), GLO_SRC)

namespace glo {

class Exception_t : public std::exception {
 public:
  Exception_t(const char* file, int line, const std::string& message);
  Exception_t(const Exception_t&) = default;
  Exception_t& operator=(const Exception_t&) = default;
  ~Exception_t() override;

  const char* what() const noexcept override;

  const char* SourceFile() const { return m_file; }
  int Line() const { return m_line; }
  const std::string& Message() const { return m_message; }

 private:
  const char* m_file;
  int m_line;
  std::string m_message;
};

// A broken internal invariant; empty message.
class Assert_t : public Exception_t {
 public:
  Assert_t(const char* file, int line) : Exception_t(file, line, std::string()) {}
};

// Returns the condition when true, throws Assert_t at (file, line) otherwise.
template <typename T>
inline T AssertTrue(T condition, const char* file, int line) {
  if (!condition) throw Assert_t(file, line);
  return condition;
}

// A value outside its range; empty message.
class OutOfRange_t : public Exception_t {
 public:
  OutOfRange_t(const char* file, int line) : Exception_t(file, line, std::string()) {}
};

// Input from the user that does not parse. The message stays empty; Text() is the
// explanation for the user: a string of the language module or a ready-made text.
class InvalidInput_t : public Exception_t {
 public:
  // Loads string 'stringId' of the language module (Exception_t when it is missing).
  InvalidInput_t(unsigned stringId, const char* file, int line);
  InvalidInput_t(const std::string& text, const char* file, int line);

  const std::string& Text() const { return m_text; }

 private:
  std::string m_text;
};

// A byte sequence that is not a character of the current multibyte code page.
class InvalidMBCharacter_t : public Exception_t {
 public:
  InvalidMBCharacter_t(const char* file, int line) : Exception_t(file, line, std::string()) {}
};

// No locale of that name can be built; the message is the locale name.
class LocaleDoesNotExist_t : public Exception_t {
 public:
  LocaleDoesNotExist_t(const char* file, int line, const std::string& localeName)
      : Exception_t(file, line, localeName) {}
};

// The stop request that ends a worker's wait.
class Terminate_t : public Exception_t {
 public:
  Terminate_t(const char* file, int line) : Exception_t(file, line, std::string()) {}
};

// Base of every error of the device link.
class CommunicationsError_t : public Exception_t {
 public:
  CommunicationsError_t(const char* file, int line, const std::string& message)
      : Exception_t(file, line, message) {}
};

// The system's English text for the calling thread's last error (at most 255
// characters), or "Unable to get error text".
std::string ErrorText();

}  // namespace glo
