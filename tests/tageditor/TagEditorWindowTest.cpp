// The tag editor window, offscreen, from the main window: which control calls which core function.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "app/program/InstallEditCommands.h"
#include "app/program/InstallTagEditorCommands.h"
#include "inspect/Readout.h"
#include "tageditor/TagField.h"
#include "tageditor/frmID3Info.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/tageditor/AudioFiles.h"
#include "ui/DirectoryListBox.h"
#include "ui/FileListBox.h"
#include "ui/core/HelpTopics.h"
#include "ui/history/ObservedHistory.h"

namespace brindle::tageditor {
namespace {

using namespace testfiles;
using platform::Answer;
using testsupport::TempDir;

class TagEditorWindowTest : public app::MainWindowFixture {
 protected:
  ~TagEditorWindowTest() override { window.reset(); }

  /// Starts the main window (once, recording into `history`) and chooses "MP3 Tags".
  frmID3Info& openEditor(history::History* history = nullptr) {
    if (!window) commands = &installTagEditorCommands((start(), *window), history);
    window->menuItem("mnump3")->trigger();
    EXPECT_NE(commands->tagEditor(), nullptr);
    return *commands->tagEditor();
  }
  frmID3Info& editor() { return *commands->tagEditor(); }
  std::vector<std::string> listed() {
    std::vector<std::string> names;
    for (int i = 0; i < editor().fileList().listCount(); ++i)
      names.push_back(editor().fileList().entryName(i));
    return names;
  }
  /// Clicks (twice when `twice`) the entry `name` of the file list.
  void clickEntry(const std::string& name, bool twice = true) {
    const std::vector<std::string> names = listed();
    const auto found = std::find(names.begin(), names.end(), name);
    ASSERT_NE(found, names.end()) << name;
    ui::FileListBox& list = editor().fileList();
    const QModelIndex entry = list.model()->index(static_cast<int>(found - names.begin()), 0);
    list.scrollTo(entry);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(entry).center());
    if (twice)
      QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(entry).center());
  }
  void click(const char* name) {
    ASSERT_NE(editor().button(name), nullptr) << name;
    QTest::mouseClick(editor().button(name), Qt::LeftButton);
  }
  void setField(int index, const QString& text) {
    if (auto* lines = qobject_cast<QPlainTextEdit*>(editor().txt(index)))
      return lines->setPlainText(text);
    static_cast<TagField*>(editor().txt(index))->setValue(text);
  }
  std::string field(int index) { return editor().txtText(index).toUtf8().toStdString(); }
  /// A tagged MP3 file in the browsed folder; its version 1 title is `title` and " v1".
  std::string writeSong(const std::string& name, const std::string& title) {
    return browsed.write(name, id3tag(3, textFrame("TIT2", title) + textFrame("TPE1", "Artist") +
                                             textFrame("TRCK", "07") + pictureFrame()) +
                                   audio() + v1Tag(title + " v1", 17));
  }
  std::string lastMessage() {
    return test.dialogs.messages().empty() ? "" : test.dialogs.messages().back().text;
  }

  TagEditorCommands* commands = nullptr;
  std::unique_ptr<history::History> store = std::move(history::openHistory(":memory:").value());
  ui::ObservedHistory observed{*store};
};

