// Wiring of the main window's rename commands and the numbered rename dialog.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <filesystem>

#include "app/program/InstallRenameCommands.h"
#include "rename/core/RememberedNumbering.h"
#include "rename/renameall.h"
#include "tests/app/MainWindowFixture.h"

namespace brindle::rename {
namespace {

using platform::Answer;
using Names = std::vector<std::string>;

class RenameWindowTest : public app::MainWindowFixture {
 protected:
  void startWith(std::initializer_list<const char*> names) {
    for (const char* name : names) browsed.write(name, name);
    start();
    window->fileList().selectAllEntries();
    commands = &installRenameCommands(*window);
  }
  void choose(const char* item) { window->menuItem(item)->trigger(); }
  void openDialog() { dialog = &commands->showNumberedDialog(); }
  template <class Widget = QWidget>
  Widget& control(const char* name) {
    return *dialog->findChild<Widget*>(name);  // a missing control ends the test
  }
  QComboBox& combo() { return control<QComboBox>("Combo1"); }
  QLineEdit& text(const char* name) { return control<QLineEdit>(name); }
  void click(const char* name) { QTest::mouseClick(&control(name), Qt::LeftButton, {}, {5, 5}); }
  std::string lastMessage() { return test.dialogs.calls().back().message.text; }
  /// The text of the one box shown, if it is a help box.
  std::string helpShown() {
    const auto& calls = test.dialogs.calls();
    return calls.size() == 1 && calls[0].message.title == "Help!" ? calls[0].message.text : "";
  }
  /// Text1|Text2|start|result|layout (C: Common or U: Unique, then L or R: the number's place).
  std::string shown() {
    return (text("Text1").text() + "|" + text("Text2").text() + "|" + combo().currentText() + "|" +
            text("result").text() + "|" +
            (control<QRadioButton>("Option1").isChecked() ? "C" : "U") +
            (control<QRadioButton>("Option3").isChecked() ? "L" : "R"))
        .toStdString();
  }
  Names names() { return browsed.names(); }

