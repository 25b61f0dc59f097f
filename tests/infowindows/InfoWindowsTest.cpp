// Tests of the About, Help and Warning windows: texts, captions, closing by
// their controls, the focus rule of the Help window and their independence.
#include <gtest/gtest.h>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "infowindows/Aboutform.h"
#include "infowindows/HelpForm.h"
#include "infowindows/frmWarning.h"

namespace brindle::infowindows {
namespace {

template <class T>
T* child(const QWidget& window, const char* name) {
  return window.findChild<T*>(QString::fromLatin1(name));
}

void showAndActivate(QWidget& window) {
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// --- Warning window -------------------------------------------------------

TEST(WarningTest, TextIsExactAnd241CharactersLong) {
  const QString expected = QStringLiteral(
      "WARNING WARNING WARNING WARNING WARNING WARNING WARNING \r\n\r\n"
      "This software renames, deletes and alters files on your drive.  Please make a \r\n"
      "copy of several files in a temporary directory and experiment on them before \r\n"
      "using this software.\r\n");
  EXPECT_EQ(frmWarning::warningText(), expected);
  EXPECT_EQ(frmWarning::warningText().size(), 241);

  frmWarning window;
  EXPECT_EQ(window.text1(), expected);
  auto* text1 = child<QPlainTextEdit>(window, "Text1");
  ASSERT_NE(text1, nullptr);
  EXPECT_TRUE(text1->isReadOnly());
  // The box shows the same lines with plain line breaks.
  QString shown = expected;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  EXPECT_EQ(text1->toPlainText(), shown);
  EXPECT_EQ(text1->document()->blockCount(), 6);
}

TEST(WarningTest, HasNoCaptionAndItsTextSitsInFrame1) {
  frmWarning window;
  EXPECT_TRUE(window.windowTitle().isEmpty());
  auto* frame = child<QWidget>(window, "Frame1");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame, window.frame1());
  auto* text1 = child<QPlainTextEdit>(window, "Text1");
  ASSERT_NE(text1, nullptr);
  EXPECT_TRUE(frame->isAncestorOf(text1));
  auto* command1 = child<QPushButton>(window, "Command1");
  ASSERT_NE(command1, nullptr);
  EXPECT_EQ(command1->text(), QStringLiteral("OK I Will"));
}

TEST(WarningTest, ButtonClosesTheWindow) {
  frmWarning window;
  window.show();
  ASSERT_TRUE(window.isVisible());
  QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
}

TEST(WarningTest, LeftClickOnFrame1ClosesTheWindow) {
  frmWarning window;
  window.show();
  QWidget* frame = child<QWidget>(window, "Frame1");
  ASSERT_NE(frame, nullptr);
  // A click on the frame's border, beside the text box.
  QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_FALSE(window.isVisible());
}

TEST(WarningTest, RightClickOnFrame1LeavesTheWindowOpen) {
  frmWarning window;
  window.show();
  QTest::mouseClick(child<QWidget>(window, "Frame1"), Qt::RightButton, {}, QPoint(3, 3));
  EXPECT_TRUE(window.isVisible());
}

// --- About window ---------------------------------------------------------

TEST(AboutTest, CaptionNameVersionAndCredits) {
  Aboutform window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("About"));
  EXPECT_TRUE(window.isWindow());
  auto* name = child<QLabel>(window, "Label1");
  auto* version = child<QLabel>(window, "Label2");
  ASSERT_NE(name, nullptr);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(name->text(), QStringLiteral("Brindle"));
  EXPECT_EQ(version->text(), QStringLiteral("Version 1.5.2"));
  EXPECT_EQ(QStringLiteral(BRINDLE_VERSION_TEXT), QStringLiteral("1.5.2"));
  QWidget* frame = child<QWidget>(window, "Frame1");
  ASSERT_NE(frame, nullptr);
  for (const char* credit : {"Label3", "Label4", "Label5"}) {
    auto* label = child<QLabel>(window, credit);
    ASSERT_NE(label, nullptr) << credit;
    EXPECT_FALSE(label->text().isEmpty()) << credit;
    EXPECT_TRUE(frame->isAncestorOf(label)) << credit;
  }
}

TEST(AboutTest, ClickOnFrame1ClosesTheWindow) {
  Aboutform window;
  window.show();
  ASSERT_TRUE(window.isVisible());
  QWidget* frame = child<QWidget>(window, "Frame1");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame, window.frame1());
  QTest::mouseClick(frame, Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
}

TEST(AboutTest, ClickOnALabelInsideFrame1ClosesTheWindowToo) {
  Aboutform window;
  showAndActivate(window);
  auto* label = child<QLabel>(window, "Label3");
  ASSERT_NE(label, nullptr);
  // Send the click to the window where the label lies, as a real click does,
  // so the toolkit finds the widget under the mouse itself.
  const QPoint inWindow = label->mapTo(&window, label->rect().center());
  QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, inWindow);
  EXPECT_FALSE(window.isVisible());
}

TEST(AboutTest, PressOnFrameAndReleaseOutsideDoesNotClose) {
  Aboutform window;
  window.show();
  QWidget* frame = child<QWidget>(window, "Frame1");
  QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(-20, -20));
  EXPECT_TRUE(window.isVisible());
}

// --- Help window ----------------------------------------------------------

