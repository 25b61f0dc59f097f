// The tags that may follow the audio of an MP3 file, so that their bytes are
// not counted as audio: APEv2 and Lyrics3 tags, which stand before an ID3
// version 1 tag when there is one.
#pragma once

#include <cstdint>
#include <span>

namespace brindle::inspect {

/// The bytes that tell an APEv2 footer (32) or a Lyrics3 version 2 end (15).
inline constexpr std::size_t kTrailingTagFooter = 32;
/// The bytes a Lyrics3 version 1 tag can take: "LYRICSBEGIN", 5100 bytes of
/// lyrics at most and "LYRICSEND".
inline constexpr std::size_t kLyrics3v1MaxLength = 11 + 5100 + 9;

/// The length of an APEv2 tag (with its header when it has one) or of a
/// Lyrics3 version 2 tag that ends where `before` ends; `before` holds the
/// up to kTrailingTagFooter bytes before that point. 0 when neither ends
/// there.
std::uint64_t apeOrLyrics3v2Length(std::span<const std::uint8_t> before);

/// True when `before` ends with "LYRICSEND", the end of a Lyrics3 version 1
/// tag whose start must be looked for.
bool endsWithLyrics3v1(std::span<const std::uint8_t> before);

/// The length of the Lyrics3 version 1 tag that ends where `before` ends
/// (`before`: up to kLyrics3v1MaxLength bytes), or 0.
std::uint64_t lyrics3v1Length(std::span<const std::uint8_t> before);

}  // namespace brindle::inspect
