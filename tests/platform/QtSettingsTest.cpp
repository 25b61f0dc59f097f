// The remembered values in their file: any bytes come back exactly after reopening.
#include "platform/qt/QtSettings.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace brindle::platform::qt {
namespace {

TEST(QtSettings, ValuesSurviveTheFileBeingOpenedAgain) {
  testsupport::TempDir folder;
  const std::pair<std::string, std::string> values[] = {
      {"mainWindow/lastFolder", "/music/\xE9t\xC3\xA9"},
      {"windows/frmmainbrindle/geometry", std::string("\x00\x01\xFF geometry \n=[]", 17)}};
  {
    QtSettings settings(folder / "brindle.conf");
    EXPECT_EQ(settings.value("mainWindow/lastFolder"), std::nullopt);
    for (const auto& [key, value] : values) settings.setValue(key, value + "old");
    for (const auto& [key, value] : values) settings.setValue(key, value);
  }
  QtSettings reopened(folder / "brindle.conf");
  for (const auto& [key, value] : values) EXPECT_EQ(reopened.value(key), value) << key;
}

}  // namespace
}  // namespace brindle::platform::qt
