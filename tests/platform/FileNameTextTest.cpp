// File names between the system's bytes and text on screen: UTF-8 names
// decode, other bytes show as U+FFFD, and a shown text still equal to its
// name's display gives back the name's own bytes.
#include "platform/text/FileNameText.h"

#include <gtest/gtest.h>

namespace brindle::platform {
namespace {

TEST(FileNameText, UndecodableBytesShownAsReplacement) {
  EXPECT_EQ(fileNameToUtf8("café"), "café");
  EXPECT_EQ(fileNameToUtf8("caf\xE9"), "caf\xEF\xBF\xBD");
  EXPECT_EQ(fileNameToText("caf\xE9"), QStringLiteral("caf\uFFFD"));
  EXPECT_EQ(fileNameToText("Ça va \xF0\x9F\x8E\xB5.mp3"),
            QString::fromUtf8("Ça va \xF0\x9F\x8E\xB5.mp3"));
}

TEST(FileNameText, TextToNameIsUtf8) {
  EXPECT_EQ(textToFileName(QStringLiteral("caf\u00E9.mp3")), "caf\xC3\xA9.mp3");
  EXPECT_EQ(textToFileName(QString()), "");
}

TEST(FileNameText, ShownTextKeepsTheNamesOwnBytes) {
  const std::string latin1 = "caf\xE9.mp3";
  EXPECT_EQ(textToFileName(fileNameToText(latin1), latin1), latin1);
  // Once the text is changed, the text's own bytes are the name.
  EXPECT_EQ(textToFileName(QStringLiteral("cafe.mp3"), latin1), "cafe.mp3");
  EXPECT_EQ(textToFileName(QStringLiteral("plain.mp3"), "plain.mp3"), "plain.mp3");
}

}  // namespace
}  // namespace brindle::platform
