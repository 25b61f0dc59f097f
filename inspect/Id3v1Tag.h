// The 128-byte ID3 version 1 tag at the end of an MP3 file: how its fields
// are read into texts and how a record is laid out for writing. Texts are
// UTF-8 in the program and ISO-8859-1 in the tag.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace brindle::inspect {

inline constexpr std::size_t kId3v1Size = 128;

struct Id3v1Fields {
  std::string title;
  std::string artist;
  std::string album;
  std::string year;
  std::string comment;
  std::uint8_t genre = 0;
};

/// The fields of a tag block, or nothing when the block does not start with
/// "TAG" in any letter case. Title and artist are trimmed of blanks and then
/// cut at the first zero byte; album, year and comment are only trimmed.
std::optional<Id3v1Fields> parseId3v1(std::span<const std::uint8_t, kId3v1Size> block);

/// True when the three bytes read "TAG" in any letter case.
bool isId3v1Marker(std::span<const std::uint8_t, 3> bytes);

/// "TAG" and the 125-byte record: each text left-aligned in its width, blank
/// padded or cut, characters beyond ISO-8859-1 written as "?"; the genre
/// byte last.
std::array<std::uint8_t, kId3v1Size> renderId3v1(const Id3v1Fields& fields);

/// The one-character text whose character is genre number `number` (UTF-8
/// of U+0000..U+00FF).
std::string genreText(int number);

/// The genre byte a one-character genre text stands for: its first
/// character's code, 32 (a blank) for the empty text, "?" for a character
/// beyond ISO-8859-1.
std::uint8_t genreByte(const std::string& genre);

}  // namespace brindle::inspect
