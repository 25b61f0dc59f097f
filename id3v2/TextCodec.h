// Conversion between the raw text bytes of a frame, in one of the four text
// encodings a frame can declare, and UTF-8 text for display and editing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brindle::id3v2 {

/// The text encodings a frame's encoding byte can name.
namespace encoding {
inline constexpr std::uint8_t kLatin1 = 0;   ///< ISO-8859-1, one byte per character
inline constexpr std::uint8_t kUtf16 = 1;    ///< UTF-16 starting with a byte order mark
inline constexpr std::uint8_t kUtf16Be = 2;  ///< UTF-16 big-endian
inline constexpr std::uint8_t kUtf8 = 3;     ///< UTF-8
}  // namespace encoding

/// The bytes that end one string in the given encoding: one zero byte for
/// encodings 0 and 3 (and unknown encodings), two zero bytes for 1 and 2.
std::string terminatorOf(std::uint8_t encoding);

/// Index (into raw) of the first terminator at or after `from`; for UTF-16
/// only at even offsets counted from `from`; npos when none.
std::size_t findTerminator(std::uint8_t encoding, std::string_view raw, std::size_t from = 0);

/// Decodes raw frame text to UTF-8. The text may hold several strings
/// separated by terminators: each segment is decoded on its own (UTF-16
/// segments take their own byte order mark; a UTF-16 segment without one is
/// read little-endian for encoding 1 and big-endian for encoding 2), and each
/// terminator becomes one U+0000 character in the result, so "zero → space"
/// rules work on the result. Invalid input never fails: unpaired surrogates,
/// invalid UTF-8 and a dangling odd byte become U+FFFD. Unknown encodings
/// decode as ISO-8859-1.
std::string decodeText(std::uint8_t encoding, std::string_view raw);
/// decodeText() into `out`, replacing what it held: a string reused from
/// file to file keeps its buffer.
void decodeTextInto(std::uint8_t encoding, std::string_view raw, std::string& out);

/// True when every character of the UTF-8 text is in ISO-8859-1
/// (U+0000..U+00FF). Invalid UTF-8 → false.
bool fitsLatin1(std::string_view utf8);

/// Encodes UTF-8 text, no terminator added. 0: ISO-8859-1 ('?' for characters
/// outside it); 1: byte order mark FF FE then UTF-16LE; 2: UTF-16BE; 3: UTF-8
/// unchanged. Unknown encodings encode as ISO-8859-1. Invalid UTF-8 in the
/// input is read as U+FFFD.
std::string encodeText(std::uint8_t encoding, std::string_view utf8);

}  // namespace brindle::id3v2
