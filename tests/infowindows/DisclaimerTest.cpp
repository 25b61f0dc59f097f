// Tests of the Disclaimer window: loading the licence agreement from the
// program's folder through the file system, its failures, and closing.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <string>

#include "infowindows/frmDisclaimer.h"
#include "platform/testing/TestPlatform.h"

namespace brindle::infowindows {
namespace {

using platform::testing::FsOp;
using platform::testing::TestPlatform;

class DisclaimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_test.folder.set(m_dir.path().toStdString());
  }

  std::string agreementPath() const {
    return QDir(m_dir.path()).filePath(QStringLiteral("User License Agreement.txt")).toStdString();
  }

  void writeAgreement(const std::string& bytes) {
    QFile file(QString::fromStdString(agreementPath()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
  }

  frmDisclaimer makeWindow() {
    return {m_test.fileSystem, m_test.folder, [this] { ++m_shown; }};
  }

  static QPlainTextEdit* text1(const frmDisclaimer& window) {
    return window.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
  }
  static QPushButton* command1(const frmDisclaimer& window) {
    return window.findChild<QPushButton*>(QStringLiteral("Command1"));
  }

  static bool anyDialogVisible() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->isVisible() && qobject_cast<QDialog*>(widget) != nullptr) return true;
    }
    return false;
  }

  QTemporaryDir m_dir;
  TestPlatform m_test;
  int m_shown = 0;
};

TEST_F(DisclaimerTest, CaptionControlsAndScrollBar) {
  frmDisclaimer window(m_test.fileSystem, m_test.folder, [] {});
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Disclaimer"));
  ASSERT_NE(text1(window), nullptr);
  EXPECT_TRUE(text1(window)->isReadOnly());
  EXPECT_EQ(text1(window)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  ASSERT_NE(command1(window), nullptr);
  EXPECT_EQ(command1(window)->text(), QStringLiteral("OK"));
}

TEST_F(DisclaimerTest, LoadsTheFileFromTheProgramFolder) {
  const std::string bytes = "Terms of use\r\n\r\nKeep backups.\r\nLast line";
  writeAgreement(bytes);
  frmDisclaimer window(m_test.fileSystem, m_test.folder, [] {});

  EXPECT_EQ(window.agreementPath(), agreementPath());
  const auto reads = m_test.fileSystem.callsOf(FsOp::ReadFile);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].path, agreementPath());

  EXPECT_EQ(window.text1(), QString::fromStdString(bytes));
  EXPECT_EQ(text1(window)->toPlainText(),
            QStringLiteral("Terms of use\n\nKeep backups.\nLast line"));
}

TEST_F(DisclaimerTest, EightBitTextIsReadOneCharacterPerByte) {
  // 0xE9 alone is not UTF-8: it is taken as Latin-1 (small e with acute).
  const std::string bytes = "Caf\xE9 \xA9 2026\r\n";
  writeAgreement(bytes);
  frmDisclaimer window(m_test.fileSystem, m_test.folder, [] {});
  EXPECT_EQ(window.text1().size(), static_cast<qsizetype>(bytes.size()));
  EXPECT_EQ(window.text1(), QString::fromLatin1(bytes.data(), bytes.size()));
  EXPECT_EQ(window.text1().at(3), QChar(0xE9));
}

TEST_F(DisclaimerTest, ValidUtf8IsDecodedAsUtf8) {
  writeAgreement("Caf\xC3\xA9\r\n");
  frmDisclaimer window(m_test.fileSystem, m_test.folder, [] {});
  EXPECT_EQ(window.text1(), QString::fromUtf8("Caf\xC3\xA9\r\n"));
  EXPECT_EQ(window.text1().size(), 6);
}

TEST_F(DisclaimerTest, AnIncompleteUtf8SequenceAtTheEndIsLatin1) {
  EXPECT_EQ(frmDisclaimer::decodeAgreement("ab\xC3"), QString::fromLatin1("ab\xC3"));
  EXPECT_EQ(frmDisclaimer::decodeAgreement(""), QString());
}

