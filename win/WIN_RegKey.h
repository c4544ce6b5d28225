#pragma once
// Registry keys: opened or created one path component at a time, sharing one
// open handle between copies; the root keys and the maker's keys.
#include <string>

#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Registry.h"
#include "win/WIN_Exception.h"

namespace win {

// An open key handle, closed (result ignored) when the last key sharing it goes.
class RegKeyHandle_t : public glo::RefCounter_t, private glo::NonCopyable_t {
 public:
  explicit RegKeyHandle_t(plat::HKEY key) noexcept : m_key(key) {}
  ~RegKeyHandle_t() override;

  plat::HKEY Get() const noexcept { return m_key; }

 private:
  plat::HKEY m_key;
};

class RegKey_t {
 public:
  // How one component of a path is opened below its parent.
  class KeyInitializer_t {
   public:
    virtual ~KeyInitializer_t() = default;
    // A new open handle of 'name' below 'parent'; win::RegError_t on failure.
    virtual plat::HKEY Open(plat::HKEY parent, const std::string& name) const = 0;
  };

  // Opens the component, creating it when missing, for reading, creating
  // subkeys and setting values.
  class KeyCreator_t : public KeyInitializer_t {
   public:
    plat::HKEY Open(plat::HKEY parent, const std::string& name) const override;
  };

  // Opens an existing component for reading (a missing one fails with code 2).
  class KeyReader_t : public KeyInitializer_t {
   public:
    plat::HKEY Open(plat::HKEY parent, const std::string& name) const override;
  };

  // A root key over a predefined handle.
  RegKey_t(plat::HKEY root, const std::string& name);
  // Opens or creates 'path' below the parent ("A\B\C"; one trailing "\" allowed,
  // an empty path or an empty component is glo::Assert_t).
  RegKey_t(const RegKey_t& parent, const std::string& path);
  // Opens 'path' below the parent with the given strategy; with KeyReader_t the
  // path must exist and the key is read-only.
  RegKey_t(const RegKey_t& parent, const std::string& path, const KeyInitializer_t& initializer);
  // Opens the index-th subkey (from 0, in enumeration order) read-only;
  // glo::Assert_t when the index is not below SubKeyCount().
  RegKey_t(const RegKey_t& parent, unsigned long index);

  RegKey_t(const RegKey_t&) = default;
  RegKey_t& operator=(const RegKey_t&) = default;
  ~RegKey_t() = default;

  // The root's name ("HKEY_CURRENT_USER") or the last component of the path.
  const std::string& Name() const { return m_name; }
  plat::HKEY Handle() const { return m_handle->Get(); }
  // True when both keys share one open handle.
  bool SharesHandleWith(const RegKey_t& other) const { return m_handle == other.m_handle; }

  unsigned long SubKeyCount() const;
  unsigned long ValueCount() const;
  // The index-th value's name; glo::Assert_t when the index is not below ValueCount().
  std::string ValueName(unsigned long index) const;
  // True when the value exists (a query that asks for no data succeeds).
  bool ValueExists(const std::string& valueName) const;
  // Deletes the value; a missing value is win::RegError_t with code 2.
  void DeleteValue(const std::string& valueName) const;

  // Reads exactly 'size' bytes of type 'type'. A failing read throws
  // win::RegError_t with its code (234 for a larger value of the type); a value of
  // another type, or a smaller one, throws win::RegError_t with code 13 (the data
  // is invalid).
  void ReadValue(const std::string& valueName, unsigned long type, void* buffer, unsigned long size) const;
  void WriteValue(const std::string& valueName, unsigned long type, const void* data, unsigned long size) const;

  // A REG_SZ value: the text up to its first zero within the stored size (a text
  // stored without its zero, or of size 0, is read within its size). Another type
  // is win::RegError_t with code 13.
  std::string ReadString(const std::string& valueName) const;
  // Writes REG_SZ of the text's length + 1 bytes.
  void WriteString(const std::string& valueName, const std::string& text) const;

 private:
  RegKey_t(glo::SmartPtr_t<RegKeyHandle_t> handle, const std::string& name);
  static RegKey_t Open(const RegKey_t& parent, const std::string& path, const KeyInitializer_t& initializer);
  static RegKey_t OpenIndex(const RegKey_t& parent, unsigned long index);

  glo::SmartPtr_t<RegKeyHandle_t> m_handle;
  std::string m_name;
};

// The root keys "HKEY_CURRENT_USER" and "HKEY_LOCAL_MACHINE".
const RegKey_t& HkeyCurrentUser();
const RegKey_t& HkeyLocalMachine();
// "Software\Vortan\" of the current user, created when missing.
const RegKey_t& CompanyUserKey();
// "Software\Vortan\" of the local machine, read-only; it must exist.
const RegKey_t& CompanyMachineKey();

// True when 'path' opens read-only below the parent, false when it does not exist
// (code 2); any other failure propagates.
bool RegKeyExists(const RegKey_t& parent, const std::string& path);

}  // namespace win
