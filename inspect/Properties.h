// The component's properties by name, in their documented order, and for
// each tag text where the file keeps it (the version 1 field or the version 2
// frame). This one table serves reading and saving the tags, listing the
// properties (brindle-cli read), setting them by name (brindle-cli write)
// and the tag editor's fields.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "id3v2/ID3v2FrameId.h"
#include "inspect/ID3.h"
#include "inspect/Id3v1Tag.h"

namespace brindle::inspect {

/// The tag a text property is read from and saved to.
enum class TagVersion { V1, V2 };

/// Where the file keeps a tag text.
struct TagLocation {
  TagVersion version;
  /// The field of the version 1 record; nullptr for a version 2 text and for
  /// TAGv1Genre, which the record keeps as a number.
  std::string Id3v1Fields::*v1Field = nullptr;
  /// The version 2 frame.
  id3v2::ID3v2FrameId frame = id3v2::TRCK;
  /// Where SaveID3 sets the version 2 frame among the others: frames the tag
  /// lacks are added in this order.
  int saveOrder = -1;
};

struct Property {
  const char* name;
  std::variant<bool ID3::*, std::int16_t ID3::*, std::int32_t ID3::*, std::int64_t ID3::*,
               std::string ID3::*>
      member;
  /// Where a tag text lives; nothing for the properties the component only
  /// reports.
  std::optional<TagLocation> tag;

  /// Set by the host before SaveID3: the tag texts.
  constexpr bool writable() const { return tag.has_value(); }
  /// The member of a tag text.
  constexpr std::string ID3::*text() const { return std::get<std::string ID3::*>(member); }
};

namespace detail {

constexpr Property reported(const char* name, auto member) {
  return Property{name, member, std::nullopt};
}

constexpr Property version1(const char* name, std::string ID3::*member,
                            std::string Id3v1Fields::*field) {
  return Property{name, member, TagLocation{TagVersion::V1, field}};
}

constexpr Property version2(const char* name, std::string ID3::*member, id3v2::ID3v2FrameId frame,
                            int saveOrder) {
  return Property{name, member, TagLocation{TagVersion::V2, nullptr, frame, saveOrder}};
}

}  // namespace detail

/// Every property, TAGv1Exists to FileName, then those added later.
inline constexpr std::array kProperties{
    detail::reported("TAGv1Exists", &ID3::TAGv1Exists),
    detail::version1("TAGv1Genre", &ID3::TAGv1Genre, nullptr),
    detail::version1("TAGv1Title", &ID3::TAGv1Title, &Id3v1Fields::title),
    detail::version1("TAGv1Artist", &ID3::TAGv1Artist, &Id3v1Fields::artist),
    detail::version1("TAGv1Album", &ID3::TAGv1Album, &Id3v1Fields::album),
    detail::version1("TAGv1Created", &ID3::TAGv1Created, &Id3v1Fields::year),
    detail::version1("TAGv1Comment", &ID3::TAGv1Comment, &Id3v1Fields::comment),
    detail::reported("TAGv1GenreIndex", &ID3::TAGv1GenreIndex),
    detail::reported("TAGv2Exists", &ID3::TAGv2Exists),
    detail::version2("TAGv2Track", &ID3::TAGv2Track, id3v2::TRCK, 7),
    detail::version2("TAGv2Genre", &ID3::TAGv2Genre, id3v2::TCON, 3),
    detail::version2("TAGv2Title", &ID3::TAGv2Title, id3v2::TIT2, 0),
    detail::version2("TAGv2Artist", &ID3::TAGv2Artist, id3v2::TPE1, 2),
    detail::version2("TAGv2Album", &ID3::TAGv2Album, id3v2::TALB, 1),
    detail::version2("TAGv2Created", &ID3::TAGv2Created, id3v2::TYER, 4),
    detail::version2("TAGv2Comment", &ID3::TAGv2Comment, id3v2::COMM, 6),
    detail::version2("TAGv2Composer", &ID3::TAGv2Composer, id3v2::TCOM, 9),
    detail::version2("TAGv2OriginalArtist", &ID3::TAGv2OriginalArtist, id3v2::TOPE, 8),
    detail::version2("TAGv2Copyright", &ID3::TAGv2Copyright, id3v2::TCOP, 11),
    detail::version2("TAGv2Url", &ID3::TAGv2Url, id3v2::WXXX, 10),
    detail::version2("TAGv2EncodedBy", &ID3::TAGv2EncodedBy, id3v2::TENC, 5),
    detail::reported("WAVLenghtInSeconds", &ID3::WAVLenghtInSeconds),
    detail::reported("WAVLenght", &ID3::WAVLenght),
    detail::reported("WAVBitrate", &ID3::WAVBitrate),
    detail::reported("WAVFrequency", &ID3::WAVFrequency),
    detail::reported("WAVFileSizeInBytes", &ID3::WAVFileSizeInBytes),
    detail::reported("WAVFileSize", &ID3::WAVFileSize),
    detail::reported("WAVChannels", &ID3::WAVChannels),
    detail::reported("WAVBits", &ID3::WAVBits),
    detail::reported("Mp3FileSizeInBytes", &ID3::Mp3FileSizeInBytes),
    detail::reported("Mp3FileSize", &ID3::Mp3FileSize),
    detail::reported("Mp3FileLenghtInSeconds", &ID3::Mp3FileLenghtInSeconds),
    detail::reported("Mp3FileLenght", &ID3::Mp3FileLenght),
    detail::reported("Mp3Bitrate", &ID3::Mp3Bitrate),
    detail::reported("Mp3Frequency", &ID3::Mp3Frequency),
    detail::reported("Mp3Channels", &ID3::Mp3Channels),
    detail::reported("Mp3Copyright", &ID3::Mp3Copyright),
    detail::reported("Mp3CRC", &ID3::Mp3CRC),
    detail::reported("Mp3Emphasis", &ID3::Mp3Emphasis),
    detail::reported("Mp3Layer", &ID3::Mp3Layer),
    detail::reported("Mp3MPEG", &ID3::Mp3MPEG),
    detail::reported("Mp3Original", &ID3::Mp3Original),
    detail::reported("FileName", &ID3::FileName),
    detail::reported("TAGv1Track", &ID3::TAGv1Track),
    // Added later, after the first ones so that their order stays.
    detail::reported("Mp3Vbr", &ID3::Mp3Vbr),
    detail::reported("Mp3Frames", &ID3::Mp3Frames),
    detail::reported("Mp3EncoderDelay", &ID3::Mp3EncoderDelay),
    detail::reported("Mp3AudioBytes", &ID3::Mp3AudioBytes),
    detail::reported("Mp3LengthInMilliseconds", &ID3::Mp3LengthInMilliseconds),
    detail::reported("WavFormat", &ID3::WavFormat),
};

/// Every property, TAGv1Exists to FileName, then the later additions.
std::span<const Property> id3Properties();

/// The property named `name`, or nullptr.
const Property* findProperty(const std::string& name);

/// The tag text held by `member`, or nullptr when `member` is no tag text.
/// Usable in constant expressions, so a table built from it fails to compile
/// when it names a member that is no tag text.
constexpr const Property* tagProperty(std::string ID3::*member) {
  for (const Property& property : kProperties) {
    if (property.writable() && property.text() == member) return &property;
  }
  return nullptr;
}

/// The version 2 texts in the order SaveID3 sets their frames.
std::span<const Property* const> version2SaveOrder();

/// True for the WAV... and Wav... properties.
bool isWavProperty(const Property& property);

}  // namespace brindle::inspect
