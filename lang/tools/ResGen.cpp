// Build-time generator of the language module's sources.
//
//   stride_resgen module -o OUT.cpp --version A.B.C.D [--omit ID]... FILE...
//       The resource table of a language module: every string of the string files
//       (*.txt: one "<id><TAB><text>" per line, C escapes \n \t \r \\ \", lines
//       starting with '#' and empty lines ignored), every dialog of the dialog
//       template files (*.dlg, see plat/PLAT_DialogTemplate.h), every menu and
//       toolbar of the menu files (*.mnu, see plat/PLAT_MenuTemplate.h), every
//       picture (<id>.png, a bitmap resource holding the PNG file), plus the
//       module's version block.
//   stride_resgen version -o OUT.cpp --version A.B.C.D [--string NAME=VALUE]...
//       A version block alone, for an executable.
//
// Errors (duplicate ids, malformed lines, texts that are not UTF-8) name the file
// and line and fail the build.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "plat/PLAT_DialogTemplate.h"
#include "plat/PLAT_MenuTemplate.h"
#include "plat/PLAT_Module.h"
#include "plat/PLAT_VersionInfo.h"

namespace {

struct Source {
  std::string file;
  int line;
};

struct Options {
  std::string mode;
  std::string out;
  unsigned version[4] = {0, 0, 0, 0};
  bool haveVersion = false;
  std::set<unsigned long> omit;
  std::vector<std::pair<std::string, std::string>> strings;  // version string values
  std::vector<std::string> inputs;
};

[[noreturn]] void Fail(const std::string& message) {
  std::cerr << "stride_resgen: " << message << "\n";
  std::exit(1);
}

[[noreturn]] void FailAt(const Source& at, const std::string& message) {
  Fail(at.file + ":" + std::to_string(at.line) + ": " + message);
}

bool ParseVersion(const std::string& text, unsigned (&v)[4]) {
  unsigned a, b, c, d;
  char tail;
  if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4) return false;
  if (a > 0xFFFF || b > 0xFFFF || c > 0xFFFF || d > 0xFFFF) return false;
  v[0] = a, v[1] = b, v[2] = c, v[3] = d;
  return true;
}

bool ValidUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n;
    unsigned long cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      n = 1, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      n = 2, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      n = 3, cp = c & 0x07;
    } else {
      return false;
    }
    for (size_t k = 1; k <= n; ++k) {
      if (i + k >= s.size()) return false;
      const unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    static const unsigned long kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

std::string Unescape(const std::string& text, const Source& at) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) FailAt(at, "a backslash ends the line");
    switch (text[i]) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      default: FailAt(at, std::string("unknown escape \\") + text[i]);
    }
  }
  return out;
}

bool HasExtension(const std::string& path, const char* extension) {
  return path.size() > 4 && path.compare(path.size() - 4, 4, extension) == 0;
}
bool IsDialogFile(const std::string& path) { return HasExtension(path, ".dlg"); }
bool IsMenuFile(const std::string& path) { return HasExtension(path, ".mnu"); }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot open " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Parses every file of one template kind with its parser; errors fail the build.
template <typename T, typename Parser>
std::vector<T> ReadTemplates(const Options& opt, bool (*isKind)(const std::string&), Parser parse) {
  std::vector<T> items;
  for (const std::string& path : opt.inputs) {
    if (!isKind(path)) continue;
    int line = 0;
    std::string error;
    if (!parse(ReadFile(path), items, line, error)) FailAt(Source{path, line}, error);
  }
  return items;
}

// Every menu and toolbar as (kind, id) -> block text.
void ReadMenus(const Options& opt, std::map<std::pair<unsigned long, unsigned long>, std::string>& table) {
  for (const plat::MenuTemplate& m : ReadTemplates<plat::MenuTemplate>(opt, IsMenuFile, plat::ParseMenuTemplates))
    table[{m.toolbar ? plat::kResourceToolbar : plat::kResourceMenu, m.id}] = m.source;
}

bool IsPictureFile(const std::string& path) { return HasExtension(path, ".png"); }

