// The remembered values in their file: any bytes come back exactly, also
// after the file was written and opened again.
#include "platform/qt/QtSettings.h"

#include <gtest/gtest.h>

#include "TemporaryFolder.h"

namespace brindle::platform::qt {
namespace {

TEST(QtSettings, ValuesSurviveTheFileBeingOpenedAgain) {
  test::TemporaryFolder folder;
  const std::string path = folder / "brindle.conf";
  const std::string bytes("\x00\x01\xFF geometry \n=[]", 17);
  {
    QtSettings settings(path);
    EXPECT_EQ(settings.value("mainWindow/lastFolder"), std::nullopt);
    settings.setValue("mainWindow/lastFolder", "/music/\xE9t\xC3\xA9");
    settings.setValue("windows/frmmainbrindle/geometry", bytes);
    settings.setValue("windows/frmmainbrindle/geometry", bytes);
  }
  QtSettings reopened(path);
  EXPECT_EQ(reopened.value("mainWindow/lastFolder"), "/music/\xE9t\xC3\xA9");
  EXPECT_EQ(reopened.value("windows/frmmainbrindle/geometry"), bytes);
  EXPECT_FALSE(test::TemporaryFolder::read(path).empty());
}

}  // namespace
}  // namespace brindle::platform::qt
