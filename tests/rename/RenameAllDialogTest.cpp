// The numbered rename dialog offscreen: defaults, layouts, the previews,
// Accept (remembered), Abort, Enter and Escape, and help mode on each
// control. The numbering itself is tested in the core.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <set>

#include "app/program/InstallRenameCommands.h"
#include "rename/core/RememberedNumbering.h"
#include "rename/renameall.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/rename/RenameTestSupport.h"

namespace brindle::rename {
namespace {

using platform::Answer;
using Names = std::set<std::string>;

class RenameAllDialogTest : public app::MainWindowFixture {
 protected:
  void open(std::initializer_list<const char*> files = {}) {
    for (const char* name : files) browsed.write(name, name);
    start();
    window->fileList().selectAllEntries();
    commands = &installRenameCommands(*window);
    dialog = &commands->showNumberedDialog();
  }
  template <class Widget = QWidget>
  Widget& control(const char* name) {
    auto* widget = dialog->findChild<Widget*>(name);
    if (!widget) ADD_FAILURE() << "no control " << name;
    return *widget;
  }
  QComboBox& combo() { return control<QComboBox>("Combo1"); }
  QLineEdit& text(const char* name) { return control<QLineEdit>(name); }
  void click(const char* name) { QTest::mouseClick(&control(name), Qt::LeftButton, {}, {5, 5}); }
  void reopen() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    dialog = &commands->showNumberedDialog();
  }
  std::string lastMessage() { return test.dialogs.calls().back().message.text; }
  Names names() { return testing::namesIn(browsed.path()); }

  RenameCommands* commands = nullptr;
  renameall* dialog = nullptr;
};

// The defaults, the start list, the previews (the result as typed and the
// list of renames, which follow the choices), and the two layouts.
TEST_F(RenameAllDialogTest, DefaultsPreviewsAndLayouts) {
  open({"a.mp3"});
  EXPECT_TRUE(control<QRadioButton>("Option1").isChecked());
  EXPECT_TRUE(control<QRadioButton>("Option3").isChecked());
  EXPECT_EQ(text("Text1").text(), "file");
  EXPECT_TRUE(combo().isEditable());
  EXPECT_EQ(combo().currentText(), "01");
  ASSERT_EQ(combo().count(), 1000);
  for (int i : {0, 9, 10, 999}) EXPECT_EQ(combo().itemText(i).toStdString(), numberText(i));
  EXPECT_EQ(text("result").text(), "file 01.ext");
  EXPECT_TRUE(dialog->previewList().isReadOnly());
  EXPECT_EQ(dialog->previewList().toPlainText(), "1 file to rename:\na.mp3 -> file 01.mp3\n");
  text("Text1").setText("song");
  EXPECT_EQ(dialog->previewList().toPlainText(), "1 file to rename:\na.mp3 -> song 01.mp3\n");
  combo().setEditText("001");
  EXPECT_EQ(text("result").text(), "song 001.ext");  // the start as typed
  combo().setCurrentIndex(12);
  EXPECT_EQ(text("result").text(), "song 12.ext");

  EXPECT_TRUE(dialog->showsCommonLayout());
  EXPECT_TRUE(control("result").isVisible());
  EXPECT_FALSE(control("Frame2").isVisible());
  click("Option2");
  EXPECT_FALSE(dialog->showsCommonLayout());
  EXPECT_FALSE(control("result").isVisible());
  EXPECT_TRUE(control("Frame3").isVisible());
  click("Option1");
  EXPECT_TRUE(dialog->showsCommonLayout());
}

// Accept (or Enter) answered No stays open; answered Yes it renames the
// selection and hides the dialog, and its choices are remembered for the
// next dialog; Abort (or Escape) unloads and remembers nothing.
TEST_F(RenameAllDialogTest, AcceptRenamesAndRemembersAbortForgets) {
  open({"track.mp3", "tune.mp3"});
  click("Option2");
  click("Option4");
  text("Text2").setText("-");
  combo().setEditText("07");
  dialog->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  test.dialogs.answer(Answer::No);
  QTest::keyClick(&text("Text1"), Qt::Key_Return);  // Enter accepts: the question first
  EXPECT_TRUE(dialog->isVisible());
  test.dialogs.answer(Answer::Yes);
  click("Accept");
  ASSERT_EQ(test.dialogs.calls().size(), 2u);
  EXPECT_EQ(lastMessage(), "RENAME ALL SELECTED FILES?");
  EXPECT_EQ(names(), (Names{"track-07.mp3", "tune-08.mp3"}));
  EXPECT_EQ(window->fileList().entryName(0), "track-07.mp3");
  EXPECT_FALSE(dialog->isVisible());
  const std::optional<NumberingChoices> stored = rememberedNumbering(test.settings);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->options.layout, NumberingOptions::Layout::UniqueRight);
  EXPECT_EQ(stored->startText, "07");

