// The About, Help, Warning and Disclaimer windows: version, closing, focus, the agreement read.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <brindle/Version.h>
#include <cerrno>

#include "infowindows/Aboutform.h"
#include "infowindows/HelpForm.h"
#include "infowindows/frmDisclaimer.h"
#include "infowindows/frmWarning.h"
#include "platform/testing/TestPlatform.h"
#include "tests/support/TempDir.h"

namespace brindle::infowindows {
namespace {

using platform::testing::FsOp;

void showAndActivate(QWidget& window) {
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

TEST(InfoWindows, ShowTheVersionOfTheBuild) {
  const QString version = QString::fromLatin1(kVersionText);
  EXPECT_TRUE(Aboutform().findChild<QLabel*>("Label2")->text().endsWith(" " + version));
  EXPECT_TRUE(
      HelpForm().text1().startsWith(QString::fromLatin1(kProductName) + "\r\nVersion " + version));
}

// Warning: its button or a left (not right) click on its frame; About: a click in its frame, not a
// drag out.
TEST(InfoWindows, CloseByTheirControls) {
  frmWarning warning;
  warning.show();
  QTest::mouseClick(warning.frame1(), Qt::RightButton, {}, QPoint(3, 3));
  EXPECT_TRUE(warning.isVisible());
  QTest::mouseClick(warning.frame1(), Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_FALSE(warning.isVisible());
  warning.show();
  QTest::mouseClick(warning.findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_FALSE(warning.isVisible());

  Aboutform about;
  showAndActivate(about);
  QTest::mousePress(about.frame1(), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(about.frame1(), Qt::LeftButton, {}, QPoint(-20, -20));
  EXPECT_TRUE(about.isVisible());
  auto* label = about.findChild<QLabel*>("Label3");
  QTest::mouseClick(about.windowHandle(), Qt::LeftButton, {},
                    label->mapTo(&about, label->rect().center()));
  EXPECT_FALSE(about.isVisible());
}

// Escape closes each (the others stay open); Help's read-only boxes pass the focus on to Text3.
TEST(InfoWindows, EscapeClosesEachAndHelpFocusesText3) {
  QWidget owner;
  owner.show();
  HelpForm help;
  showAndActivate(help);
  auto* text3 = help.findChild<QLineEdit*>("Text3");
  EXPECT_EQ(QApplication::focusWidget(), text3);
  for (const char* name : {"Text1", "Text2"}) {
    help.findChild<QTextEdit*>(name)->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), text3) << name;
  }
  const std::vector<QWidget*> windows{new Aboutform(&owner), new HelpForm(&owner),
                                      new frmWarning(&owner)};
  for (QWidget* window : windows) window->show();
  for (std::size_t i = 0; i < windows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(windows[i]->isWindow());
    showAndActivate(*windows[i]);
    QTest::keyClick(windows[i]->focusWidget() ? windows[i]->focusWidget() : windows[i],
                    Qt::Key_Escape);
    EXPECT_FALSE(windows[i]->isVisible());
    for (std::size_t j = i + 1; j < windows.size(); ++j) EXPECT_TRUE(windows[j]->isVisible());
  }
  EXPECT_TRUE(owner.isVisible());
}

// Missing: empty, nothing said; then read from the program's folder; a failed re-read keeps the
// text; OK, close and Escape all show the main window again.
TEST(Disclaimer, LoadsTheAgreementKeepsItOnAFailureAndCloses) {
  testsupport::TempDir folder;
  platform::testing::TestPlatform test(folder.path());
  int mainShown = 0;
  frmDisclaimer window(test.fileSystem, test.folder, [&] { ++mainShown; });
  auto* text1 = window.findChild<QPlainTextEdit*>("Text1");
  EXPECT_TRUE(window.text1().isEmpty() && text1->toPlainText().isEmpty());
  const std::string agreement =
      folder.write("User License Agreement.txt", "Terms\r\n\r\nLast line");
  EXPECT_EQ(window.agreementPath(), agreement);
  EXPECT_TRUE(window.loadAgreement());
  EXPECT_EQ(test.fileSystem.callsOf(FsOp::ReadFile).at(1).path, agreement);
  EXPECT_EQ(window.text1(), "Terms\r\n\r\nLast line");
  EXPECT_EQ(text1->toPlainText(), "Terms\n\nLast line");
  folder.write("User License Agreement.txt", "Second\r\n");
  test.fileSystem.fail(FsOp::ReadFile, platform::Error{EIO, "injected"}, agreement);
  EXPECT_FALSE(window.loadAgreement());
  EXPECT_EQ(window.text1(), "Terms\r\n\r\nLast line");
  test.fileSystem.clearFaults();
  EXPECT_TRUE(window.loadAgreement());
  EXPECT_EQ(window.text1(), "Second\r\n");
  // UTF-8 if valid, else Latin-1 byte for byte.
  const auto decode = &frmDisclaimer::decodeAgreement;
  EXPECT_EQ(decode("Caf\xC3\xA9") + decode("Caf\xE9 \xA9") + decode("ab\xC3") + decode(""),
            QString::fromUtf8("Caf\xC3\xA9") + QString::fromLatin1("Caf\xE9 \xA9") +
                QString::fromLatin1("ab\xC3"));
  window.show();
  QTest::mouseClick(window.findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
  window.show();
  EXPECT_TRUE(window.close());
  showAndActivate(window);
  QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(mainShown, 3);
  EXPECT_TRUE(test.dialogs.calls().empty());
}

}  // namespace
}  // namespace brindle::infowindows
