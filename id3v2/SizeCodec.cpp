#include "id3v2/SizeCodec.h"

namespace brindle::id3v2 {

std::int64_t ByteToLong(std::span<const std::uint8_t, 4> a_bytes) {
  return static_cast<std::int64_t>(a_bytes[0]) * (1 << 21) +
         static_cast<std::int64_t>(a_bytes[1]) * (1 << 14) +
         static_cast<std::int64_t>(a_bytes[2]) * (1 << 7) + a_bytes[3];
}

std::int64_t Shift(std::int64_t a_value, int a_bits, int a_direction) {
  if (a_bits < 0 || a_bits > 62) return 0;
  const std::int64_t factor = std::int64_t{1} << a_bits;
  if (a_direction == 1) return a_value * factor;
  if (a_direction == 2) return a_value / factor;
  return 0;
}

std::array<std::uint8_t, 4> LongToByte(std::int64_t a_value) {
  std::array<std::uint8_t, 4> bytes{};
  for (int i = 0; i < 4; ++i) {
    bytes[static_cast<std::size_t>(i)] =
        static_cast<std::uint8_t>(Shift(a_value, 7 * (3 - i), 2) & 0x7F);
  }
  return bytes;
}

std::uint32_t readBigEndian32(std::span<const std::uint8_t, 4> bytes) {
  return (static_cast<std::uint32_t>(bytes[0]) << 24) |
         (static_cast<std::uint32_t>(bytes[1]) << 16) |
         (static_cast<std::uint32_t>(bytes[2]) << 8) | bytes[3];
}

std::array<std::uint8_t, 4> bigEndian32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

}  // namespace brindle::id3v2