  reopen();  // hidden, not unloaded
  EXPECT_EQ(text("Text2").text(), "-");
  delete commands->numberedDialog();
  reopen();  // a new dialog, as in the next run
  EXPECT_TRUE(control<QRadioButton>("Option4").isChecked());
  EXPECT_EQ(text("Text2").text(), "-");
  EXPECT_EQ(combo().currentText(), "07");
  text("Text2").setText("_");
  click("Abort");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(commands->numberedDialog(), nullptr);
  reopen();
  EXPECT_EQ(text("Text2").text(), "-");
  dialog->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  QTest::keyClick(&text("Text1"), Qt::Key_Escape);  // Escape aborts
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(commands->numberedDialog(), nullptr);
}

TEST_F(RenameAllDialogTest, AcceptReportsFailuresAfterHiding) {
  open({"a.mp3", "b.mp3", "file 02.mp3"});
  window->fileList().setSelected(2, false);
  test.dialogs.answer(Answer::Yes);
  bool hiddenWhenReported = false;
  test.dialogs.setObserver([&](const platform::testing::DialogCall& call) {
    if (call.message.title == "Rename Files") hiddenWhenReported = !dialog->isVisible();
  });
  click("Accept");
  EXPECT_EQ(lastMessage(), "1 file(s) could not be renamed: the new name is taken or not allowed.");
  EXPECT_TRUE(hiddenWhenReported);
  test.dialogs.setObserver({});
}

// In help mode each control shows its topic once and does nothing else;
// a change shows the topic instead of the preview; the mode is the window's.
TEST_F(RenameAllDialogTest, EveryControlShowsItsTopicInHelpMode) {
  open({"a.mp3"});
  click("helper");
  EXPECT_EQ(dialog->cursor().shape(), Qt::WhatsThisCursor);
  click("helper");
  EXPECT_FALSE(dialog->helpMode().isOn());
  EXPECT_TRUE(test.dialogs.calls().empty());
  click("Option2");  // shows Option3, Option4 and Text2
  const std::pair<const char*, int> controls[] = {
      {"Combo1", 30}, {"Option1", 33}, {"Option2", 34}, {"Option3", 35}, {"Option4", 36},
      {"Text2", 37},  {"Accept", 38},  {"Abort", 39},   {"Text1", 31},   {"result", 32},
  };
  for (const auto& [name, topic] : controls) {
    SCOPED_TRACE(name);
    if (std::string(name) == "Text1") click("Option1");
    test.dialogs.clear();
    click("helper");
    click(name);
    ASSERT_EQ(test.dialogs.calls().size(), 1u);
    EXPECT_EQ(test.dialogs.calls()[0].message.title, "Help!");
    EXPECT_EQ(lastMessage(), topicText(topic));
    EXPECT_FALSE(dialog->helpMode().isOn());
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(commands->numberedDialog(), dialog);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(names(), Names{"a.mp3"});

  click("helper");
  text("Text1").setText("song");
  EXPECT_EQ(lastMessage(), topicText(31));
  EXPECT_EQ(text("result").text(), "file 01.ext");
  click("helper");
  window->menuItem("sensitivehelp")->trigger();  // the same mode: still on
  window->menuItem("selectall")->trigger();
  EXPECT_EQ(lastMessage(), topicText(12));
  EXPECT_FALSE(dialog->helpMode().isOn());
}

}  // namespace
}  // namespace brindle::rename
