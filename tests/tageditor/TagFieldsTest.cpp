// The fields as values: the mapping to and from the inspection component and
// the commands that change fields on screen only.
#include "tageditor/core/TagFields.h"

#include <gtest/gtest.h>

#include <set>

#include "inspect/GenreList.h"
#include "platform/testing/TestPlatform.h"

namespace brindle::tageditor {
namespace {

using inspect::genreNumberAt;
using inspect::genrePositionForText;
using inspect::ID3;

/// Fields whose text names the field: "f0" to "f16", genre Rock.
TagFields numbered() {
  TagFields fields;
  for (int i = 0; i < kFieldCount; ++i) fields.txt[std::size_t(i)] = "f" + std::to_string(i);
  fields.genre = genrePositionForText("Rock");
  return fields;
}

/// The indices of the fields that are empty.
std::set<int> emptied(const TagFields& fields) {
  std::set<int> empty;
  for (int i = 0; i < kFieldCount; ++i) {
    if (fields.txt[static_cast<std::size_t>(i)].empty()) empty.insert(i);
  }
  return empty;
}

const std::set<int> kVersion1{kV1Title, kV1Artist, kV1Album, kV1Year, kV1Comment};

/// The property of each field, by field index.
std::string ID3::*const kProperties[kFieldCount] = {
    &ID3::TAGv1Title,    &ID3::TAGv1Artist,         &ID3::TAGv1Album,     &ID3::TAGv1Created,
    &ID3::TAGv2Track,    &ID3::TAGv1Comment,        &ID3::TAGv2Comment,   &ID3::TAGv2Genre,
    &ID3::TAGv2Created,  &ID3::TAGv2Album,          &ID3::TAGv2Artist,    &ID3::TAGv2Title,
    &ID3::TAGv2Composer, &ID3::TAGv2OriginalArtist, &ID3::TAGv2Copyright, &ID3::TAGv2Url,
    &ID3::TAGv2EncodedBy};

class ComponentMapping : public ::testing::Test {
 protected:
  platform::testing::TestPlatform test;
  ID3 component{test.fileSystem, test.clock, test.dialogs};
};

TEST_F(ComponentMapping, LoadFillsEveryFieldAndTheGenreEntry) {
  for (int i = 0; i < kFieldCount; ++i) component.*kProperties[i] = "p" + std::to_string(i);
  for (const auto& [number, name] :
       std::vector<std::pair<int, const char*>>{{17, "Rock"}, {255, " "}, {149, " "}, {200, " "}}) {
    component.TAGv1GenreIndex = static_cast<std::int16_t>(number);
    const TagFields fields = fieldsFromComponent(component);
    EXPECT_STREQ(inspect::genreList()[static_cast<std::size_t>(fields.genre)].name, name) << number;
    for (int i = 0; i < kFieldCount; ++i) {
      EXPECT_EQ(fields.txt[static_cast<std::size_t>(i)], "p" + std::to_string(i));
    }
  }
  for (const FieldSpec& spec : fieldSpecs()) EXPECT_EQ(&fieldSpec(spec.index), &spec);
}

TEST_F(ComponentMapping, SaveSetsEveryPropertyAndTheGenreAsOneCharacter) {
  TagFields fields = numbered();
  ASSERT_TRUE(fieldsToComponent(fields, component));
  for (int i = 0; i < kFieldCount; ++i)
    EXPECT_EQ(component.*kProperties[i], "f" + std::to_string(i));
  EXPECT_EQ(component.TAGv1Genre, inspect::genreText(17));
  fields.genre = 0;
  ASSERT_TRUE(fieldsToComponent(fields, component));
  EXPECT_EQ(inspect::genreByte(component.TAGv1Genre), 255);
}

// Without a genre entry (none or past the list) only the four texts before it are set.
TEST_F(ComponentMapping, SaveStopsAtTheGenreWhenNoneIsSelected) {
  for (const int genre : {-1, static_cast<int>(inspect::genreList().size())}) {
    component.TAGv1Genre = "old";
    component.TAGv1Comment = "old comment";
    component.TAGv2Track = "old track";
    TagFields fields = numbered();
    fields.genre = genre;
    EXPECT_FALSE(fieldsToComponent(fields, component)) << genre;
    EXPECT_EQ(component.TAGv1Title, "f0");
    EXPECT_EQ(component.TAGv1Created, "f3");
    EXPECT_EQ(component.TAGv1Genre, "old");
    EXPECT_EQ(component.TAGv1Comment, "old comment");
    EXPECT_EQ(component.TAGv2Track, "old track");
  }
}

TEST(ClearCommands, EmptyTheirFields) {
  std::set<int> all, version2;
  for (int i = 0; i < kFieldCount; ++i) {
    all.insert(i);
    if (!kVersion1.count(i)) version2.insert(i);
  }
  const struct {
    void (*command)(TagFields&);
    std::set<int> cleared;
    bool blankGenre;
  } cases[] = {{clearAllTags, all, true},
               {clearVersion1, kVersion1, true},
               {clearVersion2, version2, false}};
  for (const auto& row : cases) {
    TagFields fields = numbered();
    row.command(fields);
    EXPECT_EQ(emptied(fields), row.cleared);
    EXPECT_EQ(fields.genre, row.blankGenre ? 0 : numbered().genre);
  }
}

TEST(CopyCommands, Version2ToVersion1) {
  TagFields fields = numbered();
  fields.txt[kV2Title] = std::string(40, 'x');  // copied whole, past the typed limit
  fields.txt[kV2Genre] = "Jazz";
  copyVersion2ToVersion1(fields);
  TagFields expected = numbered();
  expected.txt[kV2Title] = expected.txt[kV1Title] = std::string(40, 'x');
  expected.txt[kV2Genre] = "Jazz";
  expected.txt[kV1Artist] = "f10";
  expected.txt[kV1Album] = "f9";
  expected.txt[kV1Year] = "f8";
  expected.txt[kV1Comment] = "f6";
  expected.genre = genrePositionForText("Jazz");
  EXPECT_EQ(fields, expected);
  // A genre text that names no entry leaves the selection; " " names the blank one.
  fields.txt[kV2Genre] = "jazz";
  copyVersion2ToVersion1(fields);
  EXPECT_EQ(genreNumberAt(fields.genre), 8);
  fields.txt[kV2Genre] = " ";
  copyVersion2ToVersion1(fields);
  EXPECT_EQ(fields.genre, 0);
}

TEST(CopyCommands, Version1ToVersion2) {
  TagFields fields = numbered();
  copyVersion1ToVersion2(fields);
  TagFields expected = numbered();
  expected.txt[kV2Title] = "f0";
  expected.txt[kV2Artist] = "f1";
  expected.txt[kV2Album] = "f2";
  expected.txt[kV2Year] = "f3";
  expected.txt[kV2Genre] = "Rock";
  expected.txt[kV2Comment] = "f5";
  EXPECT_EQ(fields, expected);
  for (const auto& [genre, text] : std::vector<std::pair<int, const char*>>{
           {0, " "}, {-1, ""}, {static_cast<int>(inspect::genreList().size()), ""}}) {
    fields.genre = genre;
    copyVersion1ToVersion2(fields);
    EXPECT_EQ(fields.txt[kV2Genre], text) << genre;
  }
}

TEST(TitleCase, EveryField) {
  TagFields fields;
  for (std::string& text : fields.txt) text = "the DARK side";
  fields.txt[kV2Url] = "http://EXAMPLE.org/a b";
  fields.txt[kV2Comment] = "first LINE\nsecond line";
  fields.txt[kV1Title] = "ÉCOLE été";
  fields.txt[kV1Artist] = "\xff BAD";  // no UTF-8: kept
  fields.genre = 5;
  titleCaseFields(fields);
  EXPECT_EQ(fields.txt[kV2Track], "The Dark Side");
  EXPECT_EQ(fields.txt[kV1Year], "The Dark Side");
  EXPECT_EQ(fields.txt[kV2Url], "Http://example.org/a B");
  EXPECT_EQ(fields.txt[kV2Comment], "First Line\nSecond Line");
  EXPECT_EQ(fields.txt[kV1Title], "École Été");
  EXPECT_EQ(fields.txt[kV1Artist], "\xff BAD");
  EXPECT_EQ(fields.genre, 5);
}

TEST(UsePrevious, PutsBackTheRememberedValuesAndTheirGenre) {
  // Before any Save the fourteen fields are emptied; titles, track and genre stay.
  TagFields fields = numbered();
  usePrevious(fields, RememberedValues{});
  EXPECT_EQ(emptied(fields).size(), 14u);
  EXPECT_EQ(emptied(fields), std::set<int>(kRememberedFields.begin(), kRememberedFields.end()));
  EXPECT_EQ(fields.genre, numbered().genre);

  TagFields saved = numbered();
  saved.txt[kV2Genre] = "Blues";
  RememberedValues remembered;
  remembered.remember(saved);
  TagFields other;
  other.txt[kV1Title] = "own title";
  other.txt[kV2Title] = "own v2 title";
  other.txt[kV2Track] = "07";
  usePrevious(other, remembered);
  TagFields expected = saved;
  expected.txt[kV1Title] = "own title";
  expected.txt[kV2Title] = "own v2 title";
  expected.txt[kV2Track] = "07";
  expected.genre = genrePositionForText("Blues");
  EXPECT_EQ(other, expected);
}

TEST(FileNames, TitlesEndingsAndTrackNumbers) {
  const struct {
    const char* name;
    std::optional<std::string> title;
    bool listed;
  } names[] = {
      {"Track 01.mp3", "Track 01", true}, {"Song.Mp3", "Song", true},
      {"LOUD.MP3", "LOUD", true},         {"x.mP3", "x", true},
      {"Café.mp3", "Café", true},         {".mp3", "", true},
      {"take.wav", std::nullopt, true},   {"e.WAV", std::nullopt, true},
      {"f.Wav", std::nullopt, true},      {"mp3", std::nullopt, false},
      {"wav", std::nullopt, false},       {"", std::nullopt, false},
      {"song.mp3 ", std::nullopt, false}, {"a.mp3.bak", std::nullopt, false},
      {"a.mp4", std::nullopt, false},     {"a.txt", std::nullopt, false},
  };
  for (const auto& row : names) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(titleFromFileName(row.name), row.title);
    EXPECT_EQ(hasMp3Ending(row.name), row.title.has_value());
    EXPECT_EQ(isListedByTagEditor(row.name), row.listed);
  }
  for (const auto& [number, text] : std::vector<std::pair<int, const char*>>{
           {1, "01"}, {9, "09"}, {10, "10"}, {99, "99"}, {100, "100"}}) {
    EXPECT_EQ(trackText(number), text);
  }
}

}  // namespace
}  // namespace brindle::tageditor
