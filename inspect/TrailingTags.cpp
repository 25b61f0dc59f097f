#include "inspect/TrailingTags.h"

#include <algorithm>
#include <cstring>

namespace brindle::inspect {

namespace {

bool endsWith(std::span<const std::uint8_t> bytes, const char* text) {
  const std::size_t length = std::strlen(text);
  return bytes.size() >= length &&
         std::memcmp(bytes.data() + bytes.size() - length, text, length) == 0;
}

}  // namespace

std::uint64_t apeOrLyrics3v2Length(std::span<const std::uint8_t> before) {
  if (before.size() >= 32) {
    const std::span<const std::uint8_t> footer = before.last(32);
    if (std::memcmp(footer.data(), "APETAGEX", 8) == 0) {
      auto little32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(footer[at]) |
               (static_cast<std::uint32_t>(footer[at + 1]) << 8) |
               (static_cast<std::uint32_t>(footer[at + 2]) << 16) |
               (static_cast<std::uint32_t>(footer[at + 3]) << 24);
      };
      // The size counts the items and the footer; a header, when the flags
      // say there is one, comes on top.
      const std::uint64_t size = little32(12);
      const bool hasHeader = (little32(20) & 0x80000000u) != 0;
      if (size < 32) return 0;
      return size + (hasHeader ? 32 : 0);
    }
  }
  if (endsWith(before, "LYRICS200") && before.size() >= 15) {
    // Six decimal digits: the tag's length without them and the end mark.
    std::uint64_t size = 0;
    for (std::size_t i = before.size() - 15; i < before.size() - 9; ++i) {
      if (before[i] < '0' || before[i] > '9') return 0;
      size = size * 10 + static_cast<std::uint64_t>(before[i] - '0');
    }
    return size + 15;
  }
  return 0;
}

bool endsWithLyrics3v1(std::span<const std::uint8_t> before) {
  return endsWith(before, "LYRICSEND");
}

std::uint64_t lyrics3v1Length(std::span<const std::uint8_t> before) {
  if (!endsWithLyrics3v1(before)) return 0;
  static constexpr char kBegin[] = "LYRICSBEGIN";
  const auto found = std::search(before.begin(), before.end(), kBegin, kBegin + 11);
  if (found == before.end()) return 0;
  return static_cast<std::uint64_t>(before.end() - found);
}

}  // namespace brindle::inspect
