// Cutting a version 2 tag region along its frames.
#include "history/RegionPieces.h"

#include <algorithm>
#include <cstring>

namespace brindle::history {

namespace {

constexpr std::size_t kHeaderLength = 10;

bool isFrameIdCharacter(std::uint8_t byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9');
}

std::uint32_t bigEndian(const std::uint8_t* bytes, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t index = 0; index < count; ++index) value = (value << 8) | bytes[index];
  return value;
}

std::uint32_t syncSafe(const std::uint8_t* bytes) {
  return (std::uint32_t{bytes[0]} << 21) | (std::uint32_t{bytes[1]} << 14) |
         (std::uint32_t{bytes[2]} << 7) | bytes[3];
}

/// Adds the pieces of the frames and padding in [begin, end).
void splitFrames(id3v2::ByteView region, int version, std::size_t begin, std::size_t end,
                 std::vector<RegionPiece>& pieces) {
  const std::size_t idLength = version == 2 ? 3 : 4;
  const std::size_t headerLength = version == 2 ? 6 : 10;
  std::size_t position = begin;
  while (position < end) {
    if (region[position] == 0) {
      const bool allZero = std::all_of(region.begin() + static_cast<std::ptrdiff_t>(position),
                                       region.begin() + static_cast<std::ptrdiff_t>(end),
                                       [](std::uint8_t byte) { return byte == 0; });
      pieces.push_back({position, end - position, allZero});
      return;
    }
    if (end - position < headerLength ||
        !std::all_of(region.begin() + static_cast<std::ptrdiff_t>(position),
                     region.begin() + static_cast<std::ptrdiff_t>(position + idLength),
                     isFrameIdCharacter)) {
      break;
    }
    const std::uint8_t* sizeBytes = region.data() + position + idLength;
    const std::size_t size = version == 2   ? bigEndian(sizeBytes, 3)
                             : version == 3 ? bigEndian(sizeBytes, 4)
                                            : syncSafe(sizeBytes);
    if (size > end - position - headerLength) break;
    pieces.push_back({position, headerLength + size, false});
    position += headerLength + size;
  }
  if (position < end) pieces.push_back({position, end - position, false});
}

}  // namespace

std::vector<RegionPiece> splitRegion(id3v2::ByteView region) {
  std::vector<RegionPiece> pieces;
  if (region.empty()) return pieces;
  const bool tagHeader =
      region.size() >= kHeaderLength && region[0] == 'I' && region[1] == 'D' && region[2] == '3';
  const int version = tagHeader ? region[3] : 0;
  const std::uint8_t flags = tagHeader ? region[5] : 0;
  // Unsynchronisation of the whole tag (before version 2.4) and extended
  // headers hide where frames start: the rest is kept whole.
  const bool framesReadable = (version == 2 || version == 3 || version == 4) &&
                              !(version < 4 && (flags & 0x80)) && !(flags & 0x40);
  if (!framesReadable) {
    pieces.push_back({0, region.size(), false});
    return pieces;
  }
  pieces.push_back({0, kHeaderLength, false});
  std::size_t end = std::min(region.size(), kHeaderLength + syncSafe(region.data() + 6));
  splitFrames(region, version, kHeaderLength, end, pieces);
  // The footer of a version 2.4 tag, and whatever else follows the size the
  // header gives.
  if (end < region.size()) pieces.push_back({end, region.size() - end, false});
  return pieces;
}

std::uint64_t contentHash(id3v2::ByteView bytes) {
  // Eight bytes a step, each step mixed by a multiplication and a shift:
  // covers of 100 KB are hashed on every save of a batch. Four lanes of 32
  // bytes go side by side, as the processor can multiply them at once.
  constexpr std::uint64_t kPrime = 0x9E3779B97F4A7C15ULL;
  std::uint64_t hash = 0xcbf29ce484222325ULL ^ bytes.size();
  std::size_t position = 0;
  if (bytes.size() >= 64) {
    std::array<std::uint64_t, 4> lanes{hash, hash + kPrime, hash ^ (kPrime >> 7), hash - kPrime};
    for (; position + 32 <= bytes.size(); position += 32) {
      for (std::size_t lane = 0; lane < lanes.size(); ++lane) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + position + lane * 8, 8);
        lanes[lane] = (lanes[lane] ^ word) * kPrime;
        lanes[lane] ^= lanes[lane] >> 29;
      }
    }
    for (const std::uint64_t lane : lanes) {
      hash = (hash ^ lane) * kPrime;
      hash ^= hash >> 29;
    }
  }
  for (; position + 8 <= bytes.size(); position += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + position, 8);
    hash = (hash ^ word) * kPrime;
    hash ^= hash >> 29;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, bytes.data() + position, bytes.size() - position);
  hash = (hash ^ tail) * kPrime;
  return hash ^ (hash >> 32);
}

namespace {

void appendNumber(id3v2::ByteVector& out, std::uint64_t value) {
  while (value >= 0x80) {
    out.push_back(static_cast<std::uint8_t>(value | 0x80));
    value >>= 7;
  }
  out.push_back(static_cast<std::uint8_t>(value));
}

std::optional<std::uint64_t> takeNumber(id3v2::ByteView& bytes) {
  std::uint64_t value = 0;
  for (int shift = 0; shift < 64 && !bytes.empty(); shift += 7) {
    const std::uint8_t byte = bytes.front();
    bytes = bytes.subspan(1);
    value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if (!(byte & 0x80)) return value;
  }
  return std::nullopt;
}

}  // namespace

id3v2::ByteVector encodeStoredRegions(const StoredRegions& regions) {
  id3v2::ByteVector out;
  for (const std::vector<StoredPiece>& pieces : regions) {
    appendNumber(out, pieces.size());
    // The lowest bit tells padding (1) from a content id (0).
    for (const StoredPiece& piece : pieces) {
      appendNumber(out, piece.content > 0 ? static_cast<std::uint64_t>(piece.content) << 1
                                          : (piece.padding << 1) | 1);
    }
  }
  return out;
}

std::optional<StoredRegions> decodeStoredRegions(id3v2::ByteView bytes) {
  StoredRegions regions;
  // A change recorded with no pieces at all (before they were listed).
  if (bytes.empty()) return regions;
  for (std::vector<StoredPiece>& pieces : regions) {
    const std::optional<std::uint64_t> count = takeNumber(bytes);
    // Each piece takes at least one byte.
    if (!count || *count > bytes.size()) return std::nullopt;
    pieces.reserve(static_cast<std::size_t>(*count));
    for (std::uint64_t index = 0; index < *count; ++index) {
      const std::optional<std::uint64_t> value = takeNumber(bytes);
      if (!value) return std::nullopt;
      if (*value & 1) {
        pieces.push_back({0, *value >> 1});
      } else if ((*value >> 1) == 0) {
        return std::nullopt;
      } else {
        pieces.push_back({static_cast<std::int64_t>(*value >> 1), 0});
      }
    }
  }
  if (!bytes.empty()) return std::nullopt;
  return regions;
}

}  // namespace brindle::history
