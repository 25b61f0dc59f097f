// The Disclaimer window: the licence agreement read from the program's folder
// through the file system and decoded, its failures, and closing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cerrno>

#include "infowindows/frmDisclaimer.h"
#include "platform/testing/TestPlatform.h"
#include "tests/support/TempDir.h"

namespace brindle::infowindows {
namespace {

using platform::testing::FsOp;

class DisclaimerTest : public ::testing::Test {
 protected:
  DisclaimerTest() : test(folder.path()) {}
  std::string agreement() const { return folder.file("User License Agreement.txt"); }
  QString shown(const frmDisclaimer& window) const {
    return window.findChild<QPlainTextEdit*>("Text1")->toPlainText();
  }

  testsupport::TempDir folder;
  platform::testing::TestPlatform test;
  int mainShown = 0;
};

TEST_F(DisclaimerTest, LoadsTheAgreementAndKeepsItsTextOnAFailure) {
  folder.write("User License Agreement.txt", "Terms\r\n\r\nLast line");
  frmDisclaimer window(test.fileSystem, test.folder, [] {});
  EXPECT_EQ(window.agreementPath(), agreement());
  ASSERT_EQ(test.fileSystem.callsOf(FsOp::ReadFile).size(), 1u);
  EXPECT_EQ(test.fileSystem.callsOf(FsOp::ReadFile)[0].path, agreement());
  EXPECT_EQ(window.text1(), "Terms\r\n\r\nLast line");
  EXPECT_EQ(shown(window), "Terms\n\nLast line");

  folder.write("User License Agreement.txt", "Second\r\n");
  test.fileSystem.fail(FsOp::ReadFile, platform::Error{EIO, "injected"}, agreement());
  EXPECT_FALSE(window.loadAgreement());
  EXPECT_EQ(window.text1(), "Terms\r\n\r\nLast line");
  test.fileSystem.clearFaults();
  EXPECT_TRUE(window.loadAgreement());
  EXPECT_EQ(window.text1(), "Second\r\n");
  EXPECT_TRUE(test.dialogs.calls().empty());
}

// Valid UTF-8 is decoded as such; anything else byte for byte as Latin-1.
TEST_F(DisclaimerTest, DecodesUtf8OrElseLatin1) {
  EXPECT_EQ(frmDisclaimer::decodeAgreement("Caf\xC3\xA9"), QString::fromUtf8("Caf\xC3\xA9"));
  EXPECT_EQ(frmDisclaimer::decodeAgreement("Caf\xE9 \xA9"), QString::fromLatin1("Caf\xE9 \xA9"));
  EXPECT_EQ(frmDisclaimer::decodeAgreement("ab\xC3"), QString::fromLatin1("ab\xC3"));
  EXPECT_EQ(frmDisclaimer::decodeAgreement(""), QString());
}

// Missing: an empty text and no message. OK, the close control and Escape
// all close it and show the main window again.
TEST_F(DisclaimerTest, WithoutTheAgreementItStillOpensAndCloses) {
  frmDisclaimer window(test.fileSystem, test.folder, [&] { ++mainShown; });
  EXPECT_TRUE(window.text1().isEmpty());
  EXPECT_TRUE(shown(window).isEmpty());
  window.show();
  QTest::mouseClick(window.findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
  window.show();
  EXPECT_TRUE(window.close());
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(mainShown, 3);
  EXPECT_TRUE(test.dialogs.calls().empty());
}

}  // namespace
}  // namespace brindle::infowindows
