// Attached pictures crafted byte by byte: their fields, the front cover a
// tag shows, and the frames after setting or removing it (other frames keep
// their bytes, damaged pictures are left alone).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "id3v2/CoverArt.h"
#include "tests/id3v2/TagFixture.h"

namespace brindle::id3v2 {
namespace {

using namespace testbytes;

ByteVector vec(const std::string& text) {
  return ByteVector(text.begin(), text.end());
}
std::string str(const ByteVector& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

const std::string kPng = bytes({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x01});
const std::string kJpeg = bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x00, 0xFF, 0xD9});

/// APIC content: encoding, MIME type, picture type, description (already
/// terminated as its encoding wants), data.
std::string apic(int encoding, const std::string& mime, int type, const std::string& description,
                 const std::string& data) {
  return bytes({encoding}) + mime + bytes({0, type}) + description + data;
}

struct ParseRow {
  const char* name;
  std::string content;
  std::optional<Picture> expected;
};

TEST(CoverArtTest, PictureContentParsesIntoItsFieldsAndRendersBack) {
  const std::string utf16Description = bytes({0xFF, 0xFE, 'F', 0, 'r', 0});
  const std::vector<ParseRow> rows{
      {"Latin-1 description", apic(0, "image/png", 3, "Front" + bytes({0}), kPng),
       Picture{0, "image/png", 3, vec("Front"), vec(kPng)}},
      {"no description", apic(0, "image/jpeg", 3, bytes({0}), kJpeg),
       Picture{0, "image/jpeg", 3, {}, vec(kJpeg)}},
      // The data starts with a zero byte: only the even pair ends the text.
      {"UTF-16 description", apic(1, "image/png", 4, utf16Description + bytes({0, 0}), kPng),
       Picture{1, "image/png", 4, vec(utf16Description), vec(kPng)}},
      {"UTF-16 odd zero pair", apic(1, "", 3, bytes({0xFF, 0xFE, 0x00, 0x41, 0x00, 0x00}), kJpeg),
       Picture{1, "", 3, vec(bytes({0xFF, 0xFE, 0x00, 0x41})), vec(kJpeg)}},
      {"UTF-8 description, empty data", apic(3, "image/png", 0, "d" + bytes({0}), ""),
       Picture{3, "image/png", 0, vec("d"), {}}},
      {"unknown encoding", apic(4, "image/png", 3, bytes({0}), kPng), std::nullopt},
      {"MIME type not terminated", bytes({0}) + "image/png", std::nullopt},
      {"description not terminated", apic(1, "image/png", 3, bytes({0xFF, 0xFE, 'x', 0, 'y'}), ""),
       std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const ParseRow& row : rows) {
    SCOPED_TRACE(row.name);
    const auto parsed = parsePicture(vec(row.content));
    ASSERT_EQ(parsed.has_value(), row.expected.has_value());
    if (!parsed) continue;
    EXPECT_EQ(*parsed, *row.expected);
    EXPECT_EQ(str(renderPicture(*parsed)), row.content);
  }
}

TEST(CoverArtTest, ImageTypeComesFromTheFirstBytes) {
  EXPECT_EQ(imageMimeType(vec(kJpeg)), "image/jpeg");
  EXPECT_EQ(imageMimeType(vec(kPng)), "image/png");
  EXPECT_EQ(imageMimeType(vec("GIF89a")), std::nullopt);
  EXPECT_EQ(imageMimeType(vec(bytes({0xFF}))), std::nullopt);
  EXPECT_EQ(imageMimeType({}), std::nullopt);
}

class CoverArtTagTest : public TagFixture {
 protected:
  /// Each frame of the tag as its id, its two flag bytes and its content.
  static std::vector<std::string> framesOf(const clsF2& frames) {
    std::vector<std::string> out;
    for (std::int32_t at = 1; at <= frames.count(); ++at) {
      const auto frame = frames.item(at);
      std::array<std::uint8_t, 2> flags{};
      frame->getflags(flags);
      ByteVector content;
      frame->getbytes(content);
      out.push_back(frame->frameid() + bytes({flags[0], flags[1]}) + str(content));
    }
    return out;
  }
  static std::string listed(const std::string& id, const std::string& content, int flags1 = 0) {
    return id + bytes({0, flags1}) + content;
  }
};

struct TagRow {
  const char* name;
  int major;
  /// The frames of the tag, as they stand in the file.
  std::string frames;
  /// The front cover's data; nothing when the tag shows none.
  std::optional<std::string> shown;
  /// The frames after a PNG cover is set, and after the cover is removed.
  std::vector<std::string> afterSet;
  std::vector<std::string> afterRemove;
};

TEST_F(CoverArtTagTest, FrontCoverIsFoundSetAndRemovedKeepingTheOtherFrames) {
  const std::string title = bytes({0}) + "Song";
  const std::string front = apic(0, "image/jpeg", 3, bytes({0}), kJpeg);
  const std::string back = apic(0, "image/jpeg", 4, "Back" + bytes({0}), kJpeg + "b");
  const std::string utf16Front = apic(1, "image/jpeg", 3, bytes({0xFF, 0xFE, 'c', 0, 0, 0}), kJpeg);
  const std::string damaged = bytes({7}) + "image/png";
  const std::string newCover = apic(0, "image/png", 3, bytes({0}), kPng);
  const std::vector<TagRow> rows{
      {"front cover after a back cover",
       3,
       frame23("TIT2", title) + frame23("APIC", back) + frame23("APIC", front),
       kJpeg,
       {listed("TIT2", title), listed("APIC", back), listed("APIC", newCover)},
       {listed("TIT2", title), listed("APIC", back)}},
      {"only a back cover stands for the front",
       3,
       frame23("APIC", back),
       kJpeg + "b",
       {listed("APIC", newCover)},
       {}},
      {"no picture: one is added at the end",
       3,
       frame23("TIT2", title),
       std::nullopt,
       {listed("TIT2", title), listed("APIC", newCover)},
       {listed("TIT2", title)}},
      {"version 2.4, UTF-16 description",
       4,
       frame24("APIC", utf16Front) + frame24("TIT2", title),
       kJpeg,
       {listed("APIC", newCover), listed("TIT2", title)},
       {listed("TIT2", title)}},
      {"two front covers become one",
       3,
       frame23("APIC", front) + frame23("TIT2", title) + frame23("APIC", utf16Front),
       kJpeg,
       {listed("APIC", newCover), listed("TIT2", title)},
       {listed("TIT2", title)}},
      {"a damaged picture is kept untouched",
       3,
       frame23("APIC", damaged) + frame23("APIC", front),
       kJpeg,
       {listed("APIC", damaged), listed("APIC", newCover)},
       {listed("APIC", damaged)}},
      {"a grouped picture's bytes are not read",
       4,
       frame24("APIC", bytes({1}) + front, 0, 0x40),
       std::nullopt,
       {listed("APIC", bytes({1}) + front, 0x40), listed("APIC", newCover)},
       {listed("APIC", bytes({1}) + front, 0x40)}},
  };
  for (const TagRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = song(id3tag(row.major, row.frames, 16) + kAudio);
    auto tag = container();
    ASSERT_TRUE(tag->readtag(path));
    const auto shown = frontCover(tag->frames());
    ASSERT_EQ(shown.has_value(), row.shown.has_value());
    if (shown) {
      EXPECT_EQ(str(shown->data), *row.shown);
    }

    applyCoverEdit(tag->frames(), CoverEdit{Picture{0, "image/png", 3, {}, vec(kPng)}});
    EXPECT_EQ(framesOf(tag->frames()), row.afterSet);

    ASSERT_TRUE(tag->readtag(path));
    applyCoverEdit(tag->frames(), CoverEdit{});
    EXPECT_EQ(framesOf(tag->frames()), row.afterRemove);
  }
}

}  // namespace
}  // namespace brindle::id3v2
