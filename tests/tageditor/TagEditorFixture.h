// The main window over a temporary folder with the tag editor's commands
// installed, and helpers to open the tag editor and work it as a user does.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "app/program/InstallTagEditorCommands.h"
#include "tageditor/frmID3Info.h"
#include "tests/app/MainWindowFixture.h"

namespace brindle::tageditor {

class TagEditorFixture : public app::MainWindowFixture {
 protected:
  /// Starts the main window (once) and chooses "MP3 Tags".
  frmID3Info& openEditor();
  frmID3Info& editor() { return *commands->tagEditor(); }

  /// The names the tag editor's file list shows.
  std::vector<std::string> listed();
  int indexOf(const std::string& name);
  /// Double-clicks the entry `name` of the tag editor's file list.
  void doubleClick(const std::string& name);
  /// Clicks the button `name` (Command1 to Command12).
  void click(const char* name);
  /// Types `text` into field `index` key by key.
  void typeInto(int index, const QString& text);
  /// Enters `text` into field `index` as an input method commits it, the
  /// way characters no key produces arrive.
  void commitInto(int index, const QString& text);
  /// Sets field `index` as the program does (never cut).
  void setField(int index, const QString& text);
  /// Field `index` as UTF-8.
  std::string field(int index);

  TagEditorCommands* commands = nullptr;
};

}  // namespace brindle::tageditor
