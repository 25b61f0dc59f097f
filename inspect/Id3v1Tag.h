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
  /// The ID3v1.1 track number, 1 to 255: comment byte 28 is zero and byte 29
  /// holds the track. 0 for no track (a 30-byte comment).
  std::uint8_t track = 0;
};

/// The fields of a tag block, or nothing when the block does not start with
/// "TAG" in any letter case. Title and artist are trimmed of blanks and then
/// cut at the first zero byte; album, year and comment are only trimmed.
/// With a v1.1 track the comment is its first 28 bytes.
std::optional<Id3v1Fields> parseId3v1(std::span<const std::uint8_t, kId3v1Size> block);
/// parseId3v1() into `fields`, whose strings keep their buffers; false (and
/// `fields` unchanged) when the block is no version 1 tag.
bool parseId3v1Into(std::span<const std::uint8_t, kId3v1Size> block, Id3v1Fields& fields);

/// True when the three bytes read "TAG" in any letter case.
bool isId3v1Marker(std::span<const std::uint8_t, 3> bytes);

/// "TAG" and the 125-byte record: each text left-aligned in its width, blank
/// padded or cut, characters beyond ISO-8859-1 written as "?"; the genre
/// byte last. With a track the comment gets 28 bytes, then a zero byte and
/// the track.
std::array<std::uint8_t, kId3v1Size> renderId3v1(const Id3v1Fields& fields);

/// The block that replaces `oldBlock` at the end of a file: a field whose
/// text equals the one read from `oldBlock` keeps its bytes (a leading
/// blank, bytes after a zero, the v1.1 track with an unchanged comment), and
/// the v1.1 track of `oldBlock` is kept also when the comment changes. The
/// marker is written as "TAG". Without a tag in `oldBlock`, renderId3v1.
std::array<std::uint8_t, kId3v1Size> renderId3v1Over(
    std::span<const std::uint8_t, kId3v1Size> oldBlock, const Id3v1Fields& fields);

/// The one-character text whose character is genre number `number` (UTF-8
/// of U+0000..U+00FF).
std::string genreText(int number);

/// The genre byte a one-character genre text stands for: its first
/// character's code, 32 (a blank) for the empty text, "?" for a character
/// beyond ISO-8859-1.
std::uint8_t genreByte(const std::string& genre);

}  // namespace brindle::inspect
