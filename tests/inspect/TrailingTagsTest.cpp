// The tags after the audio on crafted bytes: APEv2 footers with and without
// a header, Lyrics3 version 2 and version 1 ends.
#include "inspect/TrailingTags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brindle::inspect {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

/// An APEv2 footer counting `size` bytes (items and footer), with the flag
/// that a header comes first when `withHeader`.
std::string apeFooter(std::uint32_t size, bool withHeader) {
  std::string footer = "APETAGEX";
  for (std::uint32_t value : {2000u, size, 1u, withHeader ? 0x80000000u : 0u}) {
    for (int i = 0; i < 4; ++i) footer += static_cast<char>(value >> (8 * i));
  }
  return footer + std::string(8, '\0');
}

TEST(TrailingTags, LengthsOfTheTagsThatEndHere) {
  struct Row {
    const char* name;
    std::string before;
    std::uint64_t length;
  };
  const Row rows[] = {
      {"APEv2 without header", "audio" + apeFooter(100, false), 100},
      {"APEv2 with header", "audio" + apeFooter(100, true), 132},
      {"APEv2 size below its footer", "audio" + apeFooter(31, false), 0},
      {"Lyrics3 v2", "audio000120LYRICS200", 135},
      {"Lyrics3 v2 size not digits", "audio0001x0LYRICS200", 0},
      {"nothing", std::string(32, '\xAA'), 0},
      {"too short", "LYRICS200", 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(apeOrLyrics3v2Length(bytesOf(row.before)), row.length) << row.name;
  }
}

TEST(TrailingTags, Lyrics3Version1FromItsBeginning) {
  const std::string tag = "LYRICSBEGIN[00:01]la la laLYRICSEND";
  const auto before = bytesOf("audio bytes" + tag);
  EXPECT_TRUE(endsWithLyrics3v1(before));
  EXPECT_EQ(lyrics3v1Length(before), tag.size());
  EXPECT_EQ(lyrics3v1Length(bytesOf("no beginning LYRICSEND")), 0u);
  EXPECT_FALSE(endsWithLyrics3v1(bytesOf("LYRICSEN")));
}

}  // namespace
}  // namespace brindle::inspect
