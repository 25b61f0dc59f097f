#include "inspect/Id3v1Tag.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "id3v2/TextCodec.h"

namespace brindle::inspect {

namespace {

std::string_view trimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

/// The field's bytes as ISO-8859-1 text.
std::string_view field(std::span<const std::uint8_t, kId3v1Size> block, std::size_t offset,
                       std::size_t width) {
  return std::string_view(reinterpret_cast<const char*>(block.data() + offset), width);
}

std::string_view cutAtZero(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

void place(std::array<std::uint8_t, kId3v1Size>& block, std::size_t offset, std::size_t width,
           const std::string& utf8Text) {
  std::string latin1 = id3v2::encodeText(0, utf8Text);
  latin1.resize(width, ' ');
  std::copy(latin1.begin(), latin1.end(), block.begin() + static_cast<std::ptrdiff_t>(offset));
}

/// Where a text field lives in the block.
struct FieldPlace {
  std::string Id3v1Fields::*text;
  std::size_t offset;
  std::size_t width;
};
constexpr std::array<FieldPlace, 5> kFieldPlaces{{
    {&Id3v1Fields::title, 3, 30},
    {&Id3v1Fields::artist, 33, 30},
    {&Id3v1Fields::album, 63, 30},
    {&Id3v1Fields::year, 93, 4},
    {&Id3v1Fields::comment, 97, 30},
}};

/// Comment byte 28 (block offset 125) zero and byte 29 not: a v1.1 track.
constexpr std::size_t kTrackMarkOffset = 125;
constexpr std::size_t kTrackOffset = 126;
constexpr std::size_t kCommentWidthWithTrack = 28;

}  // namespace

bool isId3v1Marker(std::span<const std::uint8_t, 3> bytes) {
  return std::tolower(bytes[0]) == 't' && std::tolower(bytes[1]) == 'a' &&
         std::tolower(bytes[2]) == 'g';
}

std::optional<Id3v1Fields> parseId3v1(std::span<const std::uint8_t, kId3v1Size> block) {
  Id3v1Fields fields;
  if (!parseId3v1Into(block, fields)) return std::nullopt;
  return fields;
}

bool parseId3v1Into(std::span<const std::uint8_t, kId3v1Size> block, Id3v1Fields& fields) {
  if (!isId3v1Marker(block.first<3>())) return false;
  // Blanks are trimmed before the cut, so blanks before a zero byte stay.
  id3v2::decodeTextInto(0, cutAtZero(trimBlanks(field(block, 3, 30))), fields.title);
  id3v2::decodeTextInto(0, cutAtZero(trimBlanks(field(block, 33, 30))), fields.artist);
  id3v2::decodeTextInto(0, trimBlanks(field(block, 63, 30)), fields.album);
  id3v2::decodeTextInto(0, trimBlanks(field(block, 93, 4)), fields.year);
  const bool hasTrack = block[kTrackMarkOffset] == 0 && block[kTrackOffset] != 0;
  id3v2::decodeTextInto(0, trimBlanks(field(block, 97, hasTrack ? kCommentWidthWithTrack : 30)),
                        fields.comment);
  fields.track = hasTrack ? block[kTrackOffset] : 0;
  fields.genre = block[127];
  return true;
}

std::array<std::uint8_t, kId3v1Size> renderId3v1(const Id3v1Fields& fields) {
  std::array<std::uint8_t, kId3v1Size> block{};
  block[0] = 'T';
  block[1] = 'A';
  block[2] = 'G';
  place(block, 3, 30, fields.title);
  place(block, 33, 30, fields.artist);
  place(block, 63, 30, fields.album);
  place(block, 93, 4, fields.year);
  if (fields.track != 0) {
    place(block, 97, kCommentWidthWithTrack, fields.comment);
    block[kTrackMarkOffset] = 0;
    block[kTrackOffset] = fields.track;
  } else {
    place(block, 97, 30, fields.comment);
  }
  block[127] = fields.genre;
  return block;
}

std::array<std::uint8_t, kId3v1Size> renderId3v1Over(
    std::span<const std::uint8_t, kId3v1Size> oldBlock, const Id3v1Fields& fields) {
  const std::optional<Id3v1Fields> old = parseId3v1(oldBlock);
  if (!old) return renderId3v1(fields);
  Id3v1Fields kept = fields;
  kept.track = old->track;
  std::array<std::uint8_t, kId3v1Size> block = renderId3v1(kept);
  for (const FieldPlace& place : kFieldPlaces) {
    if (fields.*place.text != (*old).*place.text) continue;
    std::copy_n(oldBlock.begin() + static_cast<std::ptrdiff_t>(place.offset), place.width,
                block.begin() + static_cast<std::ptrdiff_t>(place.offset));
  }
  return block;
}

std::string genreText(int number) {
  return id3v2::decodeText(0, std::string(1, static_cast<char>(number & 0xFF)));
}

std::uint8_t genreByte(const std::string& genre) {
  if (genre.empty()) return ' ';
  const std::string latin1 = id3v2::encodeText(0, genre);
  return latin1.empty() ? ' ' : static_cast<std::uint8_t>(latin1[0]);
}

}  // namespace brindle::inspect
