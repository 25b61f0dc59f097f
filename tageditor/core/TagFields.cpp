#include "tageditor/core/TagFields.h"

#include "inspect/GenreList.h"
#include "inspect/Id3v1Tag.h"
#include "platform/text/FileNameText.h"
#include "rename/core/NameRules.h"
#include "ui/core/HelpTopics.h"

namespace brindle::tageditor {

namespace {

using inspect::genreList;
using inspect::genreNumberAt;
using inspect::genrePositionForNumber;
using inspect::genrePositionForText;

using inspect::ID3;

constexpr std::array kFields{
    FieldSpec{kV1Title, "Title:", &ID3::TAGv1Title, 30, topics::kV1TitleField},
    FieldSpec{kV1Artist, "Artist:", &ID3::TAGv1Artist, 30, topics::kV1ArtistField},
    FieldSpec{kV1Album, "Album:", &ID3::TAGv1Album, 30, topics::kV1AlbumField},
    FieldSpec{kV1Year, "Year:", &ID3::TAGv1Created, 4, topics::kV1YearField},
    FieldSpec{kV1Comment, "Comment:", &ID3::TAGv1Comment, 30, topics::kV1CommentField},
    FieldSpec{kV2Title, "Title:", &ID3::TAGv2Title, 0, topics::kV2TitleField},
    FieldSpec{kV2Artist, "Artist:", &ID3::TAGv2Artist, 0, topics::kV2ArtistField},
    FieldSpec{kV2Album, "Album:", &ID3::TAGv2Album, 0, topics::kV2AlbumField},
    FieldSpec{kV2Year, "Year:", &ID3::TAGv2Created, 6, topics::kV2YearField},
    FieldSpec{kV2Genre, "Genre:", &ID3::TAGv2Genre, 0, topics::kV2GenreField},
    FieldSpec{kV2Comment, "Comment:", &ID3::TAGv2Comment, 0, topics::kV2CommentField},
    FieldSpec{kV2Composer, "Composer:", &ID3::TAGv2Composer, 30, topics::kV2ComposerField},
    FieldSpec{kV2OriginalArtist, "Orig. Artist:", &ID3::TAGv2OriginalArtist, 30,
              topics::kV2OriginalArtistField},
    FieldSpec{kV2Copyright, "Copyright:", &ID3::TAGv2Copyright, 30, topics::kV2CopyrightField},
    FieldSpec{kV2Url, "URL:", &ID3::TAGv2Url, 30, topics::kV2UrlField},
    FieldSpec{kV2EncodedBy, "Encoded By:", &ID3::TAGv2EncodedBy, 30, topics::kV2EncodedByField},
    FieldSpec{kV2Track, "Track:", &ID3::TAGv2Track, 0, topics::kV2TrackField},
};
static_assert(kFields.size() == kFieldCount);

/// Save's order after the genre: the version 1 comment, the version 2 fields
/// from the comment to "Encoded By:", the track last.
constexpr std::array kSaveOrderAfterGenre{
    kV1Comment,  kV2Comment,        kV2Genre,     kV2Year, kV2Album,     kV2Artist, kV2Title,
    kV2Composer, kV2OriginalArtist, kV2Copyright, kV2Url,  kV2EncodedBy, kV2Track};

std::string& text(TagFields& fields, int index) {
  return fields.txt[static_cast<std::size_t>(index)];
}

void clearFieldsAt(TagFields& fields, std::initializer_list<int> indices) {
  for (int index : indices) text(fields, index).clear();
}

}  // namespace

std::span<const FieldSpec> fieldSpecs() {
  return kFields;
}

const FieldSpec& fieldSpec(int index) {
  for (const FieldSpec& spec : kFields) {
    if (spec.index == index) return spec;
  }
  return kFields.front();
}

void RememberedValues::remember(const TagFields& fields) {
  for (int index : kRememberedFields) {
    m_values[static_cast<std::size_t>(index)] = fields.txt[static_cast<std::size_t>(index)];
  }
}

TagFields fieldsFromComponent(const ID3& component) {
  TagFields fields;
  for (const FieldSpec& spec : kFields) text(fields, spec.index) = component.*spec.property.text();
  fields.genre = genrePositionForNumber(component.TAGv1GenreIndex);
  return fields;
}

bool fieldsToComponent(const TagFields& fields, ID3& component) {
  for (int index : {kV1Title, kV1Artist, kV1Album, kV1Year}) {
    component.*fieldSpec(index).property.text() = fields.txt[static_cast<std::size_t>(index)];
  }
  if (fields.genre < 0 || fields.genre >= static_cast<int>(genreList().size())) return false;
  component.TAGv1Genre = inspect::genreText(genreNumberAt(fields.genre));
  for (int index : kSaveOrderAfterGenre) {
    component.*fieldSpec(index).property.text() = fields.txt[static_cast<std::size_t>(index)];
  }
  return true;
}

void clearAllTags(TagFields& fields) {
  for (std::string& field : fields.txt) field.clear();
  fields.genre = 0;
}

void clearVersion1(TagFields& fields) {
  clearFieldsAt(fields, {kV1Title, kV1Artist, kV1Album, kV1Year, kV1Comment});
  fields.genre = 0;
}

void clearVersion2(TagFields& fields) {
  clearFieldsAt(fields, {kV2Track, kV2Comment, kV2Genre, kV2Year, kV2Album, kV2Artist, kV2Title,
                         kV2Composer, kV2OriginalArtist, kV2Copyright, kV2Url, kV2EncodedBy});
}

void selectGenreByText(TagFields& fields, const std::string& genreText) {
  const int position = genrePositionForText(genreText);
  if (position >= 0) fields.genre = position;
}

void copyVersion2ToVersion1(TagFields& fields) {
  text(fields, kV1Title) = text(fields, kV2Title);
  text(fields, kV1Artist) = text(fields, kV2Artist);
  text(fields, kV1Album) = text(fields, kV2Album);
  text(fields, kV1Year) = text(fields, kV2Year);
  text(fields, kV1Comment) = text(fields, kV2Comment);
  selectGenreByText(fields, text(fields, kV2Genre));
}

void copyVersion1ToVersion2(TagFields& fields) {
  text(fields, kV2Title) = text(fields, kV1Title);
  text(fields, kV2Artist) = text(fields, kV1Artist);
  text(fields, kV2Album) = text(fields, kV1Album);
  text(fields, kV2Year) = text(fields, kV1Year);
  // With no entry selected the list's text is empty.
  const bool selected = fields.genre >= 0 && fields.genre < static_cast<int>(genreList().size());
  text(fields, kV2Genre) = selected ? genreList()[static_cast<std::size_t>(fields.genre)].name : "";
  text(fields, kV2Comment) = text(fields, kV1Comment);
}

void titleCaseFields(TagFields& fields) {
  for (std::string& field : fields.txt) {
    // A text that is not UTF-8 cannot be case-mapped and keeps its value.
    if (std::optional<std::string> titled = rename::titleCase(field)) field = std::move(*titled);
  }
}

void usePrevious(TagFields& fields, const RememberedValues& remembered) {
  for (int index : kRememberedFields) text(fields, index) = remembered.value(index);
  selectGenreByText(fields, text(fields, kV2Genre));
}

namespace {

/// Whether the last characters of `name` are `upperEnding` (ASCII) in any
/// letter case.
bool endsWithIgnoringCase(const std::string& name, std::string_view upperEnding) {
  if (name.size() < upperEnding.size()) return false;
  for (std::size_t i = 0; i < upperEnding.size(); ++i) {
    char c = name[name.size() - upperEnding.size() + i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upperEnding[i]) return false;
  }
  return true;
}

}  // namespace

bool hasMp3Ending(const std::string& name) {
  return endsWithIgnoringCase(name, ".MP3");
}

bool isListedByTagEditor(const std::string& name) {
  return endsWithIgnoringCase(name, ".MP3") || endsWithIgnoringCase(name, ".WAV");
}

std::optional<std::string> titleFromFileName(const std::string& name) {
  if (!hasMp3Ending(name)) return std::nullopt;
  return platform::fileNameToUtf8(std::string_view(name).substr(0, name.size() - 4));
}

std::string trackText(int number) {
  const std::string digits = std::to_string(number);
  return digits.size() < 2 ? "0" + digits : digits;
}

}  // namespace brindle::tageditor
