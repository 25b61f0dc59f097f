#include "tageditor/core/TagFields.h"

#include <QByteArray>
#include <QFile>

#include "inspect/Id3v1Tag.h"
#include "rename/core/NameRules.h"
#include "tageditor/core/GenreList.h"

namespace brindle::tageditor {

namespace {

using inspect::ID3;

constexpr std::array kFields{
    FieldSpec{kV1Title, TagVersion::V1, "Title:", &ID3::TAGv1Title, 30, 50},
    FieldSpec{kV1Artist, TagVersion::V1, "Artist:", &ID3::TAGv1Artist, 30, 51},
    FieldSpec{kV1Album, TagVersion::V1, "Album:", &ID3::TAGv1Album, 30, 82},
    FieldSpec{kV1Year, TagVersion::V1, "Year:", &ID3::TAGv1Created, 4, 52},
    FieldSpec{kV1Comment, TagVersion::V1, "Comment:", &ID3::TAGv1Comment, 30, 53},
    FieldSpec{kV2Title, TagVersion::V2, "Title:", &ID3::TAGv2Title, 0, 58},
    FieldSpec{kV2Artist, TagVersion::V2, "Artist:", &ID3::TAGv2Artist, 0, 59},
    FieldSpec{kV2Album, TagVersion::V2, "Album:", &ID3::TAGv2Album, 0, 60},
    FieldSpec{kV2Year, TagVersion::V2, "Year:", &ID3::TAGv2Created, 6, 62},
    FieldSpec{kV2Genre, TagVersion::V2, "Genre:", &ID3::TAGv2Genre, 0, 83},
    FieldSpec{kV2Comment, TagVersion::V2, "Comment:", &ID3::TAGv2Comment, 0, 63},
    FieldSpec{kV2Composer, TagVersion::V2, "Composer:", &ID3::TAGv2Composer, 30, 64},
    FieldSpec{kV2OriginalArtist, TagVersion::V2, "Orig. Artist:", &ID3::TAGv2OriginalArtist, 30,
              65},
    FieldSpec{kV2Copyright, TagVersion::V2, "Copyright:", &ID3::TAGv2Copyright, 30, 66},
    FieldSpec{kV2Url, TagVersion::V2, "URL:", &ID3::TAGv2Url, 30, 67},
    FieldSpec{kV2EncodedBy, TagVersion::V2, "Encoded By:", &ID3::TAGv2EncodedBy, 30, 68},
    FieldSpec{kV2Track, TagVersion::V2, "Track:", &ID3::TAGv2Track, 0, 61},
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

void empty(TagFields& fields, std::initializer_list<int> indices) {
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
  for (const FieldSpec& spec : kFields) text(fields, spec.index) = component.*spec.property;
  fields.genre = genrePositionForNumber(component.TAGv1GenreIndex);
  return fields;
}

bool fieldsToComponent(const TagFields& fields, ID3& component) {
  for (int index : {kV1Title, kV1Artist, kV1Album, kV1Year}) {
    component.*fieldSpec(index).property = fields.txt[static_cast<std::size_t>(index)];
  }
  if (fields.genre < 0 || fields.genre >= static_cast<int>(genreList().size())) return false;
  component.TAGv1Genre = inspect::genreText(genreNumberAt(fields.genre));
  for (int index : kSaveOrderAfterGenre) {
    component.*fieldSpec(index).property = fields.txt[static_cast<std::size_t>(index)];
  }
  return true;
}

void clearAllTags(TagFields& fields) {
  for (std::string& field : fields.txt) field.clear();
  fields.genre = 0;
}

void clearVersion1(TagFields& fields) {
  empty(fields, {kV1Title, kV1Artist, kV1Album, kV1Year, kV1Comment});
  fields.genre = 0;
}

void clearVersion2(TagFields& fields) {
  empty(fields, {kV2Track, kV2Comment, kV2Genre, kV2Year, kV2Album, kV2Artist, kV2Title,
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
  return QFile::decodeName(QByteArray::fromStdString(name.substr(0, name.size() - 4)))
      .toUtf8()
      .toStdString();
}

std::string trackText(int number) {
  const std::string digits = std::to_string(number);
  return digits.size() < 2 ? "0" + digits : digits;
}

}  // namespace brindle::tageditor