// One script over one window: each step works a control; fields, files and message show its effect.
TEST_F(TagEditorWindowTest, EachControlCallsItsCommand) {
  writeSong("a.mp3", "first");
  writeSong("b.mp3", "second");
  browsed.write("c.WAV", wav(1, 22050, 8, 22050 * 4));
  writeSong("D.Mp3", "refused");
  browsed.write("e.txt", "x");
  frmID3Info& tags = openEditor();
  EXPECT_EQ(tags.directoryList().path(), browsed.path());
  EXPECT_EQ(listed(), (std::vector<std::string>{"a.mp3", "b.mp3", "c.WAV", "D.Mp3"}));
  // "v1 title|v2 title|artist|track", each file's title,artist,track(+picture) on disk, the
  // message.
  auto shown = [&] {
    std::string text =
        field(kV1Title) + "|" + field(kV2Title) + "|" + field(kV2Artist) + "|" + field(kV2Track);
    for (const std::string name : {"a", "b"}) {
      const SavedTags saved = readSaved(browsed.file(name + ".mp3"));
      text += " " + name + "=" + saved.v2.at(id3v2::TIT2) + "," + saved.v2.at(id3v2::TPE1) + "," +
              saved.v2.at(id3v2::TRCK) + (saved.hasPicture ? "+" : "");
    }
    if (!tags.tagFrame(0).isVisible()) text += " wav";
    for (const char* name : {"Command1", "Command2", "Command3", "cmdSetCover"}) {
      if (!tags.button(name)->isEnabled()) text += " -" + std::string(name);
    }
    const std::string note = tags.statusBar()->currentMessage().toStdString();
    return text + " " + (test.dialogs.messages().empty() ? note : lastMessage());
  };
  const std::string skipped =
      "Skipped 2 files of 4: only files ending in .mp3 or .MP3 are loaded and saved.";
  const std::string refused = "Select *.mp3 or *.wav file!!!";
  const std::string disabled = "-Command1 -Command2 -Command3 -cmdSetCover ";
  const std::string notImage = "Cannot use notes.png as the cover:\nit is not a JPEG or PNG image";
  browsed.makeDirectory("other");
  browsed.write("notes.png", "GIF89a");
  browsed.write("cover.png", bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 7}));
  const struct {
    const char* act;
    const char* arg;
    std::optional<Answer> answer;
    std::string shown;
  } steps[] = {
      // clang-format off
      {"click", "a.mp3", {}, "first v1|first|Artist|07 a=first,Artist,07+ b=second,Artist,07+ "},
      {"key", "down", {}, "second v1|second|Artist|07 a=first,Artist,07+ b=second,Artist,07+ "},
      {"type", "Band", {}, "second v1|second|Band|07 a=first,Artist,07+ b=second,Artist,07+ "},
      {"key", "up", Answer::Cancel, "second v1|second|Band|07 a=first,Artist,07+ b=second,Artist,07+ "
                                    "Save changes to b.mp3?"},
      {"open", "b.mp3", Answer::Save, "second v1|second|Band|07 a=first,Artist,07+ b=second,Band,07+ "
                                      "Save changes to b.mp3?"},
      {"press", "Command4", {}, "Second V1|Second|Band|07 a=first,Artist,07+ b=second,Band,07+ "},
      {"press", "Command3", {}, "Second V1|Second V1|Artist|07 a=first,Artist,07+ b=second,Band,07+ "},
      {"press", "Command6", {}, "Second V1|b|Artist|07 a=first,Artist,07+ b=second,Band,07+ "},
      {"press", "Command2", {}, "b|b|Artist|07 a=first,Artist,07+ b=second,Band,07+ "},
      {"press", "Command10", {}, "b||| a=first,Artist,07+ b=second,Band,07+ "},
      {"press", "Command5", {}, "b||Band| a=first,Artist,07+ b=second,Band,07+ "},
      {"press", "Command9", {}, "||Band| a=first,Artist,07+ b=second,Band,07+ "},
      {"press", "Command1", {}, "||Band| a=first,Artist,07+ b=,Band,+ Saved b.mp3"},
      {"press", "Command8", {}, "||| a=first,Artist,07+ b=,Band,+ "},
      {"type", "Crew", {}, "||Crew| a=first,Artist,07+ b=,Band,+ "},
      {"press", "Command11", Answer::Yes, "||Crew| a=first,Crew,07+ b=,Crew,+ " + skipped},
      {"press", "Command12", Answer::Yes, "||Crew|02 a=first,Crew,01+ b=,Crew,02+ " + skipped},
      {"open", "c.WAV", {}, "||Crew|02 a=first,Crew,01+ b=,Crew,02+ wav " + disabled},
      {"open", "D.Mp3", {}, "||Crew|02 a=first,Crew,01+ b=,Crew,02+ wav " + disabled + refused},
      {"open", "a.mp3", {}, "first v1|first|Crew|01 a=first,Crew,01+ b=,Crew,02+ "},
      {"cover", "notes.png", {}, "first v1|first|Crew|01 a=first,Crew,01+ b=,Crew,02+ " + notImage},
      {"cover", "cover.png", {}, "first v1|first|Crew|01 a=first,Crew,01+ b=,Crew,02+ "},
      {"press", "cmdRemoveCover", {}, "first v1|first|Crew|01 a=first,Crew,01+ b=,Crew,02+ "},
      {"press", "Command1", {}, "first v1|first|Crew|01 a=first,Crew,01 b=,Crew,02+ Saved a.mp3"},
      {"cover", "cover.png", {}, "first v1|first|Crew|01 a=first,Crew,01 b=,Crew,02+ "},
      {"press", "Command1", {}, "first v1|first|Crew|01 a=first,Crew,01+ b=,Crew,02+ Saved a.mp3"},
      {"folder", "other", {}, "||| a=first,Crew,01+ b=,Crew,02+ -cmdSetCover "},
      {"type", "Lost", {}, "||Lost| a=first,Crew,01+ b=,Crew,02+ -cmdSetCover "},
      {"press", "Command1", {}, "||Lost| a=first,Crew,01+ b=,Crew,02+ -cmdSetCover Oops! Error"},
      // clang-format on
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(std::string(step.act) + " " + step.arg);
    test.dialogs.clear();
    tags.statusBar()->clearMessage();
    if (step.answer) test.dialogs.answer(*step.answer);
    const std::string act = step.act;
    if (act == "click" || act == "open") clickEntry(step.arg, act == "open");
    if (act == "key")
      QTest::keyClick(&tags.fileList(),
                      std::string(step.arg) == "down" ? Qt::Key_Down : Qt::Key_Up);
    if (act == "type") setField(kV2Artist, step.arg);
    if (act == "press") click(step.arg);
    ASSERT_TRUE(act != "folder" || tags.directoryList().setPath(browsed.file(step.arg)));
    if (act == "cover") {
      test.dialogs.choose(browsed.file(step.arg));
      click("cmdSetCover");
      EXPECT_EQ(test.dialogs.calls().at(0).open.filter, "Images (*.jpg *.jpeg *.png)");
    }
    EXPECT_EQ(shown(), step.shown);
  }
  ASSERT_TRUE(tags.directoryList().setPath(browsed.path()));
  clickEntry("a.mp3");
  EXPECT_EQ(tags.genreList().currentText(), "Rock");
  EXPECT_EQ(tags.lbl(10)->text().toStdString(), inspect::mp3Readout(tags.component())[10]);
  EXPECT_FALSE(tags.pleaseWaitNote().isVisible());
}

