// File names between the system's bytes and text on screen: UTF-8 names decode, other bytes
// show as U+FFFD, and a shown text still equal to its name's display gives back the name.
#include "platform/text/FileNameText.h"

#include <gtest/gtest.h>

namespace brindle::platform {
namespace {

TEST(FileNameText, BytesToTextAndBack) {
  const std::string latin1 = "caf\xE9.mp3";
  EXPECT_EQ(fileNameToUtf8("café"), "café");
  EXPECT_EQ(fileNameToUtf8(latin1), "caf\xEF\xBF\xBD.mp3");
  EXPECT_EQ(fileNameToText(latin1), QStringLiteral("caf\uFFFD.mp3"));
  EXPECT_EQ(fileNameToText("\xF0\x9F\x8E\xB5"), QString::fromUtf8("\xF0\x9F\x8E\xB5"));
  EXPECT_EQ(textToFileName(QStringLiteral("caf\u00E9.mp3")), "caf\xC3\xA9.mp3");
  EXPECT_EQ(textToFileName(fileNameToText(latin1), latin1), latin1);
  EXPECT_EQ(textToFileName(QStringLiteral("cafe.mp3"), latin1), "cafe.mp3") << "changed text";
}

}  // namespace
}  // namespace brindle::platform
