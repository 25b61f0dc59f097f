// The rename rules as one table run through the planning step, the character
// helpers, typed numbers, the batch preview and the remembered numbering.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/testing/Recorders.h"
#include "rename/core/BatchPreview.h"
#include "rename/core/BatchWalk.h"
#include "rename/core/NameRules.h"
#include "rename/core/NumberEntry.h"
#include "rename/core/RememberedNumbering.h"

namespace brindle::rename {
namespace {

using Kind = RuleResult::Kind;
using enum NumberingOptions::Layout;

/// A list of one selected entry in /music, for planning one name.
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

RuleResult planned(const std::string& name, const NameRule& rule) {
  return planBatch(OneEntry(name), rule).entries.at(0).rule;
}

TEST(NameRuleTable, EveryRowGivesItsNewName) {
  using E = std::pair<Kind, std::string>;
  const auto to = [](std::string name) { return E{Kind::Rename, std::move(name)}; };
  const auto bad = [](std::string name) { return E{Kind::Refused, std::move(name)}; };
  const E same{Kind::Unchanged, ""};
  const NameRule lower = caseRule(CaseKind::Lower), upper = caseRule(CaseKind::Upper),
                 title = caseRule(CaseKind::Title);
  const auto rep = replaceRule;
  const auto left = removeLeftRule, right = removeRightRule;
  const auto middle = removeMiddleRule;
  const auto ext = [](std::string e) { return extensionRule("/music", std::move(e)); };
  const auto common = [](std::string name, int start) {
    return numberingRule({Common, std::move(name), ""}, start);
  };
  const auto uLeft = [](std::string divider, int start) {
    return numberingRule({UniqueLeft, "", std::move(divider)}, start);
  };
  const auto uRight = [](std::string divider, int start) {
    return numberingRule({UniqueRight, "", std::move(divider)}, start);
  };
  const struct {
    NameRule rule;
    std::string oldName;
    E expected;
  } rows[] = {
      // clang-format off
      {lower, "Track.MP3", to("track.mp3")}, {lower, "song.mp3", same},
      {lower, "ÉCOLE.MP3", to("école.mp3")}, {upper, "Track.MP3", to("TRACK.MP3")},
      {upper, "straße.mp3", to("STRASSE.MP3")}, {upper, "çà.txt", to("ÇÀ.TXT")},
      {title, "my song-two.MP3", to("My Song-two.mp3")}, {title, "01 o'neil.txt", to("01 O'neil.txt")},
      {title, "readme", to("Readme")}, {title, ".hidden", same}, {title, "my_song.mp3", to("My_song.mp3")},
      {title, "a\tb\vc\fd\re\nf", to("A\tB\vC\fD\rE\nF")}, {title, "élan VITAL.mp3", to("Élan Vital.mp3")},
      {title, "ǆemal.txt", to("ǅemal.txt")}, {lower, "\xC9T\xC9.MP3", same}, {upper, "\xE9t\xE9.mp3", same},
      {title, "caf\xE9 song", same}, {lower, "\xED\xA0\x80.MP3", same},
      {rep("_", " "), "my_song_01.mp3", to("my song 01.mp3")}, {rep("a", ""), "Banana.txt", to("Bnn.txt")},
      {rep("", "x"), "Banana.txt", same}, {rep("aa", "b"), "aaa.txt", to("ba.txt")},
      {rep("an", "AN"), "Banana.txt", to("BANANa.txt")}, {rep(".mp3", ".wav"), "a.mp3.mp3", to("a.wav.wav")},
      {rep("z", "y"), "Banana.txt", same}, {rep("é", "e"), "Café.mp3", to("Cafe.mp3")},
      {rep("t", "T"), "\xE9t\xE9.mp3", to("\xE9T\xE9.mp3")}, {rep("_", "/"), "a_b.mp3", bad("a/b.mp3")},
      {rep("x", ""), "x", bad("")}, {rep("x", "."), "x", bad(".")}, {rep("x", "."), "xx", bad("..")},
      {left(3), "01 Song.mp3", to("Song.mp3")}, {left(0), "01 Song.mp3", same},
      {left(-2), "01 Song.mp3", same}, {left(12), "01 Song.mp3", same}, {left(11), "01 Song.mp3", bad("")},
      {left(10), "01 Song.mp3", to("3")}, {left(1), "Édith.mp3", to("dith.mp3")},
      {left(1), "\xC9" "dith.mp3", to("dith.mp3")}, {right(2), "Song01.mp3", to("Song.mp3")},
      {right(1), "my.song.mp3", to("m.song.mp3")}, {right(2), "my.song.mp3", to(".song.mp3")},
      {right(4), "Song.mp3", to(".mp3")}, {right(5), "Song.mp3", same}, {right(9), "Song.mp3", same},
      {right(2), "README", same}, {right(0), "Song01.mp3", same}, {right(1), ".hidden", same},
      {right(2), "Andrés.mp3", to("Andr.mp3")}, {middle(3, 2), "abXYcdXY.txt", to("abcd.txt")},
      {middle(11, 2), "abXYcdXY.txt", same}, {middle(11, 1), "abXYcdXY.txt", to("abXYcdXY.tt")},
      {middle(5, 2), "abcdef", same}, {middle(4, 2), "abcdef", to("abcf")}, {middle(0, 2), "abcdef", same},
      {middle(2, 0), "abcdef", same}, {middle(1, 7), "abcdef", same}, {middle(1, 1), "aXa.txt", to("X.txt")},
      {middle(2, 1), "ñañ.txt", to("ññ.txt")}, {ext("wav"), "song.mp3", to("song.wav")},
      {ext("wav"), "my.song.mp3", to("my.wav")}, {ext("txt"), "README", to("txt")},
      {ext("mp3"), "song.MP3", to("song.mp3")}, {ext("mp3"), "song.mp3", same},
      {ext("peg"), "song.mpeg", same}, {ext("m.3"), "song.mp3", to("song.m.3")},
      {ext("xyz"), "ab", to("xyz")}, {ext("/ab"), "ab", same}, {ext("a/b"), "song.mp3", bad("song.a/b")},
      {common("song", 1), "a.mp3", to("song 01.mp3")}, {common("song", 3), "c.wav", to("song 03.wav")},
      {common("file", 1), "clip.mpeg", to("file 01.peg")}, {common("song", 0), "a.mp3", to("song 00.mp3")},
      {common("song", 10), "a.mp3", to("song 10.mp3")}, {uRight("-", 9), "track.mp3", to("track-09.mp3")},
      {uRight("_", 1), "a.b.mp3", to("a_01.mp3")}, {uRight("-", 1), "README", to("README-01.DME")},
      {uLeft("", 1), "track.mp3", to("01track.mp3")}, {common("song", 1), "song 01.mp3", same},
      {uLeft(" - ", 12), "track.mp3", to("12 - track.mp3")}, {common("a/b", 1), "a.mp3", bad("a/b 01.mp3")},
      {common("song", 32767), "a.mp3", to("song 32767.mp3")},
      {common("song", 32768), "a.mp3", bad("song 32768.mp3")},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.oldName);
    const RuleResult result = planned(row.oldName, row.rule);
    EXPECT_EQ(E(result.kind, result.newName()), row.expected);
  }
}

// A change of case alone goes through a temporary name (for file systems that ignore case).
TEST(CaseNames, CaseOnlyChangesGoThroughATemporaryName) {
  EXPECT_FALSE(caseName(CaseKind::Lower, "\xFF.mp3"));
  EXPECT_TRUE(differOnlyInCase("Song.mp3", "song.MP3"));
  EXPECT_FALSE(differOnlyInCase("song.mp3", "song.mp3"));
  EXPECT_FALSE(differOnlyInCase("\xFF.mp3", "\xFF.MP3"));
  EXPECT_TRUE(planned("A.TXT", caseRule(CaseKind::Lower)).throughTemporaryName);
  EXPECT_TRUE(planned("a.txt", replaceRule("a", "A")).throughTemporaryName);
  EXPECT_FALSE(planned("a.txt", replaceRule("a", "b")).throughTemporaryName);
}

TEST(SmallHelpers, ExtensionsCharactersAndPlainNames) {
  using enum ExtensionAnswer;
  const std::vector<ExtensionAnswer> answers = {
      checkExtension(""),    checkExtension(".mp3"), checkExtension("mp3."), checkExtension("mp"),
      checkExtension("m.3"), checkExtension("ogg"),  checkExtension("ñañ")};
  EXPECT_EQ(answers,
            (std::vector{Empty, LeadingPeriod, WrongLength, WrongLength, Usable, Usable, Usable}));
  EXPECT_EQ(characterCount("Édith"), 5u);
  EXPECT_EQ(characterCount("\xC9"
                           "dith"),
            5u);
  EXPECT_EQ(characterCount(""), 0u);
  EXPECT_EQ(lastCharacters("señor.ñañ", 3), "ñañ");
  EXPECT_EQ(lastCharacters("ab", 3), "ab");
  EXPECT_EQ(characterBounds("añb"), (std::vector<std::size_t>{0, 1, 3, 4}));
  for (std::string name : {"a.mp3", "...", "\xFF"}) EXPECT_TRUE(isPlainFileName(name)) << name;
  for (std::string name : std::vector<std::string>{"", ".", "..", "a/b", {"a\0b", 3}})
    EXPECT_FALSE(isPlainFileName(name)) << name;
}

// Typed 16-bit counts and start numbers; an unusable entry keeps the current value.
TEST(NumberEntry, ReadsAsANumericText) {
  const std::optional<std::int16_t> none;
  const struct {
    const char* typed;
    std::optional<std::int16_t> value;
  } rows[] = {
      // clang-format off
      {"3", 3}, {" 3 ", 3}, {"\t7\t", 7}, {"+4", 4}, {"-2", -2}, {"2.5", 2}, {"3.5", 4}, {"-2.5", -2},
      {"0.5", 0}, {"1.5", 2}, {".5", 0}, {"1e1", 10}, {"32767", 32767}, {"-32768", -32768},
      {"32767.4", 32767}, {"32767.5", none}, {"32768", none}, {"-32769", none}, {"", none}, {"   ", none},
      {"abc", none}, {"3abc", none}, {"1 2", none}, {"-", none}, {".", none}, {"1e", none}, {"inf", none},
      {"nan", none}, {"99999999999999999999", none},
      // clang-format on
  };
  for (const auto& row : rows) EXPECT_EQ(parseNumberEntry(row.typed), row.value) << row.typed;
  EXPECT_EQ(
      std::vector({enteredOr("", 2), enteredOr("x", -5), enteredOr("40000", 7), enteredOr("4", 7)}),
      (std::vector<std::int16_t>{2, -5, 7, 4}));
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  const struct {
    const char* text;
    std::int64_t value;
  } rows[] = {
      // clang-format off
      {"01", 1}, {"001", 1}, {"9", 9}, {"abc", 0}, {"", 0}, {"-3", -3}, {"2.5x", 2}, {"  12abc", 12},
      {"1.5", 2}, {"-0.4", 0}, {"-0.6", -1}, {"99999", 99999}, {"32768", 32768}, {"+7", 7}, {"x12", 0},
      {"1e400", std::numeric_limits<std::int64_t>::max()},
      {"-99999999999999999999999", std::numeric_limits<std::int64_t>::min()},
      // clang-format on
  };
  for (const auto& row : rows) EXPECT_EQ(leadingNumber(row.text), row.value) << row.text;
}

// The preview lists each selected entry, marks refusals, and cuts a long list with a count.
TEST(BatchPreview, ListsEveryEntryMarksRefusalsAndCutsLongLists) {
  BatchPlan plan;
  plan.entryCount = 5;
  plan.entries = {{0, "a.mp3", RuleResult::renameTo("a.mp3", "A.MP3")},
                  {1, "B.MP3", RuleResult::unchanged()},
                  {2, "c.mp3", RuleResult::refused("A.MP3", kNameTakenByEarlierEntry)},
                  {4, "\xE9.mp3", RuleResult::refused("x/y.mp3", "not a plain file name")}};
  EXPECT_EQ(previewText(plan),
            "1 file to rename, 2 not renamed (marked):\na.mp3 -> A.MP3\nB.MP3 (unchanged)\n"
            "c.mp3 -> A.MP3  [not renamed: an earlier file of the batch gets this name]\n"
            "\xEF\xBF\xBD.mp3 -> x/y.mp3  [not renamed: not a plain file name]\n");
  plan.entries.clear();
  for (int i = 0; i < 5; ++i) {
    const std::string name = std::to_string(i) + ".txt";
    plan.entries.push_back({i, name, RuleResult::renameTo(name, "n" + name)});
  }
  EXPECT_EQ(previewText(plan, 2),
            "5 files to rename:\n0.txt -> n0.txt\n1.txt -> n1.txt\n... and 3 more\n");
}

// The remembered choices come back exactly; nothing from missing or unreadable values.
TEST(RememberedNumbering, ChoicesComeBackAsStoredUnreadableGivesNothing) {
  for (NumberingOptions::Layout layout : {Common, UniqueLeft, UniqueRight}) {
    platform::testing::MemorySettings settings;
    const NumberingChoices choices{{layout, "Caf\xC3\xA9 \xFF", " - "}, "007"};
    rememberNumbering(settings, choices);
    EXPECT_EQ(rememberedNumbering(settings), choices);
  }
  platform::testing::MemorySettings settings;
  EXPECT_EQ(rememberedNumbering(settings), std::nullopt);
  settings.setValue("numberedRename/layout", "sideways");
  EXPECT_EQ(rememberedNumbering(settings), std::nullopt);
}

}  // namespace
}  // namespace brindle::rename