TEST(HelpTest, Text2IsSetExactlyOnLoad) {
  const QString expected = QStringLiteral(
      "\r\n\r\n"
      "By Clicking the question mark at the top of the form (?) you can then\r\n"
      "click on any menu item to get a brief help screen.  Clicking the help button will\r\n"
      "bring up this help screen.  Any additional help may be obtained my emailng the author.");
  EXPECT_EQ(HelpForm::helpInfoText(), expected);

  HelpForm window;
  EXPECT_EQ(window.text2(), expected);
  auto* text2 = child<QTextEdit>(window, "Text2");
  ASSERT_NE(text2, nullptr);
  EXPECT_TRUE(text2->isReadOnly());
  QString shown = expected;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  EXPECT_EQ(text2->toPlainText(), shown);
  // Two empty lines and three lines of text, the last without a line end.
  EXPECT_EQ(text2->document()->blockCount(), 5);
  EXPECT_TRUE(text2->document()->firstBlock().text().isEmpty());
}

TEST(HelpTest, CaptionFramesAndControls) {
  HelpForm window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Help"));
  auto* frame1 = child<QGroupBox>(window, "Frame1");
  auto* frame2 = child<QGroupBox>(window, "Frame2");
  ASSERT_NE(frame1, nullptr);
  ASSERT_NE(frame2, nullptr);
  EXPECT_EQ(frame1->title(), QStringLiteral(" Help Info "));
  EXPECT_EQ(frame2->title(), QStringLiteral(" Program Info "));
  EXPECT_TRUE(frame1->isAncestorOf(child<QTextEdit>(window, "Text2")));

  auto* picture = child<QLabel>(window, "Picture1");
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->pixmap().isNull());

  EXPECT_NE(child<QLineEdit>(window, "Text3"), nullptr);
  auto* line = child<QWidget>(window, "Line1");
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(frame2->isAncestorOf(line));
  for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"}) {
    auto* label = child<QLabel>(window, name);
    ASSERT_NE(label, nullptr) << name;
    EXPECT_FALSE(label->text().isEmpty()) << name;
    EXPECT_FALSE(label->text().contains(QLatin1Char('@'))) << name;
  }
}

TEST(HelpTest, Text1HoldsTheProgramInformationCentred) {
  HelpForm window;
  auto* text1 = child<QTextEdit>(window, "Text1");
  ASSERT_NE(text1, nullptr);
  EXPECT_TRUE(text1->isReadOnly());
  EXPECT_TRUE(window.text1().startsWith(QStringLiteral("Brindle\r\nVersion 1.5.2\r\n")));
  EXPECT_GE(text1->document()->blockCount(), 3);
  for (const QTextEdit* box : {text1, child<QTextEdit>(window, "Text2")}) {
    for (QTextBlock block = box->document()->firstBlock(); block.isValid(); block = block.next()) {
      EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter)
          << box->objectName().toStdString() << ": " << block.text().toStdString();
    }
  }
}

TEST(HelpTest, FocusOnText1OrText2MovesOnToText3) {
  HelpForm window;
  showAndActivate(window);
  auto* text1 = child<QTextEdit>(window, "Text1");
  auto* text2 = child<QTextEdit>(window, "Text2");
  auto* text3 = child<QLineEdit>(window, "Text3");
  ASSERT_NE(text3, nullptr);
  EXPECT_EQ(QApplication::focusWidget(), text3);

  text1->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), text3);
  EXPECT_FALSE(text1->hasFocus());

  text2->setFocus(Qt::MouseFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), text3);
  EXPECT_FALSE(text2->hasFocus());

  // Tabbing away from Text3 also lands back on it.
  QTest::keyClick(text3, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), text3);
}

TEST(HelpTest, ClosesWithItsCloseControl) {
  HelpForm window;
  window.show();
  EXPECT_TRUE(window.close());
  EXPECT_FALSE(window.isVisible());
}

// --- Independence ---------------------------------------------------------

TEST(IndependenceTest, ClosingOneWindowLeavesTheOthersOpen) {
  Aboutform about;
  HelpForm help;
  frmWarning warning;
  about.show();
  help.show();
  warning.show();

  QTest::mouseClick(child<QPushButton>(warning, "Command1"), Qt::LeftButton);
  EXPECT_FALSE(warning.isVisible());
  EXPECT_TRUE(about.isVisible());
  EXPECT_TRUE(help.isVisible());

  QTest::mouseClick(about.frame1(), Qt::LeftButton);
  EXPECT_FALSE(about.isVisible());
  EXPECT_TRUE(help.isVisible());

  warning.show();
  help.close();
  EXPECT_FALSE(help.isVisible());
  EXPECT_TRUE(warning.isVisible());
}

TEST(IndependenceTest, WindowsWithAParentAreStillWindowsOfTheirOwn) {
  QWidget owner;
  owner.show();
  auto* warning = new frmWarning(&owner);
  auto* about = new Aboutform(&owner);
  EXPECT_TRUE(warning->isWindow());
  EXPECT_TRUE(about->isWindow());
  warning->show();
  about->show();
  about->close();
  EXPECT_TRUE(warning->isVisible());
  EXPECT_TRUE(owner.isVisible());
}

// Escape closes each information window, wherever its focus is.
TEST(InformationWindows, EscapeClosesThem) {
  Aboutform about;
  HelpForm helpWindow;
  frmWarning warning;
  for (QWidget* window : std::initializer_list<QWidget*>{&about, &helpWindow, &warning}) {
    SCOPED_TRACE(window->objectName().toStdString());
    showAndActivate(*window);
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
  }
}

}  // namespace
}  // namespace brindle::infowindows
