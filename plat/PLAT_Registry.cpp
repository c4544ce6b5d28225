#include "plat/PLAT_Registry.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <csignal>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileOps.h"
#include "plat/PLAT_RegistryText.h"

namespace plat {

namespace {

using reg::Fold;
using reg::HiveText;
using reg::Key;
using reg::kMaxKeyNameLength;
using reg::kMaxValueNameLength;
using reg::ParseHive;
using reg::Value;

// Identity of a hive file as read, by which its damage is reported once.
struct FileId {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  std::int64_t mtimeNs = 0;
  std::int64_t ctimeNs = 0;

  bool operator==(const FileId& o) const {
    return exists == o.exists && (!exists || (dev == o.dev && ino == o.ino && size == o.size &&
                                              mtimeNs == o.mtimeNs && ctimeNs == o.ctimeNs));
  }
};

struct Hive {
  std::string path;
  bool machine = false;
  FileId id;
  bool damaged = false;  // the file in place holds more than was read
  Key root;
};

// ---------------------------------------------------------------------------
// Files.

std::int64_t Ns(const timespec& t) { return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; }

FileId IdOf(const struct stat& st) {
  FileId id;
  id.exists = true;
  id.dev = st.st_dev;
  id.ino = st.st_ino;
  id.size = st.st_size;
  id.mtimeNs = Ns(st.st_mtim);
  id.ctimeNs = Ns(st.st_ctim);
  return id;
}

// The identity of the file at the path; 'failed' when it exists but cannot be
// looked at.
FileId StatFile(const std::string& path, bool* failed = nullptr) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (failed) *failed = errno != ENOENT && errno != ENOTDIR;
    return FileId();
  }
  if (failed) *failed = false;
  return IdOf(st);
}

std::int64_t NowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Ns(now);
}

// Reads a whole regular file through an open descriptor, which it gives back
// with the identity of what was read. Never waits on a pipe or a device.
bool ReadWholeFile(const std::string& path, std::string& text, FileId& id, int& fd) {
  fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    fd = -1;
    return false;
  }
  id = IdOf(st);
  text.clear();
  text.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      fd = -1;
      return false;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  return true;
}

std::string Folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : (slash == 0 ? std::string("/") : path.substr(0, slash));
}