// Reads every picture file into id -> bytes; the id is the file's base name.
void ReadPictures(const Options& opt, std::map<unsigned long, std::string>& table) {
  for (const std::string& path : opt.inputs) {
    if (!IsPictureFile(path)) continue;
    const size_t slash = path.find_last_of('/');
    const std::string base = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::string digits = base.substr(0, base.size() - 4);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
      Fail("a picture's file name must be its id: " + path);
    if (!table.emplace(std::stoul(digits), ReadFile(path)).second) Fail("picture id given twice: " + path);
  }
}

// Every dialog as id -> block text.
void ReadDialogs(const Options& opt, std::map<unsigned long, std::string>& table) {
  for (const plat::DialogTemplate& d : ReadTemplates<plat::DialogTemplate>(opt, IsDialogFile, plat::ParseDialogTemplates))
    table[d.id] = d.source;
}

// Reads every string file into id -> (text, source); duplicates are errors.
void ReadStrings(const Options& opt, std::map<unsigned long, std::pair<std::string, Source>>& table) {
  for (const std::string& path : opt.inputs) {
    if (IsDialogFile(path) || IsMenuFile(path) || IsPictureFile(path)) continue;
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot open " + path);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
      ++number;
      const Source at{path, number};
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line[0] == '#') continue;
      const size_t tab = line.find('\t');
      if (tab == std::string::npos) FailAt(at, "expected <id><TAB><text>");
      const std::string idText = line.substr(0, tab);
      if (idText.empty() || idText.find_first_not_of("0123456789") != std::string::npos ||
          idText.size() > 5)
        FailAt(at, "the id '" + idText + "' is not a number from 0 to 65535");
      const unsigned long id = std::stoul(idText);
      if (id > 0xFFFF) FailAt(at, "the id " + idText + " is above 65535");
      std::string text = Unescape(line.substr(tab + 1), at);
      if (!ValidUtf8(text)) FailAt(at, "the text is not UTF-8");
      auto found = table.find(id);
      if (found != table.end())
        FailAt(at, "string " + idText + " is already defined at " + found->second.second.file + ":" +
                       std::to_string(found->second.second.line));
      table.emplace(id, std::make_pair(std::move(text), at));
    }
  }
  for (unsigned long id : opt.omit) table.erase(id);
}

std::string CLiteral(const std::string& bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F && c != '?') {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
    }
  }
  return out + "\"";
}

std::vector<unsigned char> U32(unsigned long v) {
  return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
}

// The version block: file and product version, one translation 0x0409 / 1252, and
// the string values under 040904e4.
std::vector<unsigned char> VersionBlock(const Options& opt) {
  std::vector<std::pair<std::string, std::vector<unsigned char>>> entries;
  std::vector<unsigned char> fixed;
  for (unsigned long v : {(opt.version[0] << 16) | opt.version[1], (opt.version[2] << 16) | opt.version[3]})
    for (unsigned char b : U32(v)) fixed.push_back(b);
  std::vector<unsigned char> product = fixed;
  fixed.insert(fixed.end(), product.begin(), product.end());
  entries.emplace_back("\\", fixed);
  entries.emplace_back("\\VarFileInfo\\Translation", std::vector<unsigned char>{0x09, 0x04, 0xE4, 0x04});
  for (const auto& [name, value] : opt.strings) {
    std::vector<unsigned char> bytes(value.begin(), value.end());
    bytes.push_back(0);
    entries.emplace_back("\\StringFileInfo\\040904e4\\" + name, bytes);
  }
  return plat::MakeVersionBlock(entries);
}

void WriteVersionBlock(std::ostream& out, const std::vector<unsigned char>& block) {
  out << "// The version block, read from the file by path (section "
      << plat::kVersionSection << ").\n"
      << "extern \"C\" __attribute__((section(\"" << plat::kVersionSection
      << "\"), used, retain, aligned(8), visibility(\"hidden\")))\n"
      << "const unsigned char stride_version_block[" << block.size() << "] = {";
  for (size_t i = 0; i < block.size(); ++i) {
    if (i % 16 == 0) out << "\n   ";
    out << " " << static_cast<unsigned>(block[i]) << ",";
  }
  out << "\n};\n";
}

