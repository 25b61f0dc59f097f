// Attached pictures: their fields, the front cover shown, and the frames after setting/removing it.
#include <optional>

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

/// APIC content; the description is already terminated as its encoding wants.
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
    EXPECT_EQ(parsed, row.expected);
    EXPECT_EQ(parsed ? str(renderPicture(*parsed)) : row.content, row.content);
  }
}

TEST(CoverArtTest, ImageTypeComesFromTheFirstBytes) {
  EXPECT_EQ(imageMimeType(vec(kJpeg)).value() + imageMimeType(vec(kPng)).value(),
            "image/jpegimage/png");
  for (const std::string& other : {std::string("GIF89a"), bytes({0xFF}), std::string()})
    EXPECT_EQ(imageMimeType(vec(other)), std::nullopt);
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
};

/// The tag's frames, the front cover's data shown, the frames after a PNG cover is set / removed.
struct TagRow {
  const char* name;
  int major;
  std::string frames;
  std::optional<std::string> shown;
  std::vector<std::string> afterSet, afterRemove;
};

TEST_F(CoverArtTagTest, FrontCoverIsFoundSetAndRemovedKeepingTheOtherFrames) {
  const std::string title = bytes({0}) + "Song";
  const std::string front = apic(0, "image/jpeg", 3, bytes({0}), kJpeg);
  const std::string back = apic(0, "image/jpeg", 4, "Back" + bytes({0}), kJpeg + "b");
  const std::string utf16Front = apic(1, "image/jpeg", 3, bytes({0xFF, 0xFE, 'c', 0, 0, 0}), kJpeg);
  const std::string damaged = bytes({7}) + "image/png";
  const std::string newCover = apic(0, "image/png", 3, bytes({0}), kPng);
  const auto L = [](const std::string& id, const std::string& content, int flags1 = 0) {
    return id + bytes({0, flags1}) + content;
  };
  const std::string grouped = bytes({1}) + front, t23 = frame23("TIT2", title);
  // clang-format off
  const std::vector<TagRow> rows{
      {"front cover after a back cover", 3, t23 + frame23("APIC", back) + frame23("APIC", front),
       kJpeg, {L("TIT2", title), L("APIC", back), L("APIC", newCover)}, {L("TIT2", title), L("APIC", back)}},
      {"a back cover stands for the front", 3, frame23("APIC", back), kJpeg + "b", {L("APIC", newCover)}, {}},
      {"no picture: one is added at the end", 3, frame23("TIT2", title), std::nullopt,
       {L("TIT2", title), L("APIC", newCover)}, {L("TIT2", title)}},
      {"version 2.4, UTF-16 description", 4, frame24("APIC", utf16Front) + frame24("TIT2", title), kJpeg,
       {L("APIC", newCover), L("TIT2", title)}, {L("TIT2", title)}},
      {"two front covers become one", 3, frame23("APIC", front) + t23 + frame23("APIC", utf16Front),
       kJpeg, {L("APIC", newCover), L("TIT2", title)}, {L("TIT2", title)}},
      {"a damaged picture is kept untouched", 3, frame23("APIC", damaged) + frame23("APIC", front), kJpeg,
       {L("APIC", damaged), L("APIC", newCover)}, {L("APIC", damaged)}},
      {"a grouped picture's bytes are not read", 4, frame24("APIC", grouped, 0, 0x40), std::nullopt,
       {L("APIC", grouped, 0x40), L("APIC", newCover)}, {L("APIC", grouped, 0x40)}},
  };
  // clang-format on
  for (const TagRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = song(id3tag(row.major, row.frames, 16) + kAudio);
    auto tag = container();
    ASSERT_TRUE(tag->readtag(path));
    const auto shown = frontCover(tag->frames());
    EXPECT_EQ(shown ? std::optional(str(shown->data)) : std::nullopt, row.shown);
    applyCoverEdit(tag->frames(), CoverEdit{Picture{0, "image/png", 3, {}, vec(kPng)}});
    EXPECT_EQ(framesOf(tag->frames()), row.afterSet);

    ASSERT_TRUE(tag->readtag(path));
    applyCoverEdit(tag->frames(), CoverEdit{});
    EXPECT_EQ(framesOf(tag->frames()), row.afterRemove);
  }
}

}  // namespace
}  // namespace brindle::id3v2
