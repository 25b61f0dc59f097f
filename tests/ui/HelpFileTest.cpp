// The help file format: which lines open and close a topic and what text is
// shown.
#include "ui/core/HelpFile.h"

#include <gtest/gtest.h>

namespace brindle::ui {
namespace {

TEST(HelpTopicKey, IsUpperCaseMarkerWithNumber) {
  EXPECT_EQ(helpTopicKey(20), "HID:20");
  EXPECT_EQ(helpTopicKey(0), "HID:0");
}

struct TopicCase {
  const char* name;
  const char* file;
  long topic;
  const char* expected;
};

class FindHelpTopic : public ::testing::TestWithParam<TopicCase> {};

TEST_P(FindHelpTopic, ShowsExactlyTheTopicLines) {
  const TopicCase& row = GetParam();
  EXPECT_EQ(findHelpTopic(row.file, helpTopicKey(row.topic)), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Format, FindHelpTopic,
    ::testing::Values(
        TopicCase{"TwoLines", "HID:20\r\nfirst\r\nsecond\r\nHIDOVER:\r\n", 20,
                  "first\r\nsecond\r\n"},
        TopicCase{"LowerCaseOpening", "hid:20\r\ntext\r\nHIDOVER:\r\n", 20, "text\r\n"},
        TopicCase{"LowerCaseClosing", "HID:20\r\ntext\r\nhidover:\r\nafter\r\n", 20, "text\r\n"},
        TopicCase{"ClosingWithLeadingBlankIsText",
                  "HID:20\r\ntext\r\n HIDOVER:\r\nmore\r\nHIDOVER:\r\n", 20,
                  "text\r\n HIDOVER:\r\nmore\r\n"},
        TopicCase{"OpeningWithTrailingBlankDoesNotMatch",
                  "HID:20 \r\nwrong\r\nHIDOVER:\r\nHID:20\r\nright\r\nHIDOVER:\r\n", 20,
                  "right\r\n"},
        TopicCase{"OtherNumberWithSamePrefix", "HID:200\r\nwrong\r\nHIDOVER:\r\n", 20, ""},
        TopicCase{"FirstOfTwoWins", "HID:7\r\none\r\nHIDOVER:\r\nHID:7\r\ntwo\r\nHIDOVER:\r\n", 7,
                  "one\r\n"},
        TopicCase{"MissingTopicIsEmpty", "HID:1\r\nx\r\nHIDOVER:\r\n", 2, ""},
        TopicCase{"NoClosingRunsToEnd", "HID:3\r\na\r\nb", 3, "a\r\nb\r\n"},
        TopicCase{"EmptyTopic", "HID:4\r\nHIDOVER:\r\n", 4, ""},
        TopicCase{"LinesOutsideTopicsIgnored", "intro\r\nHID:5\r\nx\r\nHIDOVER:\r\ntail\r\n", 5,
                  "x\r\n"},
        TopicCase{"EmptyLinesKept", "HID:6\r\n\r\nx\r\n\r\nHIDOVER:\r\n", 6, "\r\nx\r\n\r\n"},
        TopicCase{"UnixLineEndings", "HID:8\nx\ny\nHIDOVER:\n", 8, "x\r\ny\r\n"}),
    [](const ::testing::TestParamInfo<TopicCase>& info) { return info.param.name; });

TEST(Latin1ToUtf8, DecodesHighBytes) {
  EXPECT_EQ(latin1ToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(latin1ToUtf8("plain"), "plain");
  EXPECT_EQ(latin1ToUtf8("\xFF"), "\xC3\xBF");
}

}  // namespace
}  // namespace brindle::ui
