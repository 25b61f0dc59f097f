// Undoing what a frame's format flags did to its content (frame-level
// unsynchronisation, a data-length indicator, zlib compression), so that the
// value of such a frame can be read. Pure functions over bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "id3v2/Bytes.h"

namespace brindle::id3v2 {

/// The most bytes a decoded frame may grow to: what a tag's size field can
/// hold. A frame claiming more is left undecoded.
inline constexpr std::size_t kMaxDecodedSize = 0x0FFFFFFF;

/// True when the format flags (the frame header's second flag byte) of a
/// version 2.3 or 2.4 frame say its content is not the plain fields.
bool contentIsTransformed(std::uint8_t major, std::uint8_t formatFlags);

/// The plain fields of a frame whose content was transformed: nothing when
/// the flags name something that cannot be undone here (encryption,
/// grouping), when the content is damaged (a data-length indicator with
/// fewer than four bytes, data that does not inflate) or when it decodes to
/// nothing. `tagUnsynchronised` is the version 2.4 tag header's flag, which
/// stands for the flag on every frame.
std::optional<ByteVector> decodeContent(std::uint8_t major, std::uint8_t formatFlags,
                                        ByteView content, bool tagUnsynchronised = false);

/// The data of a zlib stream, at most `limit` bytes; nothing when the stream
/// is broken, truncated or inflates past the limit.
std::optional<ByteVector> inflateZlib(ByteView compressed, std::size_t limit = kMaxDecodedSize);

}  // namespace brindle::id3v2
