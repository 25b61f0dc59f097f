// The fields as values: the field table, the mapping to and from the
// inspection component, and the commands that change fields on screen only.
#include "tageditor/core/TagFields.h"

#include <gtest/gtest.h>

#include "inspect/GenreList.h"
#include "inspect/Id3v1Tag.h"
#include "platform/testing/TestPlatform.h"

namespace brindle::tageditor {
namespace {

using inspect::genreList;
using inspect::genreNumberAt;
using inspect::genrePositionForText;

/// Fields whose text names the field: "f0" to "f16".
TagFields numbered() {
  TagFields fields;
  for (int i = 0; i < kFieldCount; ++i) {
    const std::string number = std::to_string(i);
    fields.txt[static_cast<std::size_t>(i)] = "f" + number;
  }
  fields.genre = genrePositionForText("Rock");
  return fields;
}

struct FieldRow {
  int index;
  TagVersion version;
  const char* caption;
  int limit;
  int topic;
};

TEST(FieldTable, CaptionsLimitsAndTopics) {
  const FieldRow rows[] = {
      {0, TagVersion::V1, "Title:", 30, 50},         {1, TagVersion::V1, "Artist:", 30, 51},
      {2, TagVersion::V1, "Album:", 30, 82},         {3, TagVersion::V1, "Year:", 4, 52},
      {5, TagVersion::V1, "Comment:", 30, 53},       {11, TagVersion::V2, "Title:", 0, 58},
      {10, TagVersion::V2, "Artist:", 0, 59},        {9, TagVersion::V2, "Album:", 0, 60},
      {8, TagVersion::V2, "Year:", 6, 62},           {7, TagVersion::V2, "Genre:", 0, 83},
      {6, TagVersion::V2, "Comment:", 0, 63},        {12, TagVersion::V2, "Composer:", 30, 64},
      {13, TagVersion::V2, "Orig. Artist:", 30, 65}, {14, TagVersion::V2, "Copyright:", 30, 66},
      {15, TagVersion::V2, "URL:", 30, 67},          {16, TagVersion::V2, "Encoded By:", 30, 68},
      {4, TagVersion::V2, "Track:", 0, 61},
  };
  ASSERT_EQ(fieldSpecs().size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const FieldSpec& spec = fieldSpecs()[i];
    SCOPED_TRACE(spec.index);
    EXPECT_EQ(spec.index, rows[i].index);
    EXPECT_EQ(spec.version, rows[i].version);
    EXPECT_STREQ(spec.caption, rows[i].caption);
    EXPECT_EQ(spec.typedLimit, rows[i].limit);
    EXPECT_EQ(spec.topic, rows[i].topic);
    EXPECT_EQ(&fieldSpec(spec.index), &spec);
  }
}

class ComponentMapping : public ::testing::Test {
 protected:
  platform::testing::TestPlatform test;
  inspect::ID3 component{test.fileSystem, test.clock, test.dialogs};
};

TEST_F(ComponentMapping, LoadFillsEveryFieldFromItsProperty) {
  using inspect::ID3;
  const std::pair<int, std::string ID3::*> properties[] = {
      {0, &ID3::TAGv1Title},           {1, &ID3::TAGv1Artist},     {2, &ID3::TAGv1Album},
      {3, &ID3::TAGv1Created},         {5, &ID3::TAGv1Comment},    {6, &ID3::TAGv2Comment},
      {7, &ID3::TAGv2Genre},           {8, &ID3::TAGv2Created},    {9, &ID3::TAGv2Album},
      {10, &ID3::TAGv2Artist},         {11, &ID3::TAGv2Title},     {12, &ID3::TAGv2Composer},
      {13, &ID3::TAGv2OriginalArtist}, {14, &ID3::TAGv2Copyright}, {15, &ID3::TAGv2Url},
      {16, &ID3::TAGv2EncodedBy},      {4, &ID3::TAGv2Track},
  };
  for (const auto& [index, property] : properties) {
    const std::string number = std::to_string(index);
    component.*property = "p" + number;
  }
  component.TAGv1GenreIndex = 17;
  const TagFields fields = fieldsFromComponent(component);
  for (int index = 0; index < kFieldCount; ++index) {
    const std::string number = std::to_string(index);
    EXPECT_EQ(fields.txt[static_cast<std::size_t>(index)], "p" + number);
  }
  EXPECT_STREQ(genreList()[static_cast<std::size_t>(fields.genre)].name, "Rock");
}

TEST_F(ComponentMapping, GenreWithoutANameLoadsTheBlankEntry) {
  for (int number : {255, 149, 200}) {
    component.TAGv1GenreIndex = static_cast<std::int16_t>(number);
    EXPECT_EQ(fieldsFromComponent(component).genre, 0) << number;
  }
}

TEST_F(ComponentMapping, SaveSetsEveryPropertyAndTheGenreAsOneCharacter) {
  TagFields fields = numbered();
  ASSERT_TRUE(fieldsToComponent(fields, component));
  EXPECT_EQ(component.TAGv1Title, "f0");
  EXPECT_EQ(component.TAGv1Artist, "f1");
  EXPECT_EQ(component.TAGv1Album, "f2");
  EXPECT_EQ(component.TAGv1Created, "f3");
  EXPECT_EQ(component.TAGv1Comment, "f5");
  EXPECT_EQ(component.TAGv2Comment, "f6");
  EXPECT_EQ(component.TAGv2Genre, "f7");
  EXPECT_EQ(component.TAGv2Created, "f8");
  EXPECT_EQ(component.TAGv2Album, "f9");
  EXPECT_EQ(component.TAGv2Artist, "f10");
  EXPECT_EQ(component.TAGv2Title, "f11");
  EXPECT_EQ(component.TAGv2Composer, "f12");
  EXPECT_EQ(component.TAGv2OriginalArtist, "f13");
  EXPECT_EQ(component.TAGv2Copyright, "f14");
  EXPECT_EQ(component.TAGv2Url, "f15");
  EXPECT_EQ(component.TAGv2EncodedBy, "f16");
  EXPECT_EQ(component.TAGv2Track, "f4");
  EXPECT_EQ(component.TAGv1Genre, inspect::genreText(17));
  EXPECT_EQ(inspect::genreByte(component.TAGv1Genre), 17);

  fields.genre = 0;
  ASSERT_TRUE(fieldsToComponent(fields, component));
  EXPECT_EQ(inspect::genreByte(component.TAGv1Genre), 255);
}

TEST_F(ComponentMapping, SaveStopsAtTheGenreWhenNoneIsSelected) {
  component.TAGv1Genre = "old";
  component.TAGv1Comment = "old comment";
  component.TAGv2Title = "old title";
  TagFields fields = numbered();
  fields.genre = -1;
  EXPECT_FALSE(fieldsToComponent(fields, component));
  // The four texts before the genre are set; nothing after it.
  EXPECT_EQ(component.TAGv1Title, "f0");
  EXPECT_EQ(component.TAGv1Artist, "f1");
  EXPECT_EQ(component.TAGv1Album, "f2");
  EXPECT_EQ(component.TAGv1Created, "f3");
  EXPECT_EQ(component.TAGv1Genre, "old");
  EXPECT_EQ(component.TAGv1Comment, "old comment");
  EXPECT_EQ(component.TAGv2Title, "old title");
}

TEST(ClearCommands, EmptyTheirFields) {
  TagFields allCleared = numbered();
  clearAllTags(allCleared);
  for (const std::string& text : allCleared.txt) EXPECT_EQ(text, "");
  EXPECT_EQ(allCleared.genre, 0);

  TagFields version1Cleared = numbered();
  clearVersion1(version1Cleared);
  for (int index = 0; index < kFieldCount; ++index) {
    const bool cleared = index == 0 || index == 1 || index == 2 || index == 3 || index == 5;
    EXPECT_EQ(version1Cleared.txt[static_cast<std::size_t>(index)].empty(), cleared) << index;
  }
  EXPECT_EQ(version1Cleared.genre, 0);

  TagFields version2Cleared = numbered();
  clearVersion2(version2Cleared);
  for (int index = 0; index < kFieldCount; ++index) {
    const bool kept = index == 0 || index == 1 || index == 2 || index == 3 || index == 5;
    EXPECT_EQ(version2Cleared.txt[static_cast<std::size_t>(index)].empty(), !kept) << index;
  }
  EXPECT_EQ(version2Cleared.genre, numbered().genre);
}

TEST(CopyCommands, Version2ToVersion1) {
  TagFields fields = numbered();
  fields.txt[kV2Genre] = "Jazz";
  copyVersion2ToVersion1(fields);
  EXPECT_EQ(fields.txt[kV1Title], "f11");
  EXPECT_EQ(fields.txt[kV1Artist], "f10");
  EXPECT_EQ(fields.txt[kV1Album], "f9");
  EXPECT_EQ(fields.txt[kV1Year], "f8");
  EXPECT_EQ(fields.txt[kV1Comment], "f6");
  EXPECT_EQ(genreNumberAt(fields.genre), 8);
  EXPECT_EQ(fields.txt[kV2Track], "f4");

  // A genre text that names no entry leaves the selection.
  fields.txt[kV2Genre] = "jazz";
  copyVersion2ToVersion1(fields);
  EXPECT_EQ(genreNumberAt(fields.genre), 8);
}

TEST(CopyCommands, LongVersion2TitleIsCopiedWhole) {
  TagFields fields;
  fields.txt[kV2Title] = std::string(40, 'x');
  copyVersion2ToVersion1(fields);
  EXPECT_EQ(fields.txt[kV1Title].size(), 40u);
}

TEST(CopyCommands, Version1ToVersion2) {
  TagFields fields = numbered();
  copyVersion1ToVersion2(fields);
  EXPECT_EQ(fields.txt[kV2Title], "f0");
  EXPECT_EQ(fields.txt[kV2Artist], "f1");
  EXPECT_EQ(fields.txt[kV2Album], "f2");
  EXPECT_EQ(fields.txt[kV2Year], "f3");
  EXPECT_EQ(fields.txt[kV2Genre], "Rock");
  EXPECT_EQ(fields.txt[kV2Comment], "f5");
  EXPECT_EQ(fields.txt[kV2Composer], "f12");

  fields.genre = 0;
  copyVersion1ToVersion2(fields);
  EXPECT_EQ(fields.txt[kV2Genre], " ");
  fields.genre = -1;
  copyVersion1ToVersion2(fields);
  EXPECT_EQ(fields.txt[kV2Genre], "");
}

TEST(TitleCase, EveryFieldIncludingYearTrackAndUrl) {
  TagFields fields;
  for (std::string& text : fields.txt) text = "the DARK side";
  fields.txt[kV2Url] = "http://EXAMPLE.org/a b";
  fields.txt[kV2Comment] = "first LINE\nsecond line";
  fields.txt[kV1Title] = "ÉCOLE été";
  fields.genre = 5;
  titleCaseFields(fields);
  EXPECT_EQ(fields.txt[kV2Track], "The Dark Side");
  EXPECT_EQ(fields.txt[kV1Year], "The Dark Side");
  EXPECT_EQ(fields.txt[kV2Title], "The Dark Side");
  EXPECT_EQ(fields.txt[kV2Url], "Http://example.org/a B");
  EXPECT_EQ(fields.txt[kV2Comment], "First Line\nSecond Line");
  EXPECT_EQ(fields.txt[kV1Title], "École Été");
  EXPECT_EQ(fields.genre, 5);
}

TEST(UsePrevious, BeforeAnySaveEmptiesTheFourteenFields) {
  TagFields fields = numbered();
  const RememberedValues nothingYet;
  usePrevious(fields, nothingYet);
  for (int index = 0; index < kFieldCount; ++index) {
    const bool kept = index == kV1Title || index == kV2Title || index == kV2Track;
    EXPECT_EQ(fields.txt[static_cast<std::size_t>(index)].empty(), !kept) << index;
  }
  EXPECT_EQ(fields.genre, numbered().genre);
}

TEST(UsePrevious, PutsBackTheRememberedValuesAndTheirGenre) {
  TagFields saved = numbered();
  saved.txt[kV2Genre] = "Blues";
  RememberedValues remembered;
  remembered.remember(saved);

  TagFields other;
  other.txt[kV1Title] = "own title";
  other.txt[kV2Title] = "own v2 title";
  other.txt[kV2Track] = "07";
  usePrevious(other, remembered);
  EXPECT_EQ(other.txt[kV1Title], "own title");
  EXPECT_EQ(other.txt[kV2Title], "own v2 title");
  EXPECT_EQ(other.txt[kV2Track], "07");
  for (int index : kRememberedFields) {
    EXPECT_EQ(other.txt[static_cast<std::size_t>(index)],
              saved.txt[static_cast<std::size_t>(index)]);
  }
  EXPECT_EQ(genreNumberAt(other.genre), 0);
}

TEST(NameFromFile, TitleFromAnMp3Name) {
  EXPECT_EQ(titleFromFileName("Track 01.mp3"), "Track 01");
  EXPECT_EQ(titleFromFileName("Song.Mp3"), "Song");
  EXPECT_EQ(titleFromFileName("LOUD.MP3"), "LOUD");
  EXPECT_EQ(titleFromFileName("Café.mp3"), "Café");
  EXPECT_EQ(titleFromFileName(".mp3"), "");
  EXPECT_EQ(titleFromFileName("take.wav"), std::nullopt);
  EXPECT_EQ(titleFromFileName("mp3"), std::nullopt);
  EXPECT_EQ(titleFromFileName("song.mp3 "), std::nullopt);
}

TEST(ListedNames, Mp3AndWavInAnyLetterCase) {
  for (const char* name : {"a.mp3", "b.MP3", "c.Mp3", "d.wav", "e.WAV", "f.Wav", ".mp3"}) {
    EXPECT_TRUE(isListedByTagEditor(name)) << name;
  }
  for (const char* name : {"a.txt", "mp3", "a.mp3.bak", "a.mp4", "wav", ""}) {
    EXPECT_FALSE(isListedByTagEditor(name)) << name;
  }
  EXPECT_TRUE(hasMp3Ending("x.mP3"));
  EXPECT_FALSE(hasMp3Ending("x.wav"));
}

TEST(TrackText, AtLeastTwoDigits) {
  EXPECT_EQ(trackText(1), "01");
  EXPECT_EQ(trackText(9), "09");
  EXPECT_EQ(trackText(10), "10");
  EXPECT_EQ(trackText(12), "12");
  EXPECT_EQ(trackText(99), "99");
  EXPECT_EQ(trackText(100), "100");
}

}  // namespace
}  // namespace brindle::tageditor
