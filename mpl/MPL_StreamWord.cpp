#include "mpl/MPL_StreamWord.h"

#include <algorithm>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

std::uint32_t MdbNextStreamWord(MdbUnpackState_t& s) {
  s.validBits = 0;
  if (s.budget == 0) return 0;
  if (s.wordsLeft == 0) {
    dsk::File_t& rgn = s.map->rgn.file;
    if (MdbSeek(rgn, s.nextPos, 0) < 0) return 0;
    const std::uint8_t* at = nullptr;
    const std::uint32_t got = MdbReadBlock(rgn, at);
    // Nothing read (end of the sub-file or a failed read): no word, and the
    // next call tries the block again.
    if (got == 0) return 0;
    s.word = at;
    s.partBytes = got;
    s.nextPos += got;
    s.wordsLeft = (got + 3) / 4;
  }
  const std::uint32_t have = std::min<std::uint32_t>(4, s.partBytes);
  std::uint32_t value = 0;
  for (std::uint32_t i = 0; i < have; ++i) value |= static_cast<std::uint32_t>(s.word[i]) << (8 * i);
  const std::uint32_t k = std::min(have, s.budget);
  s.validBits = static_cast<std::uint8_t>(8 * k);
  s.budget -= k;
  --s.wordsLeft;
  s.word += 4;
  s.partBytes -= have;
  return value;
}

}  // namespace mpl
