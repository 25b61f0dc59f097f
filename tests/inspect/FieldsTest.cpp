// Size and time texts, genre and property lookups, the tags after the audio, the version 1 block.
#include <gtest/gtest.h>

#include <set>

#include "inspect/GenreList.h"
#include "inspect/Id3v1Tag.h"
#include "inspect/Properties.h"
#include "inspect/SizeText.h"
#include "inspect/TrailingTags.h"

namespace brindle::inspect {
namespace {

using Block = std::array<std::uint8_t, kId3v1Size>;

std::vector<std::uint8_t> bytesOf(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(SizeText, ThresholdsAreDecimalDivisorIsBinaryDigitsCut) {
  const std::pair<std::int64_t, const char*> rows[] = {
      {0, "0 B"},        {999, "999 B"},      {1000, "0.97 kB"},     {1024, "1 kB"},
      {1126, "1.09 kB"}, {1331, "1.29 kB"},   {999999, "976.56 kB"}, {1000000, "0.95 MB"},
      {1048576, "1 MB"}, {3000000, "2.86 MB"}};
  for (const auto& [bytes, text] : rows) EXPECT_EQ(sizeText(bytes), text) << bytes;
  EXPECT_EQ(sizeText(1500, ','), "1,46 kB");
  const std::pair<std::int64_t, const char*> times[] = {
      {245, "4:05"}, {750, "12:30"}, {59, "0:59"}, {60, "1:00"}, {0, "0:00"}, {-61, "-1:01"}};
  for (const auto& [seconds, text] : times) EXPECT_EQ(minutesAndSeconds(seconds), text);
}

TEST(GenreList, LookupsAtTheEdges) {
  const auto list = genreList();
  ASSERT_EQ(list.size(), 150u);
  EXPECT_STREQ(list[0].name, " ");
  std::set<int> numbers;
  for (std::size_t i = 1; i < list.size(); ++i) numbers.insert(list[i].number);
  EXPECT_EQ(numbers.size(), 149u);
  EXPECT_EQ(*numbers.rbegin(), 148);
  for (const auto& [number, name] : {std::pair{17, "Rock"}, {0, "Blues"}, {28, "Vocal"}}) {
    EXPECT_STREQ(list[static_cast<std::size_t>(genrePositionForNumber(number))].name, name);
    EXPECT_TRUE(isListedGenre(number));
  }
  EXPECT_EQ(genrePositionForNumber(123), 1);
  EXPECT_EQ(genrePositionForNumber(28), 149);
  for (int number : {149, 254, kNoGenre, -1}) {
    EXPECT_EQ(genrePositionForNumber(number), 0) << number;
    EXPECT_FALSE(isListedGenre(number)) << number;
  }
  EXPECT_EQ(genrePositionForText(" "), 0);
  EXPECT_EQ(genrePositionForText("Vocal"), 149);
  EXPECT_EQ(genreNumberAt(genrePositionForText("Drum & Bass")), 127);
  for (const char* text : {"rock", "Rock ", ""}) EXPECT_EQ(genrePositionForText(text), -1);
  const std::pair<int, int> numbersAt[] = {
      {0, kNoGenre}, {149, 28}, {150, kNoGenre}, {-1, kNoGenre}};
  for (const auto& [position, number] : numbersAt) EXPECT_EQ(genreNumberAt(position), number);
}

TEST(Properties, LookupsAndSaveOrder) {
  ASSERT_NE(findProperty("TAGv2Title"), nullptr);
  EXPECT_EQ(findProperty("TAGv2Title")->text(), &ID3::TAGv2Title);
  EXPECT_TRUE(findProperty("tagv2title") == nullptr &&
              findProperty("TAGv1Genre")->tag->v1Field == nullptr);
  EXPECT_TRUE(isWavProperty(*findProperty("WAVFrequency")) &&
              isWavProperty(*findProperty("WavFormat")));
  EXPECT_FALSE(isWavProperty(*findProperty("Mp3Bitrate")));
  using namespace id3v2;
  std::vector<std::int32_t> frames;
  for (const Property* property : version2SaveOrder()) frames.push_back(property->tag->frame);
  EXPECT_EQ(frames, (std::vector<std::int32_t>{TIT2, TALB, TPE1, TCON, TYER, TENC, COMM, TRCK, TOPE,
                                               TCOM, WXXX, TCOP}));
}

/// An APEv2 footer counting `size` bytes, flagged as having a header when `withHeader`.
std::string apeFooter(std::uint32_t size, bool withHeader) {
  std::string footer = "APETAGEX";
  for (std::uint32_t value : {2000u, size, 1u, withHeader ? 0x80000000u : 0u}) {
    for (int i = 0; i < 4; ++i) footer += static_cast<char>(value >> (8 * i));
  }
  return footer + std::string(8, '\0');
}

TEST(TrailingTags, LengthsOfTheTagsThatEndHere) {
  const std::pair<std::string, std::uint64_t> rows[] = {{"audio" + apeFooter(100, false), 100},
                                                        {"audio" + apeFooter(100, true), 132},
                                                        {"audio" + apeFooter(32, false), 32},
                                                        {"audio" + apeFooter(31, false), 0},
                                                        {"audio000120LYRICS200", 135},
                                                        {"000000LYRICS200", 15},
                                                        {"00000LYRICS200", 0},
                                                        {"audio0001x0LYRICS200", 0},
                                                        {"audio0001:0LYRICS200", 0},
                                                        {std::string(32, '\xAA'), 0},
                                                        {"LYRICS200", 0}};
  for (const auto& [before, length] : rows)
    EXPECT_EQ(apeOrLyrics3v2Length(bytesOf(before)), length) << before;
  const std::string tag = "LYRICSBEGIN[00:01]la la laLYRICSEND";
  EXPECT_TRUE(endsWithLyrics3v1(bytesOf("audio" + tag)));
  EXPECT_EQ(lyrics3v1Length(bytesOf("audio" + tag)), tag.size());
  EXPECT_EQ(
      lyrics3v1Length(bytesOf("no beginning LYRICSEND")) + lyrics3v1Length(bytesOf("LYRICSBEGIN")),
      0u);
  EXPECT_FALSE(endsWithLyrics3v1(bytesOf("LYRICSEN")));
}

/// A block with the marker and the given raw fields.
Block block(const std::string& title, const std::string& album = {}, int genre = 0,
            const std::string& marker = "TAG", const std::string& artist = {}) {
  Block bytes{};
  auto put = [&](std::size_t offset, const std::string& text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
  };
  put(0, marker);
  put(3, title);
  put(33, artist);
  put(63, album);
  bytes[127] = static_cast<std::uint8_t>(genre);
  return bytes;
}

/// A v1.1 block as other programs write it: leading blanks, bytes after a zero, track 7.
Block version11Block(const std::string& marker = "TAG") {
  Block bytes = block(" Lead", "Disc", 17, marker, std::string("Band\0old", 8));
  std::copy_n("1999 note", 9, bytes.begin() + 93);
  bytes[126] = 7;
  return bytes;
}

TEST(Id3v1, ParseRules) {
  EXPECT_TRUE(parseId3v1(block("x", {}, 0, "tag")) && parseId3v1(block("x", {}, 0, "Tag")));
  EXPECT_FALSE(parseId3v1(block("x", {}, 0, "TAH")));
  // Title and artist are cut at a zero, the album is not; blanks are trimmed before the cut.
  const auto fields = parseId3v1(block(" ab  ", std::string("Disc") + std::string(26, '\0'), 200,
                                       "TAG", "Band" + std::string(26, ' ')));
  ASSERT_TRUE(fields);  // no track: the comment has 30 bytes
  EXPECT_EQ(fields->title + "|" + fields->artist + "|" + fields->album + "|" + fields->comment +
                "|" + std::to_string(fields->genre) + "|" + std::to_string(fields->track),
            "ab  |Band|Disc" + std::string(26, '\0') + "|" + std::string(30, '\0') + "|200|0");
  EXPECT_EQ(parseId3v1(block(std::string(30, 'T')))->title, std::string(30, 'T'));
  EXPECT_EQ(parseId3v1(block("Caf\xE9"))->title, "Caf\xC3\xA9");
  const auto v11 = parseId3v1(version11Block());
  EXPECT_EQ(v11->comment + std::to_string(v11->track), "note" + std::string(23, '\0') + "7");
}

TEST(Id3v1, RenderPadsCutsAndKeepsUnchangedBytes) {
  Id3v1Fields fields;
  fields.title = std::string(40, 'x');
  fields.artist = "Caf\xC3\xA9 \xE2\x98\x83";
  fields.year = "19999";
  fields.genre = genreByte("");
  const Block bytes = renderId3v1(fields);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 40),
            "TAG" + std::string(30, 'x') + "Caf\xE9 ? ");
  EXPECT_EQ(std::string(bytes.begin() + 93, bytes.begin() + 97), "1999");
  EXPECT_EQ(bytes[127], 32);
  EXPECT_EQ(parseId3v1(bytes)->artist, "Caf\xC3\xA9 ?");
  EXPECT_EQ(genreText(17) + genreText(255), "\x11\xC3\xBF");
  EXPECT_EQ((std::vector<int>{genreByte(genreText(255)), genreByte(genreText(0)),
                              genreByte("\xE2\x98\x83")}),
            (std::vector<int>{255, 0, '?'}));

