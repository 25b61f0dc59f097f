// Byte types shared by the tag engine: owned byte arrays and read-only views
// of bytes, so that parsers take bytes and never touch files.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace brindle::id3v2 {

/// An owned array of bytes, e.g. the content of one frame.
using ByteVector = std::vector<std::uint8_t>;

/// A read-only view of bytes held elsewhere.
using ByteView = std::span<const std::uint8_t>;

}  // namespace brindle::id3v2
