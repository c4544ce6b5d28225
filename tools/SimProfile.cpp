#include "tools/SimProfile.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tools/SimLaps.h"

namespace sim {

namespace {

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool ParseNumber(const std::string& text, long long lo, long long hi, long long& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || v < lo || v > hi) return false;
  out = v;
  return true;
}

// Windows-1252 bytes 0x80-0x9F and the characters they stand for.
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

bool ParseProtocols(const std::string& text, std::vector<ProtocolEntry>& out) {
  out.clear();
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    if (word.size() < 2 || !std::isupper(static_cast<unsigned char>(word[0]))) return false;
    long long n;
    if (!ParseNumber(word.substr(1), 0, 65535, n)) return false;
    out.push_back(ProtocolEntry{word[0], static_cast<std::uint16_t>(n)});
  }
  return true;
}

std::string FormatProtocols(const std::vector<ProtocolEntry>& protocols) {
  std::string s;
  char buf[16];
  for (const ProtocolEntry& p : protocols) {
    std::snprintf(buf, sizeof buf, "%c%03u", p.tag, static_cast<unsigned>(p.number));
    if (!s.empty()) s += ' ';
    s += buf;
  }
  return s;
}

bool BuiltinProfile(const std::string& name, Profile& out) {
  Profile p;
  std::vector<ProtocolEntry> list;
  if (name == "runner") {
    p.name = "Runner";
    p.productId = 484;
    p.softwareVersion = 330;
    p.descriptions = {"Simulated Runner Software Version 3.30"};
    ParseProtocols("P000 L001 A010 A100 D110 A201 D202 D110 D210 A302 D311 D302 A400 D110 A906 D906 T001", list);
    p.protocols = list;
  } else if (name == "tablefind") {
    p.name = "Table unit";
    p.productId = 77;
    p.softwareVersion = 355;
    p.descriptions = {"Simulated Table Unit Software Version 3.55"};
  } else if (name == "unknown") {
    p.name = "Unknown unit";
    p.productId = 9999;
    p.softwareVersion = 100;
    p.descriptions = {"Simulated Unknown Unit"};
  } else if (name == "noa010") {
    p.name = "Unit without A010";
    p.productId = 484;
    p.softwareVersion = 330;
    p.descriptions = {"Simulated Runner Without Commands"};
    ParseProtocols("P000 L001 A100 D110 A302 D311 D302 A906 D906", list);
    p.protocols = list;
  } else if (name == "history") {
    BuiltinProfile("runner", p);
    p = LapProfile(SampleLapHistory(), LapFaults(), p);
    p.name = "Runner with a training history";
  } else {
    return false;
  }
  out = p;
  return true;
}

std::vector<std::string> BuiltinProfileNames() { return {"runner", "tablefind", "unknown", "noa010", "history"}; }

bool LoadProfile(const std::string& path, Profile& out, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  Profile p;
  bool descriptionsGiven = false;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    const auto eq = line.find('=');
    const std::string where = path + ":" + std::to_string(lineNo) + ": ";
    if (eq == std::string::npos) {
      error = where + "expected key = value";
      return false;
    }
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    long long n;
    if (key == "name") {
      p.name = value;
    } else if (key == "product") {
      if (!ParseNumber(value, 0, 65535, n)) return error = where + "bad product id", false;
      p.productId = static_cast<std::uint16_t>(n);
    } else if (key == "software") {
      if (!ParseNumber(value, -32768, 32767, n)) return error = where + "bad software version", false;
      p.softwareVersion = static_cast<std::int16_t>(n);
    } else if (key == "description") {
      if (!descriptionsGiven) p.descriptions.clear();
      descriptionsGiven = true;
      p.descriptions.push_back(value);
    } else if (key == "protocols") {
      if (value == "none") {
        p.protocols.reset();
      } else {
        std::vector<ProtocolEntry> list;
        if (!ParseProtocols(value, list)) return error = where + "bad protocol list", false;
        p.protocols = list;
      }
    } else if (key == "unit_id") {
      if (!ParseNumber(value, 0, 0xFFFFFFFFll, n)) return error = where + "bad unit id", false;
      p.unitId = static_cast<std::uint32_t>(n);
    } else if (key == "region") {
      std::istringstream words(value);
      long long a, b, c, d;
      if (!(words >> a >> b >> c >> d) || a < 0 || a > 65535 || b < 0 || b > 65535 || c < 0 ||
          c > 0xFFFFFFFFll || d < 0 || d > 255)
        return error = where + "bad region information", false;
      Bytes r;
      PutU16(r, static_cast<std::uint16_t>(a));
      PutU16(r, static_cast<std::uint16_t>(b));
      PutU32(r, static_cast<std::uint32_t>(c));
      PutU8(r, static_cast<std::uint8_t>(d));
      p.regionInfo = r;
    } else {
      error = where + "unknown key '" + key + "'";
      return false;
    }
  }
  out = p;
  return true;
}

std::string Utf8ToCp1252(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    char32_t cp;
    std::size_t len;
    if (c < 0x80) {
      cp = c;
      len = 1;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      len = 3;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      len = 4;
    } else {
      out += '?';
      ++i;
      continue;
    }
    if (i + len > text.size()) {
      out += '?';
      break;
    }
    bool ok = true;
    for (std::size_t k = 1; k < len; ++k) {
      const unsigned char cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    i += ok ? len : 1;
    if (!ok) {
      out += '?';
      continue;
    }
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out += static_cast<char>(cp);
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k)
      if (kHigh[k] != 0 && kHigh[k] == cp) mapped = static_cast<char>(0x80 + k);
    out += mapped;
  }
  return out;
}

}  // namespace sim
