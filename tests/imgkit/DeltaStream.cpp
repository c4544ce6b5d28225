#include "tests/imgkit/DeltaStream.h"

#include <stdexcept>

namespace imgkit {

unsigned DeltaWidth(unsigned code) { return code < 10 ? code + 2 : 2 * code - 7; }

void BitWriter_t::Put(std::uint32_t value, unsigned bits) {
  for (unsigned i = 0; i < bits; ++i, ++m_bits) {
    if (m_bits % 8 == 0) m_bytes.push_back('\0');
    if ((value >> i) & 1u) m_bytes.back() = static_cast<char>(m_bytes.back() | (1 << (m_bits % 8)));
  }
}

std::vector<std::uint32_t> EscapedFields(std::int32_t delta, unsigned bits) {
  const std::int64_t step = (std::int64_t{1} << (bits - 1)) - 1;
  const std::uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
  std::vector<std::uint32_t> fields;
  std::int64_t rest = delta;
  while (rest > step || rest < -step) {
    if (fields.size() > 4096) throw std::invalid_argument("delta too wide for its field");
    fields.push_back(1u << (bits - 1));
    rest += rest > 0 ? -step : step;
  }
  fields.push_back(static_cast<std::uint32_t>(rest) & mask);
  return fields;
}

DeltaAxis_t ChooseAxis(const std::vector<std::int32_t>& deltas) {
  bool anyPositive = false, anyNegative = false;
  std::int64_t widest = 0;
  for (std::int32_t d : deltas) {
    anyPositive |= d > 0;
    anyNegative |= d < 0;
    const std::int64_t magnitude = d < 0 ? -std::int64_t{d} : d;
    if (magnitude > widest) widest = magnitude;
  }
  DeltaAxis_t axis;
  axis.sign = anyPositive && anyNegative ? DeltaAxis_t::kSigned
              : anyNegative             ? DeltaAxis_t::kNegative
                                        : DeltaAxis_t::kPositive;
  // The narrowest width whose magnitudes hold every delta (signed: without
  // the escape value); the widest code when none does, escapes doing the rest.
  axis.code = 15;
  for (unsigned code = 0; code < 16; ++code) {
    if (widest <= (std::int64_t{1} << DeltaWidth(code)) - 1) {
      axis.code = code;
      break;
    }
  }
  if (axis.sign != DeltaAxis_t::kSigned && widest > (std::int64_t{1} << DeltaWidth(axis.code)) - 1)
    axis.sign = DeltaAxis_t::kSigned;
  return axis;
}

namespace {

unsigned FieldBits(const DeltaAxis_t& axis) {
  return DeltaWidth(axis.code) + (axis.sign == DeltaAxis_t::kSigned ? 1 : 0);
}

void PutSignMode(BitWriter_t& w, const DeltaAxis_t& axis) {
  if (axis.sign == DeltaAxis_t::kSigned) {
    w.Put(0, 1);
  } else {
    w.Put(1, 1);
    w.Put(axis.sign == DeltaAxis_t::kNegative ? 1 : 0, 1);
  }
}

void PutDelta(BitWriter_t& w, const DeltaAxis_t& axis, std::int32_t delta) {
  const unsigned bits = FieldBits(axis);
  if (axis.sign == DeltaAxis_t::kSigned) {
    for (std::uint32_t f : EscapedFields(delta, bits)) w.Put(f, bits);
    return;
  }
  const bool negative = axis.sign == DeltaAxis_t::kNegative;
  if ((negative && delta > 0) || (!negative && delta < 0))
    throw std::invalid_argument("delta against the axis's common sign");
  const std::int64_t magnitude = negative ? -std::int64_t{delta} : delta;
  if (magnitude > (std::int64_t{1} << bits) - 1) throw std::invalid_argument("delta too wide for its field");
  w.Put(static_cast<std::uint32_t>(magnitude), bits);
}

void PutExtra(BitWriter_t& w, const DeltaStream_t& s, const std::optional<std::uint32_t>& extra) {
  if (s.presence) {
    w.Put(extra ? 1 : 0, 1);
    if (!extra) return;
  }
  w.Put(extra.value_or(0), s.extraBits);
}

// Fills the last byte's free bits so that they cannot complete a point: the
// bits run out inside a chain of escapes of a signed axis, or before a field
// of a constant-sign axis ends. False when neither can be arranged.
bool PutPadding(BitWriter_t& w, const DeltaStream_t& s, const DeltaAxis_t& lon, const DeltaAxis_t& lat) {
  unsigned free = (8 - w.BitCount() % 8) % 8;
  for (const DeltaAxis_t* axis : {&lon, &lat}) {
    const unsigned bits = FieldBits(*axis);
    if (free < bits) {
      w.Put(0, free);
      return true;
    }
    if (axis->sign == DeltaAxis_t::kSigned) {
      for (; free >= bits; free -= bits) w.Put(1u << (bits - 1), bits);
      w.Put(0, free);
      return true;
    }
    w.Put(0, bits);
    free -= bits;
  }
  const unsigned extraMin = s.extraBits == 0 ? 0 : s.presence ? 1 : s.extraBits;
  if (extraMin == 0 || free >= extraMin) return false;
  w.Put(0, free);
  return true;
}

}  // namespace

std::string Encode(const DeltaStream_t& s) {
  if (s.extraBits > (s.extended ? 8u : 1u) || (!s.extended && s.presence) || (s.presence && s.extraBits == 0))
    throw std::invalid_argument("extra field not possible in this stream");
  std::vector<std::int32_t> dlons, dlats;
  for (const auto& p : s.points) {
    dlons.push_back(p.dlon);
    dlats.push_back(p.dlat);
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    DeltaAxis_t lon = s.lon ? *s.lon : ChooseAxis(dlons);
    const DeltaAxis_t lat = s.lat ? *s.lat : ChooseAxis(dlats);
    // A chosen longitude form turns signed when the padding needs escapes.
    if (attempt == 1) lon.sign = DeltaAxis_t::kSigned;
    BitWriter_t w;
    PutSignMode(w, lon);
    PutSignMode(w, lat);
    if (s.extended) {
      w.Put(s.extraBits != 0 ? 1 : 0, 1);
      if (s.extraBits != 0) w.Put(((s.extraBits - 1) << 1) | (s.presence ? 1 : 0), 4);
    }
    if (s.extraBits != 0) PutExtra(w, s, s.startExtra);
    for (const auto& p : s.points) {
      PutDelta(w, lon, p.dlon);
      PutDelta(w, lat, p.dlat);
      if (s.extraBits != 0) PutExtra(w, s, p.extra);
    }
    if (PutPadding(w, s, lon, lat)) {
      std::string out(1, static_cast<char>((lat.code << 4) | lon.code));
      return out + w.Bytes();
    }
    if (s.lon) break;
  }
  throw std::invalid_argument("the padding would decode as a point");
}

}  // namespace imgkit