  // Over an old block, unchanged fields keep their bytes and the track stays.
  struct Row {
    Block old;
    void (*change)(Id3v1Fields&);
    std::size_t offset;
    std::string bytes;
  };
  // clang-format off
  const Row rows[] = {
      {version11Block(), [](Id3v1Fields&) {}, 0, ""},
      {version11Block("tag"), [](Id3v1Fields&) {}, 0, "TAG"},
      {version11Block(), [](Id3v1Fields& f) { f.title = "New"; }, 3, "New" + std::string(27, ' ')},
      {version11Block(), [](Id3v1Fields& f) { f.comment = "Other"; }, 97, "Other" + std::string(23, ' ')},
      {version11Block(), [](Id3v1Fields& f) { f.genre = 3; }, 127, "\3"},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bytes);
    Id3v1Fields changed = *parseId3v1(row.old);
    row.change(changed);
    changed.track = 0;
    Block expected = row.old;
    std::copy(row.bytes.begin(), row.bytes.end(),
              expected.begin() + static_cast<std::ptrdiff_t>(row.offset));
    EXPECT_EQ(renderId3v1Over(row.old, changed), expected);
  }
  Id3v1Fields title;
  title.title = "T";
  EXPECT_EQ(renderId3v1Over(Block{}, title), renderId3v1(title));
}

}  // namespace
}  // namespace brindle::inspect
