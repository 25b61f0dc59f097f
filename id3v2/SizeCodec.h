// The integer encodings of ID3v2 headers: sizes with 7 value bits per byte
// (tag sizes, and frame sizes of version 2.4 tags) and plain 32-bit
// big-endian frame sizes (version 2.3 tags).
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace brindle::id3v2 {

/// b0 × 2^21 + b1 × 2^14 + b2 × 2^7 + b3. Bytes are taken whole, not masked
/// to 7 bits, so a byte of 128 or more adds into the next higher group.
std::int64_t ByteToLong(std::span<const std::uint8_t, 4> a_bytes);

/// The four 7-bit groups of `a_value`, most significant first; values from
/// 2^28 up lose their high bits.
std::array<std::uint8_t, 4> LongToByte(std::int64_t a_value);

/// Direction 1: value × 2^bits; direction 2: value ÷ 2^bits, fraction
/// dropped; any other direction: 0.
std::int64_t Shift(std::int64_t a_value, int a_bits, int a_direction);

/// The plain big-endian reading of four bytes.
std::uint32_t readBigEndian32(std::span<const std::uint8_t, 4> bytes);
std::array<std::uint8_t, 4> bigEndian32(std::uint32_t value);

}  // namespace brindle::id3v2
