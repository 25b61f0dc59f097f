// The About, Help and Warning windows: the build's version, closing by their
// controls and Escape, the Help window's focus rule, their independence.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <brindle/Version.h>

#include "infowindows/Aboutform.h"
#include "infowindows/HelpForm.h"
#include "infowindows/frmWarning.h"

namespace brindle::infowindows {
namespace {

void showAndActivate(QWidget& window) {
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

TEST(InfoWindows, ShowTheVersionOfTheBuild) {
  const QString version = QString::fromLatin1(kVersionText);
  EXPECT_TRUE(Aboutform().findChild<QLabel*>("Label2")->text().endsWith(" " + version));
  HelpForm help;
  EXPECT_TRUE(
      help.text1().startsWith(QString::fromLatin1(kProductName) + "\r\nVersion " + version));
}

// The warning closes by its button or a left click on its frame, not a right
// one; About by a click in its frame (a label in it too), not a press dragged out.
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

TEST(InfoWindows, EscapeClosesEachAndTheOthersStayOpen) {
  QWidget owner;
  owner.show();
  auto* about = new Aboutform(&owner);
  auto* help = new HelpForm(&owner);
  auto* warning = new frmWarning(&owner);
  const std::vector<QWidget*> windows{about, help, warning};
  for (QWidget* window : windows) window->show();
  for (std::size_t i = 0; i < windows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(windows[i]->isWindow());
    showAndActivate(*windows[i]);
    QWidget* target = windows[i]->focusWidget() ? windows[i]->focusWidget() : windows[i];
    QTest::keyClick(target, Qt::Key_Escape);
    EXPECT_FALSE(windows[i]->isVisible());
    for (std::size_t j = i + 1; j < windows.size(); ++j) EXPECT_TRUE(windows[j]->isVisible());
  }
  EXPECT_TRUE(owner.isVisible());
}

// The Help window's read-only boxes pass the focus on to Text3.
TEST(InfoWindows, HelpMovesTheFocusOnToText3) {
  HelpForm window;
  showAndActivate(window);
  auto* text3 = window.findChild<QLineEdit*>("Text3");
  EXPECT_EQ(QApplication::focusWidget(), text3);
  for (const char* name : {"Text1", "Text2"}) {
    window.findChild<QTextEdit*>(name)->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), text3) << name;
  }
}

}  // namespace
}  // namespace brindle::infowindows