void WriteIfChanged(const std::string& path, const std::string& content) {
  {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::ostringstream old;
      old << in.rdbuf();
      if (old.str() == content) return;
    }
  }
  std::ofstream out(path + ".tmp", std::ios::binary | std::ios::trunc);
  out << content;
  out.close();
  if (!out || std::rename((path + ".tmp").c_str(), path.c_str()) != 0) Fail("cannot write " + path);
}

Options ParseArgs(int argc, char** argv) {
  Options opt;
  if (argc < 2) Fail("usage: stride_resgen module|version -o OUT --version A.B.C.D ...");
  opt.mode = argv[1];
  if (opt.mode != "module" && opt.mode != "version") Fail("unknown mode " + opt.mode);
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) Fail(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "-o") {
      opt.out = next();
    } else if (arg == "--version") {
      if (!ParseVersion(next(), opt.version)) Fail("bad version " + std::string(argv[i]));
      opt.haveVersion = true;
    } else if (arg == "--omit") {
      opt.omit.insert(std::stoul(next()));
    } else if (arg == "--string") {
      const std::string pair = next();
      const size_t eq = pair.find('=');
      if (eq == std::string::npos || eq == 0) Fail("--string needs NAME=VALUE");
      opt.strings.emplace_back(pair.substr(0, eq), pair.substr(eq + 1));
    } else if (!arg.empty() && arg[0] == '-') {
      Fail("unknown option " + arg);
    } else {
      opt.inputs.push_back(arg);
    }
  }
  if (opt.out.empty() || !opt.haveVersion) Fail("-o and --version are required");
  return opt;
}

}  // namespace

int main(int argc, char** argv) {
  const Options opt = ParseArgs(argc, argv);
  std::ostringstream out;
  out << "// Generated by stride_resgen; do not edit.\n"
      << "#include \"plat/PLAT_Module.h\"\n\n";
  WriteVersionBlock(out, VersionBlock(opt));
  if (opt.mode == "module") {
    std::map<unsigned long, std::pair<std::string, Source>> table;
    ReadStrings(opt, table);
    std::map<unsigned long, std::string> dialogs;
    ReadDialogs(opt, dialogs);
    std::map<unsigned long, std::string> pictures;
    ReadPictures(opt, pictures);
    std::map<std::pair<unsigned long, unsigned long>, std::string> menus;
    ReadMenus(opt, menus);
    // Sorted by kind, then id: pictures (2), menus (4), dialogs (5), strings (6),
    // toolbars (241).
    auto writeBlock = [&](unsigned long kind, unsigned long id, const std::string& block) {
      out << "    {" << kind << ", " << id << ", " << block.size()
          << ", reinterpret_cast<const unsigned char*>(" << CLiteral(block) << ")},\n";
    };
    out << "\n// Every resource of the module, sorted by kind, then id.\n"
        << "extern const StrideResourceEntry kStrideResources[];\n"
        << "extern const unsigned kStrideResourceCount;\n"
        << "const StrideResourceEntry kStrideResources[] = {\n";
    for (const auto& [id, bytes] : pictures) writeBlock(plat::kResourceBitmap, id, bytes);
    for (const auto& [key, block] : menus)
      if (key.first == plat::kResourceMenu) writeBlock(key.first, key.second, block);
    for (const auto& [id, block] : dialogs) writeBlock(plat::kResourceDialog, id, block);
    for (const auto& [id, entry] : table) {
      out << "    {" << plat::kResourceString << ", " << id << ", " << entry.first.size()
          << ", reinterpret_cast<const unsigned char*>(" << CLiteral(entry.first) << ")},\n";
    }
    for (const auto& [key, block] : menus)
      if (key.first == plat::kResourceToolbar) writeBlock(key.first, key.second, block);
    const size_t count = table.size() + dialogs.size() + menus.size() + pictures.size();
    if (count == 0) out << "    {0, 0, 0, nullptr},\n";
    out << "};\n"
        << "const unsigned kStrideResourceCount = " << count << ";\n";
  }
  WriteIfChanged(opt.out, out.str());
  return 0;
}
