// A version 2 tag region cut into the pieces the history stores apart: the
// header, each frame, the padding (kept as its length only) and the footer.
// Frames a save did not change are then the same pieces before and after,
// and the store keeps each distinct piece once.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "id3v2/Bytes.h"

namespace brindle::history {

struct RegionPiece {
  /// Offset and length of the piece in the region.
  std::size_t offset = 0;
  std::size_t length = 0;
  /// Padding: `length` zero bytes, not stored.
  bool padding = false;
};

/// Cuts `region` into pieces that together cover it exactly, in order. A
/// shape it does not know (no tag header, an unknown version, whole-tag
/// unsynchronisation, bytes that are no frame) stays one piece from there
/// on, so any bytes come back as they were.
std::vector<RegionPiece> splitRegion(id3v2::ByteView region);

/// A 64-bit hash of `bytes`, to find equal pieces.
std::uint64_t contentHash(id3v2::ByteView bytes);

/// One piece as the store keeps it: a stored content's id (above 0), or
/// `padding` zero bytes.
struct StoredPiece {
  std::int64_t content = 0;
  std::uint64_t padding = 0;
};

/// The regions of one change (old version 2, old version 1, new version 2,
/// new version 1), each as its stored pieces.
using StoredRegions = std::array<std::vector<StoredPiece>, 4>;

/// The regions as one value of the store: per region the number of its
/// pieces, then each piece, as variable-length numbers.
id3v2::ByteVector encodeStoredRegions(const StoredRegions& regions);

/// encodeStoredRegions() undone; nothing when the bytes are no such value.
std::optional<StoredRegions> decodeStoredRegions(id3v2::ByteView bytes);

}  // namespace brindle::history
