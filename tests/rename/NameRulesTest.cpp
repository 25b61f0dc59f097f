// The rename rules, one table of (rule, old name, new name)
// run through the planning step of the walk, plus the character helpers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rename/core/BatchWalk.h"
#include "rename/core/NameRules.h"

namespace brindle::rename {
namespace {

using Kind = RuleResult::Kind;
using Layout = NumberingOptions::Layout;

/// A list of one selected entry, for planning one name.
class OneEntry : public ui::FileListHost {
 public:
  explicit OneEntry(std::string name) : m_name(std::move(name)) {}
  std::string currentDirectory() const override { return "/music"; }
  std::string pathBoxText() const override { return "/music"; }
  int entryCount() const override { return 1; }
  std::string entryName(int) const override { return m_name; }
  std::vector<bool> selectionFlags() const override { return {true}; }
  std::string currentName() const override { return m_name; }
  void setProgressMaximum(int) override {}
  void setProgressValue(int) override {}
  void rereadFileList() override {}

 private:
  std::string m_name;
};

struct Expected {
  Kind kind;
  std::string name;
};
Expected renamedTo(std::string name) {
  return {Kind::Rename, std::move(name)};
}
Expected refused(std::string name) {
  return {Kind::Refused, std::move(name)};
}
const Expected kSame{Kind::Unchanged, ""};

struct Row {
  NameRule rule;
  std::string oldName;
  Expected expected;
};

NameRule numbering(Layout layout, std::string commonName, std::string divider, int start) {
  return numberingRule(NumberingOptions{layout, std::move(commonName), std::move(divider)}, start);
}

std::vector<Row> rows() {
  const NameRule lower = caseRule(CaseKind::Lower);
  const NameRule upper = caseRule(CaseKind::Upper);
  const NameRule title = caseRule(CaseKind::Title);
  // clang-format off
  return {
      // Case: the whole name, extension included; Unicode beyond A-Z.
      {lower, "Track.MP3", renamedTo("track.mp3")},
      // A name already in the asked case is not renamed at all.
      {lower, "song.mp3", kSame}, {lower, "ÉCOLE.MP3", renamedTo("école.mp3")},
      {upper, "Track.MP3", renamedTo("TRACK.MP3")}, {upper, "straße.mp3", renamedTo("STRASSE.MP3")},
      {upper, "çà.txt", renamedTo("ÇÀ.TXT")},
      {title, "my song-two.MP3", renamedTo("My Song-two.mp3")},
      {title, "01 o'neil.txt", renamedTo("01 O'neil.txt")}, {title, "readme", renamedTo("Readme")},
      {title, ".hidden", kSame}, {title, "my_song.mp3", renamedTo("My_song.mp3")},
      {title, "a\tb\vc\fd\re\nf", renamedTo("A\tB\vC\fD\rE\nF")},
      {title, "élan VITAL.mp3", renamedTo("Élan Vital.mp3")},
      // ǅ is the title case of ǆ, not its upper case.
      {title, "ǆemal.txt", renamedTo("ǅemal.txt")},
      // A name that is not UTF-8 has no case mapping and keeps its bytes.
      {lower, "\xC9T\xC9.MP3", kSame}, {upper, "\xE9t\xE9.mp3", kSame},
      {title, "caf\xE9 song", kSame},
      // An encoded surrogate is not UTF-8.
      {lower, "\xED\xA0\x80.MP3", kSame},
      // Replace: left to right, no overlaps, exact comparison.
      {replaceRule("_", " "), "my_song_01.mp3", renamedTo("my song 01.mp3")},
      {replaceRule("a", ""), "Banana.txt", renamedTo("Bnn.txt")},
      {replaceRule("", "x"), "Banana.txt", kSame},
      {replaceRule("aa", "b"), "aaa.txt", renamedTo("ba.txt")},
      {replaceRule("an", "AN"), "Banana.txt", renamedTo("BANANa.txt")},
      {replaceRule(".mp3", ".wav"), "a.mp3.mp3", renamedTo("a.wav.wav")},
      {replaceRule("z", "y"), "Banana.txt", kSame},
      {replaceRule("é", "e"), "Café.mp3", renamedTo("Cafe.mp3")},
      {replaceRule("t", "T"), "\xE9t\xE9.mp3", renamedTo("\xE9T\xE9.mp3")},
      // A path separator, or nothing left, or a dot name: refused.
      {replaceRule("_", "/"), "a_b.mp3", refused("a/b.mp3")},
      {replaceRule("x", ""), "x", refused("")}, {replaceRule("x", "."), "x", refused(".")},
      {replaceRule("x", "."), "xx", refused("..")},
      // Remove left most.
      {removeLeftRule(3), "01 Song.mp3", renamedTo("Song.mp3")},
      {removeLeftRule(0), "01 Song.mp3", kSame}, {removeLeftRule(-2), "01 Song.mp3", kSame},
      // A count longer than the name is skipped; one as long leaves nothing.
      {removeLeftRule(12), "01 Song.mp3", kSame}, {removeLeftRule(11), "01 Song.mp3", refused("")},
      {removeLeftRule(10), "01 Song.mp3", renamedTo("3")},
      {removeLeftRule(1), "Édith.mp3", renamedTo("dith.mp3")},
      // A byte that is not UTF-8 is one character.
      {removeLeftRule(1), "\xC9" "dith.mp3", renamedTo("dith.mp3")},
      // Remove right most: the first period splits the name.
      {removeRightRule(2), "Song01.mp3", renamedTo("Song.mp3")},
      {removeRightRule(1), "my.song.mp3", renamedTo("m.song.mp3")},
      // Counts up to the base's length; beyond it the name stays.
      {removeRightRule(2), "my.song.mp3", renamedTo(".song.mp3")},
      {removeRightRule(4), "Song.mp3", renamedTo(".mp3")}, {removeRightRule(5), "Song.mp3", kSame},
      {removeRightRule(9), "Song.mp3", kSame}, {removeRightRule(2), "README", kSame},
      {removeRightRule(0), "Song01.mp3", kSame}, {removeRightRule(1), ".hidden", kSame},
      {removeRightRule(2), "Andrés.mp3", renamedTo("Andr.mp3")},
      // Remove middle most: every occurrence of the text found at the start.
      {removeMiddleRule(3, 2), "abXYcdXY.txt", renamedTo("abcd.txt")},
      // s + k past the end: the name stays.
      {removeMiddleRule(11, 2), "abXYcdXY.txt", kSame},
      {removeMiddleRule(11, 1), "abXYcdXY.txt", renamedTo("abXYcdXY.tt")},
      // The start L - k + 1 is refused.
      {removeMiddleRule(5, 2), "abcdef", kSame},
      {removeMiddleRule(4, 2), "abcdef", renamedTo("abcf")},
      {removeMiddleRule(0, 2), "abcdef", kSame}, {removeMiddleRule(2, 0), "abcdef", kSame},
      {removeMiddleRule(1, 7), "abcdef", kSame},
      {removeMiddleRule(1, 1), "aXa.txt", renamedTo("X.txt")},
      {removeMiddleRule(2, 1), "ñañ.txt", renamedTo("ññ.txt")},
      // Extension change (the folder is /music).
      {extensionRule("/music", "wav"), "song.mp3", renamedTo("song.wav")},
      {extensionRule("/music", "wav"), "my.song.mp3", renamedTo("my.wav")},
      {extensionRule("/music", "txt"), "README", renamedTo("txt")},
      {extensionRule("/music", "mp3"), "song.MP3", renamedTo("song.mp3")},
      {extensionRule("/music", "mp3"), "song.mp3", kSame},
      {extensionRule("/music", "peg"), "song.mpeg", kSame},
      {extensionRule("/music", "m.3"), "song.mp3", renamedTo("song.m.3")},
      {extensionRule("/music", "xyz"), "ab", renamedTo("xyz")},
      // "/" in the extension: the path ending in it, or refused.
      {extensionRule("/music", "/ab"), "ab", kSame},
      {extensionRule("/music", "a/b"), "song.mp3", refused("song.a/b")},
      // Numbered rename.
      {numbering(Layout::Common, "song", "", 1), "a.mp3", renamedTo("song 01.mp3")},
      {numbering(Layout::Common, "song", "", 3), "c.wav", renamedTo("song 03.wav")},
      {numbering(Layout::Common, "file", "", 1), "clip.mpeg", renamedTo("file 01.peg")},
      {numbering(Layout::Common, "song", "", 0), "a.mp3", renamedTo("song 00.mp3")},
      {numbering(Layout::Common, "song", "", 10), "a.mp3", renamedTo("song 10.mp3")},
      {numbering(Layout::UniqueRight, "", "-", 9), "track.mp3", renamedTo("track-09.mp3")},
      {numbering(Layout::UniqueRight, "", "_", 1), "a.b.mp3", renamedTo("a_01.mp3")},
      {numbering(Layout::UniqueRight, "", "-", 1), "README", renamedTo("README-01.DME")},
      {numbering(Layout::UniqueLeft, "", "", 1), "track.mp3", renamedTo("01track.mp3")},
      {numbering(Layout::UniqueLeft, "", " - ", 12), "track.mp3", renamedTo("12 - track.mp3")},
      {numbering(Layout::Common, "song", "", 32767), "a.mp3", renamedTo("song 32767.mp3")},
      {numbering(Layout::Common, "song", "", 32768), "a.mp3", refused("song 32768.mp3")},
      {numbering(Layout::Common, "a/b", "", 1), "a.mp3", refused("a/b 01.mp3")},
      {numbering(Layout::Common, "song", "", 1), "song 01.mp3", kSame},
  };
  // clang-format on
}

TEST(NameRuleTable, EveryRowGivesItsNewName) {
  for (const Row& row : rows()) {
    SCOPED_TRACE(row.oldName);
    const BatchPlan plan = planBatch(OneEntry(row.oldName), row.rule);
    ASSERT_EQ(plan.entries.size(), 1u);
    const RuleResult& result = plan.entries[0].rule;
    EXPECT_EQ(result.kind, row.expected.kind);
    EXPECT_EQ(result.newName(), row.expected.name);
  }
}

// A change of case alone goes through a temporary name (a file system that
// ignores case takes old and new name for one); a name already in the asked
// case is not renamed at all.
TEST(CaseNames, CaseOnlyChangesGoThroughATemporaryName) {
  EXPECT_FALSE(caseName(CaseKind::Lower, "\xFF.mp3"));
  EXPECT_TRUE(differOnlyInCase("Song.mp3", "song.MP3"));
  EXPECT_FALSE(differOnlyInCase("song.mp3", "song.mp3"));
  EXPECT_FALSE(differOnlyInCase("\xFF.mp3", "\xFF.MP3"));
  const auto planned = [](const std::string& name, const NameRule& rule) {
    return planBatch(OneEntry(name), rule).entries.at(0).rule;
  };
  EXPECT_TRUE(planned("A.TXT", caseRule(CaseKind::Lower)).throughTemporaryName);
  EXPECT_TRUE(planned("a.txt", replaceRule("a", "A")).throughTemporaryName);
  EXPECT_FALSE(planned("a.txt", replaceRule("a", "b")).throughTemporaryName);
}

TEST(ExtensionAnswers, PeriodAndLength) {
  EXPECT_EQ(checkExtension(""), ExtensionAnswer::Empty);
  EXPECT_EQ(checkExtension(".mp3"), ExtensionAnswer::LeadingPeriod);
  EXPECT_EQ(checkExtension("mp3."), ExtensionAnswer::WrongLength);
  EXPECT_EQ(checkExtension("mp"), ExtensionAnswer::WrongLength);
  EXPECT_EQ(checkExtension("m.3"), ExtensionAnswer::Usable);
  EXPECT_EQ(checkExtension("ogg"), ExtensionAnswer::Usable);
  EXPECT_EQ(checkExtension("ñañ"), ExtensionAnswer::Usable);  // three characters, six bytes
}

TEST(Characters, CodePointsOrBytes) {
  EXPECT_EQ(characterCount("Édith"), 5u);
  EXPECT_EQ(characterCount("\xC9"
                           "dith"),
            5u);
  EXPECT_EQ(characterCount(""), 0u);
  EXPECT_EQ(lastCharacters("señor.ñañ", 3), "ñañ");
  EXPECT_EQ(lastCharacters("ab", 3), "ab");
  EXPECT_EQ(characterBounds("añb"), (std::vector<std::size_t>{0, 1, 3, 4}));
}

TEST(PlainFileNames, NoSeparatorsNoDotNames) {
  EXPECT_TRUE(isPlainFileName("a.mp3"));
  EXPECT_TRUE(isPlainFileName("..."));
  EXPECT_TRUE(isPlainFileName("\xFF"));
  EXPECT_FALSE(isPlainFileName(""));
  EXPECT_FALSE(isPlainFileName("."));
  EXPECT_FALSE(isPlainFileName(".."));
  EXPECT_FALSE(isPlainFileName("a/b"));
  EXPECT_FALSE(isPlainFileName(std::string("a\0b", 3)));
}

}  // namespace
}  // namespace brindle::rename
