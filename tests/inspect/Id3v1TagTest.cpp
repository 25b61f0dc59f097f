// The version 1 tag block: reading rules and the record written.
#include "inspect/Id3v1Tag.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace brindle::inspect {
namespace {

using Block = std::array<std::uint8_t, kId3v1Size>;

/// A block with "TAG" (or `marker`) and the given raw fields.
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

TEST(ParseId3v1, MarkerInAnyCase) {
  EXPECT_TRUE(parseId3v1(block("x", {}, 0, "tag")).has_value());
  EXPECT_TRUE(parseId3v1(block("x", {}, 0, "Tag")).has_value());
  EXPECT_FALSE(parseId3v1(block("x", {}, 0, "TAH")).has_value());
}

TEST(ParseId3v1, TitleAndArtistAreCutAtZeroAlbumIsNot) {
  const auto fields = parseId3v1(block("Four", std::string("Disc") + std::string(26, '\0')));
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->title, "Four");
  EXPECT_EQ(fields->album, std::string("Disc") + std::string(26, '\0'));
  const std::string full(30, 'T');
  EXPECT_EQ(parseId3v1(block(full))->title, full);
}

TEST(ParseId3v1, BlanksTrimmedBeforeTheCut) {
  const auto fields = parseId3v1(block(std::string(" ab  ") + std::string(25, '\0')));
  EXPECT_EQ(fields->title, "ab  ");
  const auto padded = parseId3v1(block("", {}, 0, "TAG", "Band" + std::string(26, ' ')));
  EXPECT_EQ(padded->artist, "Band");
}

TEST(ParseId3v1, GenreIsTheRawByteAndTextIsLatin1) {
  EXPECT_EQ(parseId3v1(block("x", {}, 255))->genre, 255);
  EXPECT_EQ(parseId3v1(block("x", {}, 200))->genre, 200);
  EXPECT_EQ(parseId3v1(block("Caf\xE9"))->title, "Caf\xC3\xA9");
}

TEST(RenderId3v1, FieldsPaddedCutAndLatin1) {
  Id3v1Fields fields;
  fields.title = std::string(40, 'x');
  fields.artist = "Caf\xC3\xA9 \xE2\x98\x83";
  fields.year = "19999";
  fields.genre = genreByte("");
  const Block bytes = renderId3v1(fields);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "TAG");
  EXPECT_EQ(std::string(bytes.begin() + 3, bytes.begin() + 33), std::string(30, 'x'));
  EXPECT_EQ(std::string(bytes.begin() + 33, bytes.begin() + 39), "Caf\xE9 ?");
  EXPECT_EQ(bytes[39], ' ');
  EXPECT_EQ(std::string(bytes.begin() + 93, bytes.begin() + 97), "1999");
  EXPECT_EQ(bytes[127], 32);
  const auto back = parseId3v1(bytes);
  EXPECT_EQ(back->title, std::string(30, 'x'));
  EXPECT_EQ(back->artist, "Caf\xC3\xA9 ?");
}

TEST(GenreText, OneCharacterPerNumber) {
  EXPECT_EQ(genreText(17), "\x11");
  EXPECT_EQ(genreText(255), "\xC3\xBF");
  EXPECT_EQ(genreByte(genreText(255)), 255);
  EXPECT_EQ(genreByte(genreText(0)), 0);
  EXPECT_EQ(genreByte("\xE2\x98\x83"), '?');
}

/// A v1.1 block as other programs write it: a title with a leading blank, an
/// artist with bytes after its zero, a comment with a leading blank, comment
/// byte 28 zero and byte 29 the track (7).
Block version11Block(const std::string& marker = "TAG") {
  Block bytes = block(" Lead", "Disc", 17, marker, std::string("Band\0old", 8));
  const std::string year = "1999";
  const std::string comment = " note";
  std::copy(year.begin(), year.end(), bytes.begin() + 93);
  std::copy(comment.begin(), comment.end(), bytes.begin() + 97);
  bytes[126] = 7;
  return bytes;
}

TEST(ParseId3v1, Version11TrackIsReadAndNotPartOfTheComment) {
  const auto fields = parseId3v1(version11Block());
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->track, 7);
  EXPECT_EQ(fields->comment, "note" + std::string(23, '\0'));
  EXPECT_EQ(parseId3v1(block("x"))->track, 0);  // byte 29 zero: no track
}

// A save over an existing block: the fields the user did not change keep
// their bytes (blanks, bytes after a zero, the v1.1 track), changed ones are
// written as always, and the track stays when the comment changes.
TEST(RenderId3v1Over, UnchangedFieldsKeepTheirBytes) {
  struct Row {
    const char* what;
    Block old;
    void (*change)(Id3v1Fields&);
    /// The bytes expected to differ from `old`: offset and new bytes.
    std::vector<std::pair<std::size_t, std::string>> differences;
  };
  const std::vector<Row> rows = {
      {"nothing changed", version11Block(), [](Id3v1Fields&) {}, {}},
      {"marker in lower case", version11Block("tag"), [](Id3v1Fields&) {}, {{0, "TAG"}}},
      {"title changed",
       version11Block(),
       [](Id3v1Fields& f) { f.title = "New"; },
       {{3, "New" + std::string(27, ' ')}}},
      {"comment changed",
       version11Block(),
       [](Id3v1Fields& f) { f.comment = "Other"; },
       {{97, "Other" + std::string(23, ' ')}}},
      {"genre changed",
       version11Block(),
       [](Id3v1Fields& f) { f.genre = 3; },
       {{127, std::string(1, '\3')}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Id3v1Fields fields = *parseId3v1(row.old);
    row.change(fields);
    fields.track = 0;  // what a caller that knows nothing of the track passes
    Block expected = row.old;
    for (const auto& [offset, bytes] : row.differences) {
      std::copy(bytes.begin(), bytes.end(), expected.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    EXPECT_EQ(renderId3v1Over(row.old, fields), expected);
  }
  Block noTag{};
  Id3v1Fields fields;
  fields.title = "T";
  EXPECT_EQ(renderId3v1Over(noTag, fields), renderId3v1(fields));
}

}  // namespace
}  // namespace brindle::inspect
