#include "win/WIN_RegKey.h"

#include <vector>

#include "plat/PLAT_Error.h"

namespace win {

RegKeyHandle_t::~RegKeyHandle_t() { plat::RegCloseKey(m_key); }

plat::HKEY RegKey_t::KeyCreator_t::Open(plat::HKEY parent, const std::string& name) const {
  plat::HKEY key = 0;
  const long rc = plat::RegCreateKeyEx(parent, name, plat::kKeyRead | plat::kKeyCreateSubKey | plat::kKeySetValue, key);
  if (rc != 0) throw RegError_t(GLO_SRC, name, static_cast<unsigned long>(rc));
  return key;
}

plat::HKEY RegKey_t::KeyReader_t::Open(plat::HKEY parent, const std::string& name) const {
  plat::HKEY key = 0;
  const long rc = plat::RegOpenKeyEx(parent, name, plat::kKeyRead, key);
  if (rc != 0) throw RegError_t(GLO_SRC, name, static_cast<unsigned long>(rc));
  return key;
}

RegKey_t::RegKey_t(plat::HKEY root, const std::string& name) : m_handle(new RegKeyHandle_t(root)), m_name(name) {}

RegKey_t::RegKey_t(glo::SmartPtr_t<RegKeyHandle_t> handle, const std::string& name)
    : m_handle(handle), m_name(name) {}

RegKey_t::RegKey_t(const RegKey_t& parent, const std::string& path) : RegKey_t(Open(parent, path, KeyCreator_t())) {}

RegKey_t::RegKey_t(const RegKey_t& parent, const std::string& path, const KeyInitializer_t& initializer)
    : RegKey_t(Open(parent, path, initializer)) {}

RegKey_t::RegKey_t(const RegKey_t& parent, unsigned long index) : RegKey_t(OpenIndex(parent, index)) {}

RegKey_t RegKey_t::Open(const RegKey_t& parent, const std::string& path, const KeyInitializer_t& initializer) {
  // Split first, so that a bad path opens (or creates) nothing.
  std::vector<std::string> components;
  std::string rest = path;
  do {
    const std::string::size_type sep = rest.find('\\');
    components.push_back(rest.substr(0, sep));
    rest = sep == std::string::npos ? std::string() : rest.substr(sep + 1);
    if (components.back().empty()) throw glo::Assert_t(GLO_SRC);
  } while (!rest.empty());
  // One component at a time; each intermediate key is released once its child is open.
  RegKey_t key = parent;
  for (const std::string& name : components)
    key = RegKey_t(glo::SmartPtr_t<RegKeyHandle_t>(new RegKeyHandle_t(initializer.Open(key.Handle(), name))), name);
  return key;
}

RegKey_t RegKey_t::OpenIndex(const RegKey_t& parent, unsigned long index) {
  if (index >= parent.SubKeyCount()) throw glo::Assert_t(GLO_SRC);
  unsigned long longest = 0;
  long rc = plat::RegQueryInfoKey(parent.Handle(), nullptr, &longest, nullptr, nullptr);
  if (rc != 0) throw RegError_t(GLO_SRC, parent.Name(), static_cast<unsigned long>(rc));
  std::vector<char> name(longest + 1);
  unsigned long length = static_cast<unsigned long>(name.size());
  rc = plat::RegEnumKeyEx(parent.Handle(), index, name.data(), length);
  if (rc != 0) throw RegError_t(GLO_SRC, parent.Name(), static_cast<unsigned long>(rc));
  return Open(parent, std::string(name.data(), length), KeyReader_t());
}

unsigned long RegKey_t::SubKeyCount() const {
  unsigned long count = 0;
  const long rc = plat::RegQueryInfoKey(Handle(), &count, nullptr, nullptr, nullptr);
  if (rc != 0) throw RegError_t(GLO_SRC, m_name, static_cast<unsigned long>(rc));
  return count;
}

unsigned long RegKey_t::ValueCount() const {
  unsigned long count = 0;
  const long rc = plat::RegQueryInfoKey(Handle(), nullptr, nullptr, &count, nullptr);
  if (rc != 0) throw RegError_t(GLO_SRC, m_name, static_cast<unsigned long>(rc));
  return count;
}

std::string RegKey_t::ValueName(unsigned long index) const {
  if (index >= ValueCount()) throw glo::Assert_t(GLO_SRC);
  unsigned long longest = 0;
  long rc = plat::RegQueryInfoKey(Handle(), nullptr, nullptr, nullptr, &longest);
  if (rc != 0) throw RegError_t(GLO_SRC, m_name, static_cast<unsigned long>(rc));
  std::vector<char> name(longest + 1);
  unsigned long length = static_cast<unsigned long>(name.size());
  rc = plat::RegEnumValue(Handle(), index, name.data(), length);
  if (rc != 0) throw RegError_t(GLO_SRC, m_name, static_cast<unsigned long>(rc));
  return std::string(name.data(), length);
}

bool RegKey_t::ValueExists(const std::string& valueName) const {
  return plat::RegQueryValueEx(Handle(), valueName, nullptr, nullptr, nullptr) == 0;
}

void RegKey_t::DeleteValue(const std::string& valueName) const {
  const long rc = plat::RegDeleteValue(Handle(), valueName);
  if (rc != 0) throw RegError_t(GLO_SRC, valueName, static_cast<unsigned long>(rc));
}

void RegKey_t::ReadValue(const std::string& valueName, unsigned long type, void* buffer, unsigned long size) const {
  unsigned long storedType = plat::kRegNone;
  unsigned long storedSize = size;
  const long rc =
      plat::RegQueryValueEx(Handle(), valueName, &storedType, static_cast<unsigned char*>(buffer), &storedSize);
  // A value of another type is invalid data, even when it is also too large.
  if (rc != 0 && !(rc == static_cast<long>(plat::kErrorMoreData) && storedType != type))
    throw RegError_t(GLO_SRC, valueName, static_cast<unsigned long>(rc));
  if (storedType != type || storedSize != size) throw RegError_t(GLO_SRC, valueName, plat::kErrorInvalidData);
}

void RegKey_t::WriteValue(const std::string& valueName, unsigned long type, const void* data,
                          unsigned long size) const {
  const long rc =
      plat::RegSetValueEx(Handle(), valueName, type, static_cast<const unsigned char*>(data), size);
  if (rc != 0) throw RegError_t(GLO_SRC, valueName, static_cast<unsigned long>(rc));
}

std::string RegKey_t::ReadString(const std::string& valueName) const {
  unsigned long type = plat::kRegNone;
  unsigned long size = 0;
  long rc = plat::RegQueryValueEx(Handle(), valueName, &type, nullptr, &size);
  if (rc != 0) throw RegError_t(GLO_SRC, valueName, static_cast<unsigned long>(rc));
  std::string buffer(size, '\0');
  unsigned long readSize = size;
  rc = plat::RegQueryValueEx(Handle(), valueName, &type, reinterpret_cast<unsigned char*>(buffer.data()),
                             &readSize);
  if (rc != 0) throw RegError_t(GLO_SRC, valueName, static_cast<unsigned long>(rc));
  if (type != plat::kRegSz || readSize != size) throw RegError_t(GLO_SRC, valueName, plat::kErrorInvalidData);
  const std::string::size_type zero = buffer.find('\0');
  if (zero != std::string::npos) buffer.resize(zero);
  return buffer;
}

void RegKey_t::WriteString(const std::string& valueName, const std::string& text) const {
  const long rc = plat::RegSetValueEx(Handle(), valueName, plat::kRegSz,
                                      reinterpret_cast<const unsigned char*>(text.c_str()),
                                      static_cast<unsigned long>(text.size() + 1));
  if (rc != 0) throw RegError_t(GLO_SRC, valueName, static_cast<unsigned long>(rc));
}

const RegKey_t& HkeyCurrentUser() {
  static const RegKey_t key(plat::kHkeyCurrentUser, "HKEY_CURRENT_USER");
  return key;
}

const RegKey_t& HkeyLocalMachine() {
  static const RegKey_t key(plat::kHkeyLocalMachine, "HKEY_LOCAL_MACHINE");
  return key;
}

const RegKey_t& CompanyUserKey() {
  static const RegKey_t key(HkeyCurrentUser(), "Software\\Vortan\\", RegKey_t::KeyCreator_t());
  return key;
}

const RegKey_t& CompanyMachineKey() {
  static const RegKey_t key(HkeyLocalMachine(), "Software\\Vortan\\", RegKey_t::KeyReader_t());
  return key;
}

bool RegKeyExists(const RegKey_t& parent, const std::string& path) {
  try {
    RegKey_t key(parent, path, RegKey_t::KeyReader_t());
    return true;
  } catch (const RegError_t& e) {
    if (e.ErrorCode() == plat::kErrorFileNotFound) return false;
    throw;
  }
}

}  // namespace win