TEST_F(DisclaimerTest, MissingFileGivesEmptyTextNoMessageAndOkStillCloses) {
  frmDisclaimer window = makeWindow();
  window.show();
  QApplication::processEvents();
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.text1().isEmpty());
  EXPECT_TRUE(text1(window)->toPlainText().isEmpty());
  EXPECT_TRUE(m_test.dialogs.calls().empty());
  EXPECT_FALSE(anyDialogVisible());
  EXPECT_EQ(m_shown, 0);

  QTest::mouseClick(command1(window), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(m_shown, 1);
  EXPECT_TRUE(m_test.dialogs.calls().empty());
}

TEST_F(DisclaimerTest, ClosingByTheCloseControlAlsoShowsTheMainWindow) {
  frmDisclaimer window = makeWindow();
  window.show();
  EXPECT_TRUE(window.close());
  EXPECT_EQ(m_shown, 1);
  window.show();
  EXPECT_TRUE(window.close());
  EXPECT_EQ(m_shown, 2);
}

TEST_F(DisclaimerTest, MainWindowIsShownByTheCallback) {
  QWidget mainWindow;
  frmDisclaimer window(m_test.fileSystem, m_test.folder, [&mainWindow] { mainWindow.show(); });
  window.show();
  ASSERT_FALSE(mainWindow.isVisible());
  QTest::mouseClick(command1(window), Qt::LeftButton);
  EXPECT_TRUE(mainWindow.isVisible());
}

TEST_F(DisclaimerTest, ReadFailureKeepsTheTextItHad) {
  writeAgreement("First version\r\n");
  frmDisclaimer window(m_test.fileSystem, m_test.folder, [] {});
  ASSERT_EQ(window.text1(), QStringLiteral("First version\r\n"));

  writeAgreement("Second version\r\n");
  m_test.fileSystem.fail(FsOp::ReadFile, platform::Error{EIO, "injected read failure"},
                         agreementPath());
  EXPECT_FALSE(window.loadAgreement());
  EXPECT_EQ(window.text1(), QStringLiteral("First version\r\n"));
  EXPECT_EQ(text1(window)->toPlainText(), QStringLiteral("First version\n"));
  EXPECT_TRUE(m_test.dialogs.calls().empty());

  // Without the fault the same call reads the new content.
  m_test.fileSystem.clearFaults();
  EXPECT_TRUE(window.loadAgreement());
  EXPECT_EQ(window.text1(), QStringLiteral("Second version\r\n"));
}

TEST_F(DisclaimerTest, ReadFailureOnFirstLoadLeavesTheTextEmpty) {
  writeAgreement("Present but unreadable\r\n");
  m_test.fileSystem.fail(FsOp::ReadFile, platform::Error{EACCES, "injected"});
  frmDisclaimer window(m_test.fileSystem, m_test.folder, [] {});
  EXPECT_TRUE(window.text1().isEmpty());
  EXPECT_TRUE(text1(window)->toPlainText().isEmpty());
  EXPECT_EQ(m_test.fileSystem.callsOf(FsOp::ReadFile).size(), 1u);
}

TEST_F(DisclaimerTest, ShowsTheSuppliedAgreementFile) {
  m_test.folder.set(BRINDLE_SOURCE_DIR "/data");
  frmDisclaimer window(m_test.fileSystem, m_test.folder, [] {});
  QFile file(QStringLiteral(BRINDLE_SOURCE_DIR "/data/User License Agreement.txt"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_EQ(window.text1(), QString::fromLatin1(bytes));
  EXPECT_TRUE(window.text1().contains(QStringLiteral("MIT")));
  EXPECT_TRUE(window.text1().contains(QStringLiteral("backup")));
}

// Escape closes the window as its close button does: the main window is
// shown afterwards.
TEST_F(DisclaimerTest, EscapeClosesIt) {
  frmDisclaimer window = makeWindow();
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
  QTest::keyClick(target, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(m_shown, 1);
}

}  // namespace
}  // namespace brindle::infowindows
