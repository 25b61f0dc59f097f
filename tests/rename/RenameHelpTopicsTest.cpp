// The help topics of the rename commands and the numbered rename dialog
// agree with the commands: they quote the questions as the commands ask
// them, and their examples are what the rules give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rename/core/NameRules.h"
#include "tests/support/HelpTopicText.h"

namespace brindle::rename {
namespace {

/// The topic's text in the source tree's help file, on one line.
std::string topicText(int number) {
  return testsupport::helpTopicText(BRINDLE_SOURCE_DIR "/data/Brindlehelp.txt", number);
}

TEST(RenameHelpTopics, EveryTopicHasText) {
  for (int number :
       {15, 16, 17, 18, 19, 20, 21, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 42, 43, 44}) {
    EXPECT_GT(topicText(number).size(), 40u) << "topic " << number;
  }
}

TEST(RenameHelpTopics, QuestionsAsTheCommandsAskThem) {
  const std::pair<int, const char*> quotes[] = {
      {15, "\"RENAME ALL FILES?\""},
      {18, "\"Rename Files Now?\""},
      {19, "\"RENAME ALL SELECTED FILES TO UPPER CASE?\""},
      {20, "\"Rename all Selected Files To Lower Case?\""},
      {21, "\"Rename All Selected To Title Case?\""},
      {30, "\"Error, no numbers\""},
      {38, "\"RENAME ALL SELECTED FILES?\""},
      {42, "\"Rename Files Now?\""},
      {43, "\"Rename Files Now?\""},
      {44, "\"Rename Files Now?\""},
  };
  for (const auto& [number, quote] : quotes) {
    EXPECT_NE(topicText(number).find(quote), std::string::npos)
        << "topic " << number << ": " << quote;
  }
}

TEST(RenameHelpTopics, ExamplesAreWhatTheRulesGive) {
  const NumberingOptions left{NumberingOptions::Layout::UniqueLeft, "", "-"};
  const NumberingOptions right{NumberingOptions::Layout::UniqueRight, "", "-"};
  const NumberingOptions common{NumberingOptions::Layout::Common, "song", ""};
  const std::string firstTwoNumbered =
      numberedName(common, "a.mp3", 1) + ", " + numberedName(common, "b.mp3", 2);
  const std::pair<int, std::string> examples[] = {
      {15, "my.song.mp3 with wav becomes " +
               changeExtension("/m/my.song.mp3", "my.song.mp3", "wav").value_or("?")},
      {21, "my song.MP3 becomes " + titleCase("my song.MP3").value_or("?")},
      {21, "01 o'neil.txt becomes " + titleCase("01 o'neil.txt").value_or("?")},
      {33, "(" + firstTwoNumbered},
      {35, "track.mp3 becomes " + numberedName(left, "track.mp3", 1)},
      {36, "track.mp3 becomes " + numberedName(right, "track.mp3", 1)},
      {42, "01 Song.mp3 with 3 becomes " + removeLeftMost("01 Song.mp3", 3).value_or("?")},
      {43, "Song01.mp3 with 2 becomes " + removeRightMost("Song01.mp3", 2).value_or("?")},
  };
  for (const auto& [number, example] : examples) {
    EXPECT_NE(topicText(number).find(example), std::string::npos)
        << "topic " << number << " lacks: " << example;
  }
}

TEST(RenameHelpTopics, DepartingRulesAreDescribed) {
  EXPECT_NE(topicText(17).find("a name without a folder stays in the folder shown"),
            std::string::npos);
  EXPECT_NE(topicText(30).find("32767"), std::string::npos);
  EXPECT_NE(topicText(36).find("the whole name when it has none"), std::string::npos);
  EXPECT_NE(topicText(38).find("how many could not be renamed"), std::string::npos);
  EXPECT_EQ(topicText(21).find("blanks only"), std::string::npos);
}

}  // namespace
}  // namespace brindle::rename
