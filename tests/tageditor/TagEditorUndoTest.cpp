// The tag editor's "Edit" menu: Undo (Ctrl+Z) takes the last batch back
// byte for byte and the loaded file's fields show it; History... opens the
// same history window as the main window's menu.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "app/program/InstallEditCommands.h"
#include "tests/tageditor/AudioFiles.h"
#include "tests/tageditor/TagEditorFixture.h"
#include "ui/core/Mnemonics.h"
#include "ui/history/ObservedHistory.h"

namespace brindle::tageditor {
namespace {

using namespace testfiles;

class TagEditorUndoTest : public TagEditorFixture {
 protected:
  TagEditorUndoTest() {
    auto opened = history::openHistory(":memory:");
    EXPECT_TRUE(opened.ok());
    store = std::move(opened.value());
    observed = std::make_unique<ui::ObservedHistory>(*store);
  }
  ~TagEditorUndoTest() override { window.reset(); }

  /// Starts the main window with the tag editor and Edit commands recording
  /// into the history, and opens the tag editor.
  frmID3Info& openRecordingEditor() {
    start();
    commands = &installTagEditorCommands(*window, observed.get());
    edits = &app::installEditCommands(*window, observed.get(), *commands);
    return openEditor();
  }
  std::string writeSong(const std::string& name, const std::string& title) {
    return browsed.write(name, id3tag(3, textFrame("TIT2", title) + textFrame("TPE1", "Artist") +
                                             textFrame("TRCK", "09")) +
                                   audio() + v1Tag(title, "Artist", "Album", "2001", "c1", 17));
  }

  std::unique_ptr<history::History> store;
  std::unique_ptr<ui::ObservedHistory> observed;
  app::EditCommands* edits = nullptr;
};

TEST_F(TagEditorUndoTest, EditMenuSitsBetweenExitAndHelp) {
  frmID3Info& editor = openRecordingEditor();
  const QList<QAction*> bar = editor.menuBar()->actions();
  ASSERT_EQ(bar.size(), 3);
  EXPECT_EQ(bar[0]->objectName(), "mnuexit");
  EXPECT_EQ(bar[1]->menu(), &editor.editMenu());
  EXPECT_EQ(bar[2]->objectName(), "mnuhelpme");
  EXPECT_EQ(editor.editMenu().title(), "&Edit");
  EXPECT_EQ(editor.editMenu().objectName(), "mnuedit");
  EXPECT_EQ(editor.menuItem("mnuundo")->shortcut(), QKeySequence(QKeySequence::Undo));
  EXPECT_EQ(editor.menuItem("mnuundo")->text(), "Undo");
  EXPECT_FALSE(editor.menuItem("mnuundo")->isEnabled());
  EXPECT_EQ(ui::withoutMnemonic(editor.menuItem("mnuhistory")->text()), "History...");
}

TEST_F(TagEditorUndoTest, UndoTakesTheBatchBackAndReloadsTheFields) {
  const std::string first = writeSong("a.mp3", "First");
  const std::string second = writeSong("b.mp3", "Second");
  const std::string firstBefore = testsupport::TempDir::read(first);
  const std::string secondBefore = testsupport::TempDir::read(second);
  frmID3Info& editor = openRecordingEditor();
  test.dialogs.answer(platform::Answer::Yes);
  click("Command12");  // Number Tracks
  ASSERT_EQ(readSaved(second).v2.at(id3v2::TRCK), "02");
  // The last file of the walk stays loaded.
  ASSERT_EQ(field(kV2Title), "Second");
  ASSERT_EQ(field(kV2Track), "02");
  // Both windows' Undo items name the batch.
  EXPECT_EQ(editor.menuItem("mnuundo")->text(), "Undo Number Tracks");
  EXPECT_TRUE(editor.menuItem("mnuundo")->isEnabled());
  EXPECT_EQ(window->menuItem("mnuundo")->text(), "Undo Number Tracks");
  test.dialogs.clear();

  editor.menuItem("mnuundo")->trigger();
  EXPECT_EQ(testsupport::TempDir::read(first), firstBefore);
  EXPECT_EQ(testsupport::TempDir::read(second), secondBefore);
  EXPECT_EQ(field(kV2Title), "Second");
  EXPECT_EQ(field(kV2Track), "09");
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  const std::string text = test.dialogs.calls()[0].message.text;
  EXPECT_NE(text.find("2 file(s) restored"), std::string::npos) << text;
  EXPECT_NE(text.find("restored: " + second), std::string::npos) << text;
  EXPECT_EQ(editor.menuItem("mnuundo")->text(), "Undo Undo Number Tracks");

  // History... from the tag editor lists the batch and its undo.
  editor.menuItem("mnuhistory")->trigger();
  ASSERT_NE(edits->historyWindow(), nullptr);
  ASSERT_EQ(edits->historyWindow()->rows().size(), 2u);
  EXPECT_EQ(edits->historyWindow()->rows()[0].command, "Undo Number Tracks");
  EXPECT_EQ(edits->historyWindow()->rows()[1].state, "undone");
}

TEST_F(TagEditorUndoTest, OneUndoTakesBackTheFileOnScreenWithTheRest) {
  // A file loaded and edited on screen is written with the batch, so that
  // one Undo restores it as well.
  const std::string first = writeSong("a.mp3", "First");
  const std::string second = writeSong("b.mp3", "Second");
  const std::string firstBefore = testsupport::TempDir::read(first);
  const std::string secondBefore = testsupport::TempDir::read(second);
  openRecordingEditor();
  doubleClick("a.mp3");
  setField(kV2Title, "Typed title");
  test.dialogs.answer(platform::Answer::Yes);
  click("Command12");  // Number Tracks
  ASSERT_EQ(readSaved(first).v2.at(id3v2::TIT2), "Typed title");
  ASSERT_EQ(readSaved(first).v2.at(id3v2::TRCK), "01");
  ASSERT_EQ(store->batches().value().size(), 1u);
  test.dialogs.clear();

  window->menuItem("mnuundo")->trigger();
  EXPECT_EQ(testsupport::TempDir::read(first), firstBefore);
  EXPECT_EQ(testsupport::TempDir::read(second), secondBefore);
}

TEST_F(TagEditorUndoTest, NoUndoWhileTheTagEditorRunsACommand) {
  const std::string song = writeSong("a.mp3", "First");
  const std::string before = testsupport::TempDir::read(song);
  openRecordingEditor();
  test.dialogs.answer(platform::Answer::Yes);
  click("Command12");  // Number Tracks: a batch to undo
  const std::string numbered = testsupport::TempDir::read(song);
  ASSERT_NE(numbered, before);

  // While the second run asks its question, Undo and the history window's
  // Undo do nothing.
  bool asked = false;
  test.dialogs.setObserver([&](const platform::testing::DialogCall& call) {
    if (asked || call.message.buttons != platform::Buttons::YesNo) return;
    asked = true;
    edits->undoNewest();
    ui::HistoryWindow* history = edits->historyWindow();
    ASSERT_NE(history, nullptr);
    history->chooseRow(0);
    history->undoButton().click();
  });
  edits->showHistoryWindow();
  test.dialogs.clear();
  test.dialogs.answer(platform::Answer::No);
  click("Command12");
  test.dialogs.setObserver({});
  EXPECT_TRUE(asked);
  EXPECT_EQ(testsupport::TempDir::read(song), numbered);
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.calls()[0].message.text, "Number 1 file 01-01?");
}

}  // namespace
}  // namespace brindle::tageditor
