// The version 1 tag block: reading rules and the record written.
#include "inspect/Id3v1Tag.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace brindle::inspect