  RenameCommands* commands = nullptr;
  renameall* dialog = nullptr;
};

// Each menu item shows its topic in help mode, else runs its command with the window's count.
TEST_F(RenameWindowTest, EveryItemRunsItsCommandOrShowsItsTopicInHelpMode) {
  startWith({"My_Song01.MP3"});
  // replies: "=text" is typed; after: none when the numbered dialog opens; count: the window's
  // clang-format off
  const struct { const char* item; int topic; std::vector<std::string> replies; const char* after;
    int count = 0; } items[] = {
      {"renameextension", 15, {"=wav", "Yes"}, "My_Song01.wav"}, {"renamesingle", 17, {"Yes", "=x.mp3"},
       "x.mp3"},
      {"removechars", 18, {"=_", "= ", "OK"}, "My Song01.MP3"}, {"converup", 19, {"Yes"}, "MY_SONG01.MP3"},
      {"convertlow", 20, {"Yes"}, "my_song01.mp3"}, {"titlecase", 21, {"Yes"}, "My_song01.mp3"},
      {"RemoveLeftMost", 42, {"=3", "OK"}, "Song01.MP3", 3},
      {"RemoveRightMost", 43, {"=", "OK"}, "My_Son.MP3", 3},  // the count kept
      {"RemoveRightMost", 43, {"=2", "OK"}, "My_Song.MP3", 2}, {"mmost", 44, {"=3", "=1", "OK"},
       "MySong01.MP3", 1},
      {"renameallfiles", 16, {}, nullptr, 1},
  };
  // clang-format on
  for (const auto& c : items) {
    SCOPED_TRACE(c.item);
    window->fileList().selectAllEntries();
    window->fileList().setListIndex(0);
    test.dialogs.clear();
    choose("sensitivehelp");
    choose(c.item);
    EXPECT_EQ(helpShown(), topicText(c.topic));
    EXPECT_FALSE(window->helpMode().isOn() || commands->numberedDialog());
    EXPECT_EQ(names(), Names{"My_Song01.MP3"});
    for (const std::string& reply : c.replies) {
      if (reply.starts_with('=')) test.dialogs.type(reply.substr(1));
      for (Answer answer : {Answer::Yes, Answer::Ok})
        if (reply == platform::testing::answerName(answer)) test.dialogs.answer(answer);
    }
    choose(c.item);
    EXPECT_EQ(commands->numbers().count, c.count);
    EXPECT_EQ(commands->numberedDialog() != nullptr, !c.after);
    if (!c.after) continue;
    EXPECT_EQ(names(), Names{c.after});
    EXPECT_EQ(window->fileList().entryName(0), c.after);
    std::filesystem::rename(browsed.file(c.after), browsed.file("My_Song01.MP3"));
    window->rereadFileList();
  }
  // The last row opened one modeless dialog: shown again by the item, closed with the window.
  QPointer<renameall> shown = commands->numberedDialog();
  EXPECT_TRUE(shown->isVisible() && !shown->isModal());
  choose("renameallfiles");
  EXPECT_EQ(commands->numberedDialog(), shown);
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(!shown || !shown->isVisible());
}

// "Save Edited" renames the current entry to the name box's text, then empties and disables.
TEST_F(RenameWindowTest, SaveEditedRenamesTheCurrentEntry) {
  startWith({"song.mp3"});
  clickEntry(0);
  window->nameBox().setText("Song.mp3");
  test.dialogs.answer(Answer::Yes);
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  EXPECT_EQ(lastMessage(),
            "Rename:\r\n" + browsed.file("song.mp3") + "\r\nTo:\r\n" + browsed.file("Song.mp3"));
  EXPECT_EQ(window->fileList().entryName(0) + "|" + window->nameBox().text().toStdString() +
                (window->saveEditedButton().isEnabled() ? "|on" : "|off"),
            "Song.mp3||off");
}

// The dialog: defaults, help topics, previews following the choices, layouts, Enter/Accept (No
// stays open; Yes renames, hides, remembers), choices restored, Abort unloads and forgets.
TEST_F(RenameWindowTest, DialogChoicesAcceptAndAbort) {
  startWith({"track.mp3", "tune.mp3"});
  openDialog();
  EXPECT_EQ(shown(), "file||01|file 01.ext|CL");
  // In help mode each control shows its topic once; a change shows it instead of the preview.
  click("Option2");  // shows Option3, Option4 and Text2
  // clang-format off
  const std::pair<const char*, int> controls[] = {{"Combo1", 30}, {"Option1", 33}, {"Option2", 34},
      {"Option3", 35}, {"Option4", 36}, {"Text2", 37}, {"Accept", 38}, {"Abort", 39}, {"Text1", 31},
      {"result", 32}};
  // clang-format on
  for (const auto& [name, topic] : controls) {
    SCOPED_TRACE(name);
    if (std::string(name) == "Text1") click("Option1");
    test.dialogs.clear();
    click("helper");
    click(name);
    EXPECT_EQ(helpShown(), topicText(topic));
    EXPECT_FALSE(dialog->helpMode().isOn());
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(commands->numberedDialog(), dialog);
  EXPECT_TRUE(dialog->isVisible() && names() == Names({"track.mp3", "tune.mp3"}));
  click("helper");
  text("Text1").setText("x");
  EXPECT_EQ(lastMessage() + text("result").text().toStdString(), topicText(31) + "file 01.ext");
  click("helper");
  choose("sensitivehelp");  // the window's help mode is the dialog's: still on
  choose("selectall");
  EXPECT_EQ(lastMessage(), topicText(12));
  test.dialogs.clear();
  text("Text1").setText("song");
  EXPECT_EQ(dialog->previewList().toPlainText(),
            "2 files to rename:\ntrack.mp3 -> song 01.mp3\ntune.mp3 -> song 02.mp3\n");
  combo().setEditText("001");
  EXPECT_EQ(shown(), "song||001|song 001.ext|CL");  // the start as typed
  click("Option2");
  EXPECT_TRUE(!control("result").isVisible() && control("Frame3").isVisible());
  click("Option4");
  text("Text2").setText("-");
  combo().setEditText("07");
  EXPECT_EQ(shown(), "song|-|07|song 07.ext|UR");
  dialog->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  test.dialogs.answer(Answer::No);
  QTest::keyClick(&text("Text1"), Qt::Key_Return);
  EXPECT_TRUE(dialog->isVisible());
  test.dialogs.answer(Answer::Yes);
  click("Accept");
  EXPECT_EQ(test.dialogs.calls().size(), 2u);
  EXPECT_EQ(names(), (Names{"track-07.mp3", "tune-08.mp3"}));
  EXPECT_FALSE(dialog->isVisible());
  NumberingChoices expected;  // built step by step: GCC 12 misreads the braced temporary
  expected.options.layout = NumberingOptions::Layout::UniqueRight;
  expected.options.commonName = "song";
  expected.options.divider = "-";
  expected.startText = "07";
  EXPECT_EQ(rememberedNumbering(test.settings), expected);
  delete commands->numberedDialog();
  openDialog();  // a new dialog, as in the next run
  EXPECT_EQ(shown(), "song|-|07|song 07.ext|UR");
  text("Text2").setText("_");
  click("Abort");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(commands->numberedDialog(), nullptr);
  openDialog();
  EXPECT_EQ(shown(), "song|-|07|song 07.ext|UR");
}

}  // namespace
}  // namespace brindle::rename
