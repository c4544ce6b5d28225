#pragma once
// The settings store: two hives of keys and typed values, with the calls and the
// Windows error codes of the system registry they stand in for.
//
// Hives. The current user's hive is the file $STRIDE_REGISTRY_USER, else
// $XDG_CONFIG_HOME/VORTAN/registry-user.txt ($HOME/.config when XDG_CONFIG_HOME is
// not an absolute path). The local machine's hive is the file
// $STRIDE_REGISTRY_MACHINE, else /etc/xdg/VORTAN/registry-machine.txt; it always
// holds the key "Software\Vortan" (also when the file is missing) and is read-only:
// every change to it is refused with 5 (access denied).
//
// Each hive file is written whole on every change (temporary file, fsync, rename;
// through links to where they lead; the file keeps its permissions) while holding
// an exclusive lock on "<file>.lock". Reads come from memory while the file is
// the one last read or written (same identity, size and times), and the file is
// read again whenever another process has replaced or changed it, so that two
// processes changing one hive keep both changes. A file that is damaged (lines
// that do not parse, or cut short) is used without its damaged lines; the damage
// is reported once on stderr, and before the hive is next written the damaged
// file is kept aside as "<file>.damaged" (".damaged-2" and so on when that
// exists).
//
// Key and value names are case-insensitive and keep the case they were created
// with. Subkeys enumerate in the order of their names without regard to case;
// values in the order in which they were first set. Values keep their type and
// their exact bytes.
//
// Every call returns 0 on success or a Windows error code: 2 a key or value that
// does not exist, 5 access denied, 6 an unknown handle, 87 a bad argument, 234 a
// buffer too small (more data), 259 no more items, 1010 an open key that the hive
// file no longer holds, 1012 a hive file that exists but cannot be read, 1013 a
// hive file that cannot be written.
#include <cstdint>
#include <string>

namespace plat {

using HKEY = std::uintptr_t;

// The predefined root keys (never closed).
constexpr HKEY kHkeyCurrentUser = 0x80000001u;
constexpr HKEY kHkeyLocalMachine = 0x80000002u;

// Value types.
enum : unsigned long {
  kRegNone = 0,
  kRegSz = 1,
  kRegBinary = 3,
  kRegDword = 4,
};

// Access rights of an open key.
enum : unsigned long {
  kKeyQueryValue = 0x0001,
  kKeySetValue = 0x0002,
  kKeyCreateSubKey = 0x0004,
  kKeyEnumerateSubKeys = 0x0008,
  kKeyNotify = 0x0010,
  kKeyRead = 0x20019,
  kKeyWrite = 0x20006,
};

// Opens the existing subkey 'subKey' (one name or several separated by "\")
// below 'parent'. Write rights on the machine hive are refused with 5.
long RegOpenKeyEx(HKEY parent, const std::string& subKey, unsigned long access, HKEY& result);

// Opens 'subKey' below 'parent', creating every missing key of the path. Needs
// the create right on 'parent'; the machine hive refuses with 5.
long RegCreateKeyEx(HKEY parent, const std::string& subKey, unsigned long access, HKEY& result);

// Closes a key opened by the two calls above; the root keys are left open.
long RegCloseKey(HKEY key);

// Counts of subkeys and values, and the longest subkey and value name (in bytes,
// without the terminating zero). Any pointer may be null.
long RegQueryInfoKey(HKEY key, unsigned long* subKeys, unsigned long* maxSubKeyLen,
                     unsigned long* values, unsigned long* maxValueNameLen);

// The name of the index-th subkey or value into 'name', a buffer of 'nameLen'
// bytes; on success 'nameLen' is the name's length without its zero. 259 past the
// last one; 234 when the name and its zero do not fit.
long RegEnumKeyEx(HKEY key, unsigned long index, char* name, unsigned long& nameLen);
long RegEnumValue(HKEY key, unsigned long index, char* name, unsigned long& nameLen);

// Reads a value. 'type' (may be null) receives its type. With null 'data' only the
// size is asked for: 'size' (may then be null) receives it. Otherwise 'size' holds
// the buffer's size and receives the value's size; 234 when it is too small.
long RegQueryValueEx(HKEY key, const std::string& valueName, unsigned long* type, unsigned char* data,
                     unsigned long* size);

// Writes a value of the type with exactly these bytes. Needs the set-value right.
long RegSetValueEx(HKEY key, const std::string& valueName, unsigned long type, const unsigned char* data,
                   unsigned long size);

// Deletes a value; 2 when it does not exist. Needs the set-value right.
long RegDeleteValue(HKEY key, const std::string& valueName);

// The hive files in use at this moment (after the environment).
std::string UserHivePath();
std::string MachineHivePath();

// Removes the temporary files ("<hive>.tmp-<pid>") that writers of the user's
// hive left beside it when they were ended in the middle of a write; those of
// processes that still run are left alone.
void RemoveLeftoverHiveFiles();

}  // namespace plat
