#pragma once
// Builds the tide section of a map's label sub-file (LBL) for the tests:
// harmonic reference records with their constituent lists, subordinate
// corrections, simplified station records with day, monthly and mean-level
// tables; the LBL sub-file around it, and an image holding that sub-file
// opened as a map engine context.
#include <cstdint>
#include <string>
#include <vector>

#include "mpl/MPL_Engine.h"

namespace imgkit {

struct TideConstituentFields_t {
  std::uint8_t number;
  std::uint16_t amplitude;  // thousandths of a foot: up to 1023 narrow, 32767 wide
  std::uint16_t phase;      // 4096ths of a turn
  bool wide = false;        // the amplitude's low part as 16 bits
  std::uint8_t extra = 0;   // with wide: bytes that follow and are skipped (0..7)
};

struct TideSimplifiedFields_t {
  std::uint16_t flags = 0;
  std::uint16_t z0 = 0;
  std::uint16_t phases[6] = {};  // M2, S2, K1, O1, F4, F6 in 4096ths
  std::uint16_t amplitudes[4] = {};
  std::uint16_t f4 = 0, f6 = 0;
  std::uint8_t minutes = 0;
  std::uint32_t meanLevelOffset = 0;  // written when flag bit 10 is set
  unsigned offsetWidth = 2;  // its width: that of the final section's length
  std::uint8_t dayFlags = 0;
  std::vector<std::int16_t> day;  // 8 entries when flag bit 13 is set
  std::uint8_t monthlyFlags = 0;
  std::vector<std::int16_t> monthly[4];  // 11 entries for each table present
};

// The encoded subordinate corrections (the F word and what follows it).
struct TideCorrectionsFields_t {
  std::int16_t lowTime = 0, highTime = 0;  // minutes
  bool wideTimes = false;
  unsigned layout = 0;  // height layout 0..3
  std::uint16_t first = 100, second = 0;  // height values (9 bits)
  std::int16_t furtherTime = 0;  // minutes
};

class TideSectionBuilder_t {
 public:
  // Each returns the record's section offset.
  std::uint32_t AddHarmonic(int utcMinutes, std::uint16_t z0, const std::vector<TideConstituentFields_t>& list);
  std::uint32_t AddSimplified(const TideSimplifiedFields_t& fields);
  std::uint32_t AddMeanLevelTable(std::uint8_t header, const std::vector<std::int8_t>& values);
  std::uint32_t AddBytes(const std::string& bytes);
  const std::string& Bytes() const { return m_bytes; }
  std::string& Bytes() { return m_bytes; }

 private:
  std::string m_bytes;
};

// A station pointer in the offset width of a section of that length,
// followed for subtype-1 points by the encoded corrections.
std::string EncodeStationPointer(std::uint32_t sectionLength, std::uint32_t dataOffset);
std::string EncodeCorrections(const TideCorrectionsFields_t& fields);

// An LBL sub-file: a header of 236 bytes whose length field says
// 'headerLength', with the tide section descriptor at 0xC4; then 'pointers'
// (the station pointers, from 'pointerOffset' = 236), then the section.
// 'sectionLength' overrides the stored length when not 0.
std::string BuildTideLbl(const std::string& section, const std::string& pointers, std::uint32_t& pointerOffset,
                         std::uint16_t headerLength = 236, std::uint32_t sectionLength = 0);

// An LBL sub-file holding one harmonic station of the given constituents
// (UTC offset -300 minutes, datum 3000) and its pointer at 'pointerOffset'.
std::string HarmonicStationLbl(const std::vector<TideConstituentFields_t>& list, std::uint32_t& pointerOffset);

// An image whose root holds "TIDEMAP.LBL", opened as far as the label
// sub-file: the map's engine context with its LBL header read.
struct TideMap_t {
  explicit TideMap_t(const std::string& lbl);
  mpl::MdbMap_t map;
  int openResult = 1;
};

}  // namespace imgkit
