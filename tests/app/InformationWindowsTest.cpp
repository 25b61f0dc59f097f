// The information windows as the main window's menus open them.
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "infowindows/Aboutform.h"
#include "infowindows/HelpForm.h"
#include "infowindows/frmDisclaimer.h"
#include "infowindows/frmWarning.h"
#include "tests/app/MainWindowFixture.h"

namespace brindle::app {
namespace {

template <class Window>
std::vector<Window*> openWindows() {
  std::vector<Window*> found;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible()) {
      found.push_back(window);
    }
  }
  return found;
}

class InformationWindowsTest : public MainWindowFixture {
 protected:
  void SetUp() override { start(); }
};

TEST_F(InformationWindowsTest, HelpAndAboutOpenModelessOnce) {
  window->menuItem("help1")->trigger();
  window->menuItem("about")->trigger();
  window->menuItem("about")->trigger();
  ASSERT_EQ(openWindows<infowindows::HelpForm>().size(), 1u);
  ASSERT_EQ(openWindows<infowindows::Aboutform>().size(), 1u);
  EXPECT_EQ(openWindows<infowindows::HelpForm>()[0]->windowTitle(), "Help");
  EXPECT_FALSE(openWindows<infowindows::HelpForm>()[0]->isModal());
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(test.dialogs.calls().empty());
}

TEST_F(InformationWindowsTest, DisclaimerThenWarningAndOkShowsMainWindow) {
  programFolder.write("User License Agreement.txt", "Terms.\r\n");
  window->menuItem("mnudisclaimer")->trigger();
  auto disclaimers = openWindows<infowindows::frmDisclaimer>();
  auto warnings = openWindows<infowindows::frmWarning>();
  ASSERT_EQ(disclaimers.size(), 1u);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(disclaimers[0]->text1(), "Terms.\r\n");

  window->hide();
  QTest::mouseClick(disclaimers[0]->findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_TRUE(openWindows<infowindows::frmDisclaimer>().empty());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(openWindows<infowindows::frmWarning>().size(), 1u);
}

TEST_F(InformationWindowsTest, MissingAgreementGivesEmptyTextAndNoMessage) {
  window->menuItem("mnudisclaimer")->trigger();
  ASSERT_EQ(openWindows<infowindows::frmDisclaimer>().size(), 1u);
  EXPECT_EQ(openWindows<infowindows::frmDisclaimer>()[0]->text1(), "");
  EXPECT_TRUE(test.dialogs.calls().empty());
}

TEST_F(InformationWindowsTest, ClosingMainWindowClosesThemAll) {
  window->menuItem("help1")->trigger();
  window->menuItem("about")->trigger();
  window->menuItem("mnudisclaimer")->trigger();
  window->close();
  EXPECT_TRUE(openWindows<infowindows::HelpForm>().empty());
  EXPECT_TRUE(openWindows<infowindows::Aboutform>().empty());
  EXPECT_TRUE(openWindows<infowindows::frmDisclaimer>().empty());
  EXPECT_TRUE(openWindows<infowindows::frmWarning>().empty());
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace brindle::app
