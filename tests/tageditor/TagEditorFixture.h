// The main window over a temporary folder with the tag editor's commands
// installed, and helpers to open the tag editor and work it as a user does.
#pragma once

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

#include "app/program/InstallTagEditorCommands.h"
#include "tageditor/TagField.h"
#include "tageditor/frmID3Info.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/tageditor/AudioFiles.h"
#include "ui/FileListBox.h"

namespace brindle::tageditor {

class TagEditorFixture : public app::MainWindowFixture {
 protected:
  /// Starts the main window (once, recording into `history`) and chooses "MP3 Tags".
  frmID3Info& openEditor(history::History* history = nullptr) {
    if (!window) {
      start();
      commands = &installTagEditorCommands(*window, history);
    }
    window->menuItem("mnump3")->trigger();
    EXPECT_NE(commands->tagEditor(), nullptr);
    return *commands->tagEditor();
  }
  frmID3Info& editor() { return *commands->tagEditor(); }

  /// The names the tag editor's file list shows.
  std::vector<std::string> listed() {
    std::vector<std::string> names;
    for (int i = 0; i < editor().fileList().listCount(); ++i) {
      names.push_back(editor().fileList().entryName(i));
    }
    return names;
  }
  /// Double-clicks the entry `name` of the tag editor's file list.
  void doubleClick(const std::string& name) {
    ui::FileListBox& list = editor().fileList();
    const std::vector<std::string> names = listed();
    const auto found = std::find(names.begin(), names.end(), name);
    ASSERT_NE(found, names.end()) << name;
    const QModelIndex entry = list.model()->index(static_cast<int>(found - names.begin()), 0);
    list.scrollTo(entry);
    const QPoint at = list.visualRect(entry).center();
    // The first click of the two; the double click event follows.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
  }
  /// Clicks the button `name` (Command1 to Command12, cmdSetCover, ...).
  void click(const char* name) {
    QPushButton* button = editor().button(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
  }
  /// Sets field `index` as the program does (never cut).
  void setField(int index, const QString& text) {
    if (auto* lines = qobject_cast<QPlainTextEdit*>(editor().txt(index))) {
      lines->setPlainText(text);
    } else {
      static_cast<TagField*>(editor().txt(index))->setValue(text);
    }
  }
  /// Field `index` as UTF-8.
  std::string field(int index) { return editor().txtText(index).toUtf8().toStdString(); }

  /// A tagged MP3 file in the browsed folder; its version 1 title is `title` and " v1".
  std::string writeSong(const std::string& name, const std::string& title) {
    using namespace testfiles;
    return browsed.write(name, id3tag(3, textFrame("TIT2", title) + textFrame("TPE1", "Artist") +
                                             textFrame("TRCK", "07") + pictureFrame()) +
                                   audio() + v1Tag(title + " v1", 17));
  }
  std::string lastMessage() {
    return test.dialogs.messages().empty() ? "" : test.dialogs.messages().back().text;
  }

  TagEditorCommands* commands = nullptr;
};

}  // namespace brindle::tageditor
