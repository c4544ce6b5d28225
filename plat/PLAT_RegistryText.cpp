#include "plat/PLAT_RegistryText.h"

namespace plat::reg {

namespace {

constexpr const char* kHeader = "STRIDE-REGISTRY 1";
constexpr const char* kEndMark = "END";

std::string Escape(const std::string& name) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7f || c == '%' || c == '\\' || c == '[' || c == ']' || c == '=' || c == '#') {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 0xf];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unescape(const std::string& text, std::string& name) {
  name.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size()) return false;
      const int hi = HexDigit(text[i + 1]);
      const int lo = HexDigit(text[i + 2]);
      if (hi < 0 || lo < 0) return false;
      name += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else if (c == '\\' || c == '[' || c == ']' || c == '=' || static_cast<unsigned char>(c) < 0x20) {
      return false;
    } else {
      name += c;
    }
  }
  return name.size() <= kMaxValueNameLength;  // key names are checked where they are made
}

bool ParseHex(const std::string& text, std::string& bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    const int hi = HexDigit(text[i]);
    const int lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes += static_cast<char>(hi * 16 + lo);
  }
  return true;
}

bool ParseType(const std::string& text, unsigned long& type) {
  if (text.empty() || text.size() > 10) return false;
  type = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    type = type * 10 + static_cast<unsigned long>(c - '0');
  }
  return true;
}

void WriteKey(const Key& key, const std::string& path, std::string& out) {
  static const char* hex = "0123456789ABCDEF";
  out += '[' + path + "]\n";
  for (const Value& v : key.values) {
    out += Escape(v.name) + '=' + std::to_string(v.type) + ':';
    for (unsigned char c : v.bytes) {
      out += hex[c >> 4];
      out += hex[c & 0xf];
    }
    out += '\n';
  }
  for (const auto& [folded, sub] : key.subKeys)
    WriteKey(*sub, path.empty() ? Escape(sub->name) : path + '\\' + Escape(sub->name), out);
}

}  // namespace

std::string Fold(const std::string& name) {
  std::string folded(name);
  for (char& c : folded)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return folded;
}

Key* Key::Sub(const std::string& name) const {
  const auto it = subKeys.find(Fold(name));
  return it == subKeys.end() ? nullptr : it->second.get();
}

Key* Key::AddSub(const std::string& name) {
  if (Key* sub = Sub(name)) return sub;
  auto key = std::make_unique<Key>();
  key->name = name;
  Key* raw = key.get();
  subKeys.emplace(Fold(name), std::move(key));
  return raw;
}

Value* Key::FindValue(const std::string& name) {
  const std::string folded = Fold(name);
  for (Value& v : values)
    if (Fold(v.name) == folded) return &v;
  return nullptr;
}

bool ParseHive(const std::string& text, Key& root, size_t& badLine) {
  Key* current = &root;
  size_t pos = 0;
  size_t lineNo = 0;
  bool ended = false;
  badLine = 0;
  const auto bad = [&badLine](size_t n) {
    if (badLine == 0) badLine = n;
  };
  while (pos < text.size()) {
    const size_t eol = text.find('\n', pos);
    ++lineNo;
    if (eol == std::string::npos) {  // a last line without its end: cut short
      bad(lineNo);
      break;
    }
    std::string line = text.substr(pos, eol - pos);
    pos = eol + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (ended) {
      if (!line.empty()) bad(lineNo);
      continue;
    }
    if (lineNo == 1) {
      if (line != kHeader) bad(lineNo);
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    if (line == kEndMark) {
      ended = true;
      continue;
    }
    if (line[0] == '[') {
      std::vector<std::string> names;
      bool valid = line.back() == ']';
      const std::string path = valid ? line.substr(1, line.size() - 2) : std::string();
      size_t start = 0;
      while (valid && !path.empty()) {
        const size_t sep = path.find('\\', start);
        std::string name;
        if (!Unescape(path.substr(start, sep == std::string::npos ? std::string::npos : sep - start), name) ||
            name.empty() || name.size() > kMaxKeyNameLength) {
          valid = false;
          break;
        }
        names.push_back(name);
        if (sep == std::string::npos) break;
        start = sep + 1;
      }
      if (!valid) {
        bad(lineNo);
        current = nullptr;
        continue;
      }
      current = &root;
      for (const std::string& name : names) current = current->AddSub(name);
      continue;
    }
    const size_t eq = line.find('=');
    const size_t colon = eq == std::string::npos ? eq : line.find(':', eq);
    Value value;
    if (!current || eq == std::string::npos || colon == std::string::npos ||
        !Unescape(line.substr(0, eq), value.name) || !ParseType(line.substr(eq + 1, colon - eq - 1), value.type) ||
        !ParseHex(line.substr(colon + 1), value.bytes)) {
      bad(lineNo);
      continue;
    }
    if (Value* old = current->FindValue(value.name))
      *old = std::move(value);
    else
      current->values.push_back(std::move(value));
  }
  if (!ended) bad(lineNo + 1);
  return badLine == 0;
}

std::string HiveText(const Key& root) {
  std::string out = std::string(kHeader) + "\n";
  WriteKey(root, std::string(), out);
  out += std::string(kEndMark) + "\n";
  return out;
}

}  // namespace plat::reg
