// The help topics of the tag editor agree with the window: every control
// with a topic has text, and the topics of the file list and the batch tools
// say what the window does with WAV files and names it cannot load.
#include <gtest/gtest.h>

#include <string>

#include "tageditor/core/TagFields.h"
#include "tests/support/HelpTopicText.h"

namespace brindle::tageditor {
namespace {

/// The topic's text in the source tree's help file, on one line.
std::string topicText(int number) {
  return testsupport::helpTopicText(BRINDLE_SOURCE_DIR "/data/Brindlehelp.txt", number);
}

TEST(TagEditorHelpTopics, EveryControlWithATopicHasText) {
  for (int number : {41, 49, 55, 57, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81}) {
    EXPECT_GT(topicText(number).size(), 10u) << "topic " << number;
  }
  for (const FieldSpec& spec : fieldSpecs()) {
    EXPECT_GT(topicText(spec.topic).size(), 10u) << "field " << spec.index;
  }
}

TEST(TagEditorHelpTopics, TypedLimitsAsTheFieldsHaveThem) {
  for (const FieldSpec& spec : fieldSpecs()) {
    if (spec.typedLimit == 0) continue;
    const std::string limit = "up to " + std::to_string(spec.typedLimit) + " characters";
    EXPECT_NE(topicText(spec.topic).find(limit), std::string::npos) << "field " << spec.index;
  }
  for (int index : {kV1Title, kV1Artist, kV1Album, kV1Comment}) {
    EXPECT_NE(topicText(fieldSpec(index).topic).find("ISO-8859-1"), std::string::npos) << index;
  }
}

TEST(TagEditorHelpTopics, FileListAndBatchToolsNameWavFilesAndSkippedFiles) {
  EXPECT_NE(topicText(57).find("MP3 and WAV files"), std::string::npos);
  EXPECT_NE(topicText(57).find(".mp3 or .MP3"), std::string::npos);
  EXPECT_NE(topicText(76).find("skipped"), std::string::npos);
  EXPECT_NE(topicText(77).find("WAV files take none"), std::string::npos);
  EXPECT_NE(topicText(77).find("01, 02, 03"), std::string::npos);
  EXPECT_EQ(trackText(3), "03");
}

TEST(TagEditorHelpTopics, ReadoutTopicNamesTheTextsOfItsFields) {
  // The readout's fields say what has no line of its own.
  EXPECT_NE(topicText(55).find("MPEG 2.5"), std::string::npos);
  EXPECT_NE(topicText(55).find("VBR 187 kbps"), std::string::npos);
}

}  // namespace
}  // namespace brindle::tageditor