// Closing asks about edits (the main window too); the values saved outlive the window.
TEST_F(TagEditorWindowTest, ClosingAndRememberedValues) {
  writeSong("song.mp3", "T");
  frmID3Info& tags = openEditor();
  clickEntry("song.mp3");
  setField(kV2Album, "Remembered Album");
  click("Command1");
  setField(kV2Title, "Edited");
  test.dialogs.clear();
  test.dialogs.answer(Answer::Cancel).answer(Answer::Cancel);
  tags.close();
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(tags.isVisible());
  EXPECT_EQ(lastMessage(), "Save changes to song.mp3?");
  test.dialogs.answer(Answer::Discard);
  click("Command7");  // Exit
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(commands->tagEditor(), nullptr);
  openEditor();
  click("Command5");
  EXPECT_EQ(field(kV2Album), "Remembered Album");
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(editor().isVisible());
}

// While a batch runs nothing else starts; Cancel beside the bar stops it.
TEST_F(TagEditorWindowTest, NothingStartsWhileABatchRunsAndCancelStopsIt) {
  writeSong("a.mp3", "A");
  const std::string before = TempDir::read(writeSong("b.mp3", "B"));
  openEditor();
  bool observed = false;
  auto duringBatch = [&] {
    observed = true;
    EXPECT_TRUE(editor().commandRunning());
    EXPECT_TRUE(editor().pleaseWaitNote().isVisible());
    editor().button("Command11")->click();
    editor().button("Command8")->click();
    editor().close();
    EXPECT_TRUE(editor().isVisible());
    QTest::mouseClick(&editor().cancelButton(), Qt::LeftButton);
  };
  QMetaObject::invokeMethod(qApp, duringBatch, Qt::QueuedConnection);
  test.dialogs.answer(Answer::Yes);
  click("Command12");
  EXPECT_TRUE(observed);
  EXPECT_EQ(TempDir::read(browsed.file("b.mp3")), before);
  EXPECT_EQ(lastMessage(), "Stopped: 0 files saved; the others were left as they were.");
  EXPECT_EQ(test.dialogs.messages().size(), 2u);
  EXPECT_FALSE(editor().commandRunning());
  EXPECT_FALSE(editor().isVisible());  // the close asked for during the batch
}

