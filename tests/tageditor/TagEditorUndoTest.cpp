// The tag editor's "Edit" menu: Undo takes the last batch back and the
// loaded file's fields show it; History... opens the history window.
#include <QAction>
#include <QPushButton>

#include "app/program/InstallEditCommands.h"
#include "tests/tageditor/AudioFiles.h"
#include "tests/tageditor/TagEditorFixture.h"
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

// One Undo takes back every file of the batch, the one edited on screen too.
TEST_F(TagEditorUndoTest, UndoTakesTheBatchBackAndReloadsTheFields) {
  const std::string first = writeSong("a.mp3", "First");
  const std::string second = writeSong("b.mp3", "Second");
  const std::string firstBefore = testsupport::TempDir::read(first);
  const std::string secondBefore = testsupport::TempDir::read(second);
  frmID3Info& editor = openRecordingEditor();
  doubleClick("a.mp3");
  setField(kV2Title, "Typed title");
  test.dialogs.answer(platform::Answer::Yes);
  click("Command12");  // Number Tracks
  ASSERT_EQ(readSaved(first).v2.at(id3v2::TIT2), "Typed title");
  ASSERT_EQ(field(kV2Track), "02");
  EXPECT_EQ(editor.menuItem("mnuundo")->text(), "Undo Number Tracks");
  EXPECT_EQ(window->menuItem("mnuundo")->text(), "Undo Number Tracks");
  test.dialogs.clear();

  editor.menuItem("mnuundo")->trigger();
  EXPECT_EQ(testsupport::TempDir::read(first), firstBefore);
  EXPECT_EQ(testsupport::TempDir::read(second), secondBefore);
  EXPECT_EQ(field(kV2Track), "09");
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_NE(test.dialogs.calls()[0].message.text.find("2 file(s) restored"), std::string::npos);
  editor.menuItem("mnuhistory")->trigger();
  ASSERT_NE(edits->historyWindow(), nullptr);
  ASSERT_EQ(edits->historyWindow()->rows().size(), 2u);
  EXPECT_EQ(edits->historyWindow()->rows()[0].command, "Undo Number Tracks");
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
