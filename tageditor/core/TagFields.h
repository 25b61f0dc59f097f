// The tag editor's seventeen fields as values: which field is which, how
// they are filled from the inspection component and given back to it, and
// the commands that change fields on screen only (clear, copy between the
// tag versions, title case, the remembered values, a title from the file
// name, track numbers).
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

#include "inspect/ID3.h"
#include "inspect/Properties.h"

namespace brindle::tageditor {

inline constexpr int kFieldCount = 17;

/// Field indices, each field's identity everywhere in the tag editor.
enum Field : int {
  kV1Title = 0,
  kV1Artist = 1,
  kV1Album = 2,
  kV1Year = 3,
  kV2Track = 4,
  kV1Comment = 5,
  kV2Comment = 6,
  kV2Genre = 7,
  kV2Year = 8,
  kV2Album = 9,
  kV2Artist = 10,
  kV2Title = 11,
  kV2Composer = 12,
  kV2OriginalArtist = 13,
  kV2Copyright = 14,
  kV2Url = 15,
  kV2EncodedBy = 16,
};

using inspect::TagVersion;

struct FieldSpec {
  /// A field shown with `caption` that loads from and saves to the tag text
  /// held by `member`; a member that is no tag text fails to compile.
  constexpr FieldSpec(int index, const char* caption, std::string inspect::ID3::*member,
                      int typedLimit, int topic)
      : index(index),
        property(*inspect::tagProperty(member)),
        version(property.tag->version),
        caption(caption),
        typedLimit(typedLimit),
        topic(topic) {}

  int index;
  /// The component property the field is loaded from and saved to.
  const inspect::Property& property;
  /// The tag frame the field is shown in: the property's tag.
  TagVersion version;
  const char* caption;
  /// The most characters a user can type; 0 for no limit.
  int typedLimit;
  int topic;
};

/// Every field, in the order each tag frame shows them: the version 1
/// fields, then the version 2 fields.
std::span<const FieldSpec> fieldSpecs();
/// The caption, limit and help topic of field `index` (0 to 16).
const FieldSpec& fieldSpec(int index);

/// What the fields on screen hold. Texts are UTF-8.
struct TagFields {
  std::array<std::string, kFieldCount> txt;
  /// The position selected in the genre list; -1 when none is selected.
  int genre = 0;

  bool operator==(const TagFields&) const = default;
};

/// The fourteen fields whose values Save remembers: all but the two titles
/// and the track.
inline constexpr std::array<int, 14> kRememberedFields{1, 2,  3,  5,  6,  7,  8,
                                                       9, 10, 12, 13, 14, 15, 16};

/// The values of the last Save, one per remembered field. One store serves
/// every tag editor window of a run, so the values outlive each window.
class RememberedValues {
 public:
  const std::string& value(int field) const { return m_values.at(static_cast<std::size_t>(field)); }
  /// Replaces the fourteen values with those of `fields`.
  void remember(const TagFields& fields);

 private:
  std::array<std::string, kFieldCount> m_values;
};

/// The fields as a file's load fills them from the component: every text
/// field from its property, the genre list at the name whose number is
/// TAGv1GenreIndex, or at the blank entry when no name has it.
TagFields fieldsFromComponent(const inspect::ID3& component);

/// Sets the component's properties from the fields in Save's order. Stops
/// after the four version 1 texts before it when no genre entry is
/// selected, and returns false; the properties set so far stay set.
bool fieldsToComponent(const TagFields& fields, inspect::ID3& component);

/// "Clear All Tags": every field empty, the blank genre entry.
void clearAllTags(TagFields& fields);
/// "Clear Version 1": the version 1 texts empty, the blank genre entry.
void clearVersion1(TagFields& fields);
/// "Clear Version 2": the version 2 texts (track included) empty.
void clearVersion2(TagFields& fields);

/// Selects the genre entry whose text equals `text`; any other text leaves
/// the selection as it is.
void selectGenreByText(TagFields& fields, const std::string& text);

/// "<<<": title, artist, album, year and comment of version 2 into version 1,
/// then the genre entry named by the version 2 genre.
void copyVersion2ToVersion1(TagFields& fields);
/// ">>>": title, artist, album and year of version 1 into version 2, the
/// selected genre's text (" " for the blank entry) into the version 2 genre,
/// the comment last.
void copyVersion1ToVersion2(TagFields& fields);

/// "Title Case": every field in title case (each word's first letter upper
/// case, the rest lower case; words separated by white space).
void titleCaseFields(TagFields& fields);

/// "Use Previous": the remembered values into their fields, then the genre
/// entry named by the version 2 genre.
void usePrevious(TagFields& fields, const RememberedValues& remembered);

/// "Name From File": the version 2 title for a file name whose last four
/// characters are ".mp3" in any letter case (the name without them), else
/// nothing. `name` is the name's bytes; the title is UTF-8.
std::optional<std::string> titleFromFileName(const std::string& name);

/// True when the name's last four characters are ".mp3" in any letter case.
bool hasMp3Ending(const std::string& name);

/// Whether the tag editor's file list shows the name: a name ending in
/// ".mp3" or ".wav" in any letter case.
bool isListedByTagEditor(const std::string& name);

/// Track `number` as Number Tracks writes it: at least two digits ("01",
/// "12", "100").
std::string trackText(int number);

}  // namespace brindle::tageditor