// One Undo takes back every file of a batch, the one edited on screen too; History... lists it.
TEST_F(TagEditorWindowTest, UndoTakesTheBatchBackAndReloadsTheFields) {
  const std::string first = writeSong("a.mp3", "First");
  const std::string firstBefore = TempDir::read(first);
  const std::string secondBefore = TempDir::read(writeSong("b.mp3", "Second"));
  frmID3Info& tags = openEditor(&observed);
  app::EditCommands& edits = app::installEditCommands(*window, &observed, *commands);
  clickEntry("a.mp3");
  setField(kV2Title, "Typed title");
  test.dialogs.answer(Answer::Yes);
  click("Command12");  // Number Tracks
  ASSERT_EQ(readSaved(first).v2.at(id3v2::TIT2), "Typed title");
  EXPECT_EQ(window->menuItem("mnuundo")->text(), "Undo Number Tracks");
  tags.menuItem("mnuundo")->trigger();
  EXPECT_EQ(TempDir::read(first), firstBefore);
  EXPECT_EQ(TempDir::read(browsed.file("b.mp3")), secondBefore);
  EXPECT_EQ(field(kV2Track), "07");
  EXPECT_NE(lastMessage().find("2 file(s) restored"), std::string::npos);
  tags.menuItem("mnuhistory")->trigger();
  ASSERT_NE(edits.historyWindow(), nullptr);
  ASSERT_EQ(edits.historyWindow()->rows().size(), 2u);
  EXPECT_EQ(edits.historyWindow()->rows()[0].command, "Undo Number Tracks");
}

// Help mode: a press on each kind of control shows its topic and nothing else; every window leaves
// help mode; outside help mode the same press shows none.
TEST_F(TagEditorWindowTest, HelpModeShowsTheTopicOfThePressedControl) {
  writeSong("a.mp3", "Title");
  openEditor();
  clickEntry("a.mp3");
  ui::HelpMode otherWindow;
  help.addWindow(otherWindow);
  const std::pair<const char*, int> controls[] = {
      {"Drive1", topics::kTagEditorDrive},   {"File1", topics::kTagEditorFileList},
      {"Frame2", topics::kTagEditorReadout}, {"Picture1", topics::kTagEditorPicture},
      {"Command1", topics::kSaveTags},       {"txt_0", fieldSpec(0).topic},
      {"txt_6", fieldSpec(6).topic},         {"Command7", topics::kExitTagEditor}};
  for (const auto& [name, topic] : controls) {
    SCOPED_TRACE(name);
    const std::string control = name;
    QWidget* widget = control == "File1" ? editor().fileList().viewport()
                      : control == "txt_6"
                          ? static_cast<QPlainTextEdit*>(editor().txt(kV2Comment))->viewport()
                          : editor().findChild<QWidget*>(name);
    ASSERT_NE(widget, nullptr);
    editor().fileList().clearSelection();
    const TagFields before = editor().fields();
    editor().menuItem("mnuhelpme")->trigger();
    window->helpMode().toggle();
    otherWindow.toggle();
    EXPECT_EQ(editor().cursor().shape(), Qt::WhatsThisCursor);
    test.dialogs.clear();
    test.fileSystem.clearCalls();
    const QPoint at = control.starts_with("Command") ? widget->rect().center() : QPoint(4, 4);
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    ASSERT_EQ(test.dialogs.calls().size(), 1u);
    EXPECT_EQ(test.dialogs.messages()[0].title + ": " + test.dialogs.messages()[0].text,
              "Help!: " + topicText(topic));
    EXPECT_FALSE(editor().helpMode().isOn() || window->helpMode().isOn() || otherWindow.isOn());
    ASSERT_EQ(test.fileSystem.calls().size(), 1u);
    EXPECT_EQ(test.fileSystem.calls()[0].op, platform::testing::FsOp::ReadFile);
    EXPECT_EQ(editor().fields(), before);
    EXPECT_TRUE(editor().isVisible());
    EXPECT_EQ(editor().fileList().selectedCount(), 0);
    test.dialogs.clear();
    if (control == "Command7") test.dialogs.answer(Answer::Discard);
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    if (control != "Command7") editor().driveList().hidePopup();
    for (const auto& message : test.dialogs.messages()) EXPECT_NE(message.title, "Help!");
  }
  help.removeWindow(otherWindow);
}

}  // namespace
}  // namespace brindle::tageditor