bool CreateFolders(const std::string& folder) {
  for (size_t pos = 1; pos <= folder.size(); ++pos) {
    if (pos != folder.size() && folder[pos] != '/') continue;
    if (::mkdir(folder.substr(0, pos).c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// The temporary file of a write by this process: "<hive>.tmp-<pid>".
std::string TempPath(const std::string& target) { return target + ".tmp-" + std::to_string(::getpid()); }

// Writes the file whole: a temporary file beside it (permissions as the file's,
// or as the umask gives a new file), flushed, then renamed over it. Gives the
// identity of the new file and a descriptor that keeps it.
bool WriteHiveFile(const std::string& target, const std::string& bytes, FileId& id, int& keep) {
  const std::string temp = TempPath(target);
  ::unlink(temp.c_str());  // left by an earlier process of this number
  keep = -1;
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  if (!MatchFileMode(fd, target)) {
    ::close(fd);
    ::unlink(temp.c_str());
    return false;
  }
  struct stat st;
  const auto ready = [&](Handle file) {
    if (::fstat(file, &st) != 0) return FailWithErrno(errno);
    keep = ::fcntl(file, F_DUPFD_CLOEXEC, 0);
    return keep >= 0 || FailWithErrno(errno);
  };
  if (!ReplaceFileWith(fd, temp, target, bytes.data(), bytes.size(), ready)) {
    if (keep >= 0) ::close(keep);
    keep = -1;
    return false;
  }
  id = IdOf(st);
  return true;
}

// Keeps the damaged file in place under a name of its own (a second link).
bool KeepAside(const std::string& path) {
  for (int n = 1; n < 1000; ++n) {
    const std::string side = path + ".damaged" + (n == 1 ? std::string() : "-" + std::to_string(n));
    if (::link(path.c_str(), side.c_str()) == 0) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

// An exclusive lock on "<hive>.lock", held for one read-change-write.
class FileLock {
 public:
  explicit FileLock(const std::string& hivePath) {
    if (!CreateFolders(Folder(hivePath))) return;
    m_fd = ::open((hivePath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) return;
    int rc;
    do {
      rc = ::flock(m_fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
      ::close(m_fd);
      m_fd = -1;
    }
  }
  ~FileLock() {
    if (m_fd >= 0) ::close(m_fd);  // closing drops the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Held() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
};

// ---------------------------------------------------------------------------
// The process's view of the hives and its open keys.

struct OpenKey {
  bool machine;
  std::string hivePath;
  std::vector<std::string> path;
  unsigned long access;
};

// A hive as last read or written by this process. The descriptor keeps the
// file it was read from, so that no later file can have its identity: a file
// of the same identity is the same file, unchanged, unless it was written in
// place within the coarse tick of its time stamp, which is why a file changed
// shortly before it was read is read again.
struct CachedHive {
  Hive hive;
  int keep = -1;
  bool trusted = false;

  ~CachedHive() {
    if (keep >= 0) ::close(keep);
  }
  void Keep(int fd) {
    if (keep >= 0) ::close(keep);
    keep = fd;
  }
};

// How long after its last change a file is read again at every look.
constexpr std::int64_t kSettleNs = 100 * 1000000ll;

struct Store {
  std::mutex mutex;
  std::map<HKEY, OpenKey> keys;
  std::map<std::string, std::unique_ptr<CachedHive>> hives;  // by "M:" or "U:" and the path
  std::set<std::string> reported;  // damaged files already reported, by identity
  HKEY next = 0x1000;
};

Store& TheStore() {
  static auto* store = new Store;  // lives to the very end of the process
  return *store;
}

std::string EnvPath(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0] ? std::string(value) : std::string();
}

void EnsureMachineDefault(Hive& hive) {
  if (hive.machine) hive.root.AddSub("Software")->AddSub("Vortan");
}

std::string CacheKey(bool machine, const std::string& path) { return (machine ? "M:" : "U:") + path; }

void Forget(Store& store, bool machine, const std::string& path) { store.hives.erase(CacheKey(machine, path)); }

// The hive of the file in place: from memory while the file is the one last
// read or written (its identity, size and times unchanged), else read again.
// A file that exists but cannot be read is an error (null), never taken for an
// empty hive.
Hive* LoadHive(Store& store, bool machine, const std::string& path) {
  auto& slot = store.hives[CacheKey(machine, path)];
  bool failed = false;
  const FileId now = StatFile(path, &failed);
  if (failed) {
    slot.reset();
    return nullptr;
  }
  if (slot && slot->trusted && slot->hive.id == now) return &slot->hive;

  auto fresh = std::make_unique<CachedHive>();
  Hive& hive = fresh->hive;
  hive.path = path;
  hive.machine = machine;
  fresh->trusted = true;
  if (now.exists) {
    const std::int64_t readStart = NowNs();
    std::string text;
    int fd = -1;
    if (!ReadWholeFile(path, text, hive.id, fd)) {
      slot.reset();
      return nullptr;
    }
    fresh->Keep(fd);
    fresh->trusted = hive.id.mtimeNs + kSettleNs < readStart;
    size_t badLine = 0;
    if (!ParseHive(text, hive.root, badLine)) {
      hive.damaged = true;
      const std::string identity =
          path + ':' + std::to_string(hive.id.ino) + ':' + std::to_string(hive.id.mtimeNs);
      if (store.reported.insert(identity).second)
        std::fprintf(stderr,
                     "The settings file %s is damaged (first at line %zu); the damaged lines are skipped, the "
                     "others used, and the file is kept as %s.damaged when the settings are next saved.\n",
                     path.c_str(), badLine, path.c_str());
    }
  }
  EnsureMachineDefault(hive);
  slot = std::move(fresh);
  return &slot->hive;
}

// Writes the hive where its file is (through links) and keeps it as the
// file's content in memory.
bool SaveHive(Store& store, Hive& hive) {
  std::string target;
  if (!ResolveLinks(hive.path, target)) return false;
  if (!CreateFolders(Folder(target))) return false;
  if (hive.damaged && StatFile(target).exists && !KeepAside(target)) return false;
  FileId id;
  int keep = -1;
  if (!WriteHiveFile(target, HiveText(hive.root), id, keep)) return false;
  hive.damaged = false;
  hive.id = id;
  auto& slot = store.hives[CacheKey(hive.machine, hive.path)];
  if (slot && &slot->hive == &hive) {
    slot->Keep(keep);
    slot->trusted = true;  // written under the lock by this process: its content is known
  } else if (keep >= 0) {
    ::close(keep);
  }
  return true;
}

bool Resolve(Store& store, HKEY handle, OpenKey& key) {
  if (handle == kHkeyCurrentUser) {
    key = OpenKey{false, UserHivePath(), {}, kKeyRead | kKeyWrite};
    return true;
  }
  if (handle == kHkeyLocalMachine) {
    key = OpenKey{true, MachineHivePath(), {}, kKeyRead};
    return true;
  }
  const auto it = store.keys.find(handle);
  if (it == store.keys.end()) return false;
  key = it->second;
  return true;
}

Key* Walk(Key& root, const std::vector<std::string>& path) {
  Key* key = &root;
  for (const std::string& name : path)
    if (!(key = key->Sub(name))) return nullptr;
  return key;
}

// The components of a subkey path; one trailing "\" is allowed.
bool SplitPath(const std::string& subKey, std::vector<std::string>& names) {
  names.clear();
  if (subKey.empty()) return true;
  std::string path = subKey;
  if (path.back() == '\\') path.pop_back();
  size_t start = 0;
  for (;;) {
    const size_t sep = path.find('\\', start);
    const std::string name = path.substr(start, sep == std::string::npos ? std::string::npos : sep - start);
    if (name.empty() || name.size() > kMaxKeyNameLength) return false;
    names.push_back(name);
    if (sep == std::string::npos) return true;
    start = sep + 1;
  }
}

constexpr unsigned long kWriteRights = kKeySetValue | kKeyCreateSubKey;

HKEY NewHandle(Store& store, OpenKey key) {
  const HKEY handle = store.next;
  store.next += 4;
  store.keys.emplace(handle, std::move(key));
  return handle;
}

// The key of an open handle in its current hive, or an error code.
long Locate(Store& store, HKEY handle, OpenKey& open, Hive*& hive, Key*& key) {
  if (!Resolve(store, handle, open)) return static_cast<long>(kErrorInvalidHandle);
  hive = LoadHive(store, open.machine, open.hivePath);
  if (!hive) return static_cast<long>(kErrorCantRead);
  key = Walk(hive->root, open.path);
  // A key that another process took away (by editing the file) is gone for good.
  return key ? 0 : static_cast<long>(kErrorBadKey);
}

// Runs a change of one key under the hive's lock and saves the hive when the
// change says it modified it: change(key, modified) -> error code.
template <typename Change>
long ChangeKey(HKEY handle, unsigned long right, Change change) {
  Store& store = TheStore();
  std::lock_guard<std::mutex> guard(store.mutex);
  OpenKey open;
  if (!Resolve(store, handle, open)) return static_cast<long>(kErrorInvalidHandle);
  if (open.machine || (open.access & right) != right) return static_cast<long>(kErrorAccessDenied);
  FileLock lock(open.hivePath);
  if (!lock.Held()) return static_cast<long>(kErrorCantWrite);
  Hive* hive = nullptr;
  Key* key = nullptr;
  if (const long rc = Locate(store, handle, open, hive, key)) return rc;
  bool modified = false;
  const long rc = change(*key, modified);
  if (!modified) return rc;
  if (rc == 0 && SaveHive(store, *hive)) return 0;
  // The change did not reach the file: what is in memory no longer matches it.
  Forget(store, open.machine, open.hivePath);
  return rc != 0 ? rc : static_cast<long>(kErrorCantWrite);
}

// Runs a look at one key of its current hive: look(key) -> error code.
template <typename Look>
long ReadKey(HKEY handle, Look look) {
  Store& store = TheStore();
  std::lock_guard<std::mutex> guard(store.mutex);
  OpenKey open;
  Hive* hive = nullptr;
  Key* key = nullptr;
  if (const long rc = Locate(store, handle, open, hive, key)) return rc;
  return look(*key);
}

long EnumName(const std::string& name, char* buffer, unsigned long& nameLen) {
  if (!buffer || name.size() + 1 > nameLen) return static_cast<long>(kErrorMoreData);
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  nameLen = static_cast<unsigned long>(name.size());
  return 0;
}

}  // namespace

std::string UserHivePath() {
  std::string path = EnvPath("STRIDE_REGISTRY_USER");
  if (!path.empty()) return path;
  std::string config = EnvPath("XDG_CONFIG_HOME");
  if (config.empty() || config[0] != '/') config = EnvPath("HOME") + "/.config";
  return config + "/VORTAN/registry-user.txt";
}

void RemoveLeftoverHiveFiles() {
  Store& store = TheStore();
  std::lock_guard<std::mutex> guard(store.mutex);
  std::string target;
  if (!ResolveLinks(UserHivePath(), target)) return;
  const std::string folder = Folder(target);
  const std::string prefix = target.substr(target.rfind('/') + 1) + ".tmp-";
  std::vector<std::string> names;
  if (!ListFiles(folder, prefix, names)) return;
  for (const std::string& name : names) {
    const std::string digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = static_cast<pid_t>(std::stol(digits));
    // This process writes only under the store's lock, held here.
    if (pid != ::getpid() && (pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH)) continue;
    ::unlink((folder + "/" + name).c_str());
  }
}

std::string MachineHivePath() {
  const std::string path = EnvPath("STRIDE_REGISTRY_MACHINE");
  return path.empty() ? std::string("/etc/xdg/VORTAN/registry-machine.txt") : path;
}

long RegOpenKeyEx(HKEY parent, const std::string& subKey, unsigned long access, HKEY& result) {
  Store& store = TheStore();
  std::lock_guard<std::mutex> guard(store.mutex);
  std::vector<std::string> names;
  if (!SplitPath(subKey, names)) return static_cast<long>(kErrorInvalidParameter);
  OpenKey open;
  Hive* hive = nullptr;
  Key* key = nullptr;
  if (const long rc = Locate(store, parent, open, hive, key)) return rc;
  if (open.machine && (access & kWriteRights)) return static_cast<long>(kErrorAccessDenied);
  for (const std::string& name : names) {
    key = key->Sub(name);
    if (!key) return static_cast<long>(kErrorFileNotFound);
    open.path.push_back(key->name);
  }
  open.access = access;
  result = NewHandle(store, std::move(open));
  return 0;
}

long RegCreateKeyEx(HKEY parent, const std::string& subKey, unsigned long access, HKEY& result) {
  std::vector<std::string> names;
  if (!SplitPath(subKey, names)) return static_cast<long>(kErrorInvalidParameter);
  {
    Store& store = TheStore();
    std::lock_guard<std::mutex> guard(store.mutex);
    OpenKey open;
    if (!Resolve(store, parent, open)) return static_cast<long>(kErrorInvalidHandle);
    if (open.machine) return static_cast<long>(kErrorAccessDenied);
  }
  std::vector<std::string> created;
  const long rc = ChangeKey(parent, kKeyCreateSubKey, [&](Key& key, bool& modified) -> long {
    Key* k = &key;
    for (const std::string& name : names) {
      if (!k->Sub(name)) modified = true;
      k = k->AddSub(name);
      created.push_back(k->name);
    }
    return 0;
  });
  if (rc != 0) return rc;
  Store& store = TheStore();
  std::lock_guard<std::mutex> guard(store.mutex);
  OpenKey open;
  if (!Resolve(store, parent, open)) return static_cast<long>(kErrorInvalidHandle);
  open.path.insert(open.path.end(), created.begin(), created.end());
  open.access = access;
  result = NewHandle(store, std::move(open));
  return 0;
}

long RegCloseKey(HKEY key) {
  if (key == kHkeyCurrentUser || key == kHkeyLocalMachine) return 0;
  Store& store = TheStore();
  std::lock_guard<std::mutex> guard(store.mutex);
  return store.keys.erase(key) ? 0 : static_cast<long>(kErrorInvalidHandle);
}

long RegQueryInfoKey(HKEY handle, unsigned long* subKeys, unsigned long* maxSubKeyLen, unsigned long* values,
                     unsigned long* maxValueNameLen) {
  return ReadKey(handle, [&](Key& key) -> long {
    size_t longestKey = 0;
    for (const auto& [folded, sub] : key.subKeys) longestKey = std::max(longestKey, sub->name.size());
    size_t longestValue = 0;
    for (const Value& v : key.values) longestValue = std::max(longestValue, v.name.size());
    if (subKeys) *subKeys = static_cast<unsigned long>(key.subKeys.size());
    if (maxSubKeyLen) *maxSubKeyLen = static_cast<unsigned long>(longestKey);
    if (values) *values = static_cast<unsigned long>(key.values.size());
    if (maxValueNameLen) *maxValueNameLen = static_cast<unsigned long>(longestValue);
    return 0;
  });
}

long RegEnumKeyEx(HKEY handle, unsigned long index, char* name, unsigned long& nameLen) {
  return ReadKey(handle, [&](Key& key) -> long {
    if (index >= key.subKeys.size()) return static_cast<long>(kErrorNoMoreItems);
    auto it = key.subKeys.begin();
    std::advance(it, index);
    return EnumName(it->second->name, name, nameLen);
  });
}

long RegEnumValue(HKEY handle, unsigned long index, char* name, unsigned long& nameLen) {
  return ReadKey(handle, [&](Key& key) -> long {
    if (index >= key.values.size()) return static_cast<long>(kErrorNoMoreItems);
    return EnumName(key.values[index].name, name, nameLen);
  });
}

long RegQueryValueEx(HKEY handle, const std::string& valueName, unsigned long* type, unsigned char* data,
                     unsigned long* size) {
  return ReadKey(handle, [&](Key& key) -> long {
    if (data && !size) return static_cast<long>(kErrorInvalidParameter);
    const Value* value = key.FindValue(valueName);
    if (!value) return static_cast<long>(kErrorFileNotFound);
    if (type) *type = value->type;
    const unsigned long length = static_cast<unsigned long>(value->bytes.size());
    if (!data) {
      if (size) *size = length;
      return 0;
    }
    const unsigned long room = *size;
    *size = length;
    if (room < length) return static_cast<long>(kErrorMoreData);
    if (length) std::memcpy(data, value->bytes.data(), length);
    return 0;
  });
}

long RegSetValueEx(HKEY handle, const std::string& valueName, unsigned long type, const unsigned char* data,
                   unsigned long size) {
  if (size && !data) return static_cast<long>(kErrorInvalidParameter);
  if (valueName.size() > kMaxValueNameLength) return static_cast<long>(kErrorInvalidParameter);
  const std::string bytes = size ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
  return ChangeKey(handle, kKeySetValue, [&](Key& key, bool& modified) -> long {
    modified = true;
    if (Value* old = key.FindValue(valueName)) {
      old->type = type;
      old->bytes = bytes;
    } else {
      key.values.push_back(Value{valueName, type, bytes});
    }
    return 0;
  });
}

long RegDeleteValue(HKEY handle, const std::string& valueName) {
  return ChangeKey(handle, kKeySetValue, [&](Key& key, bool& modified) -> long {
    const std::string folded = Fold(valueName);
    for (auto it = key.values.begin(); it != key.values.end(); ++it) {
      if (Fold(it->name) == folded) {
        key.values.erase(it);
        modified = true;
        return 0;
      }
    }
    return static_cast<long>(kErrorFileNotFound);
  });
}

}  // namespace plat
