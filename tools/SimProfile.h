#pragma once
// What a simulated watch is and what it answers: its product data, its protocol
// array (or none, for units the program must look up in its product table), its
// unit id, and the frames of its track log and laps as they go on the wire.
// Profiles come built in (for the tests) or from a small text file:
//
//   # comment
//   name = Runner 305
//   product = 484            product id
//   software = 330           software version (may be negative)
//   description = Runner 305 Software Version 3.30   (repeatable, in order)
//   protocols = L001 A010 A302 D311 D302 A906 D906 T001   or  protocols = none
//   unit_id = 3456789012
//   region = 1 2 3 0         map region information: u16 u16 u32 u8
//
// Texts are given in UTF-8 and sent in Windows-1252, as the watch does.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/SimWire.h"

namespace sim {

struct ProtocolEntry {
  char tag = 'A';
  std::uint16_t number = 0;
};

struct Profile {
  std::string name = "Simulated watch";
  std::uint16_t productId = 484;
  std::int16_t softwareVersion = 330;
  std::vector<std::string> descriptions = {"Simulated Runner Software Version 3.30"};
  // Absent: the watch sends no protocol array.
  std::optional<std::vector<ProtocolEntry>> protocols;
  std::uint32_t unitId = 3456789012u;
  // Answer to the map region request (command 63): absent, the watch ignores it.
  std::optional<Bytes> regionInfo;
  // Frames the watch sends after the Records frame for the track command (6)
  // and the lap command (117), each followed by a transfer-complete frame.
  std::vector<Frame> trackLog;
  std::vector<Frame> laps;
  // Added to the lap count the Records frame announces (a unit that miscounts).
  int lapCountDelta = 0;
};

// Parses "L001 A010 ..." (false on a malformed entry).
bool ParseProtocols(const std::string& text, std::vector<ProtocolEntry>& out);
// The text form of a protocol list.
std::string FormatProtocols(const std::vector<ProtocolEntry>& protocols);

// A built-in profile by name; false when there is none of that name.
//   "runner"    protocol array with A010, A302/D311/D302 tracks, A906/D906 laps, T001
//   "tablefind" no protocol array, product 77 at software 355 (found in the table)
//   "unknown"   no protocol array, a product the table does not know
//   "noa010"    a protocol array that lacks A010
//   "history"   a runner with a small training history (tracks and laps)
bool BuiltinProfile(const std::string& name, Profile& out);
std::vector<std::string> BuiltinProfileNames();

// Reads a profile file (format above), starting from the defaults. False with a
// message naming the line when the file cannot be read or a line is wrong.
bool LoadProfile(const std::string& path, Profile& out, std::string& error);

// UTF-8 to Windows-1252 (characters it lacks become '?').
std::string Utf8ToCp1252(const std::string& text);

}  // namespace sim
