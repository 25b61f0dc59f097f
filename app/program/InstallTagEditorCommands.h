// Wires the main window's "MP3 Tags" and "Edit MP3 Tags" items to the tag
// editor window, and keeps what outlives each tag editor window: the values
// of the last Save.
#pragma once

#include <QObject>
#include <QPointer>

#include "history/History.h"
#include "tageditor/core/TagFields.h"

namespace brindle::app {
class frmmainbrindle;
}

namespace brindle::tageditor {

class frmID3Info;

class TagEditorCommands : public QObject {
  Q_OBJECT

 public:
  /// Sets the commands of `window`; becomes the window's child.
  /// `history` records the saves (none: the history is off).
  explicit TagEditorCommands(app::frmmainbrindle& window, history::History* history = nullptr);
  ~TagEditorCommands() override;

  /// Shows the tag editor, creating it on the main window's current
  /// directory when it is not open; an open one is brought to the front.
  frmID3Info& showTagEditor();
  /// The open tag editor, else null.
  frmID3Info* tagEditor() const;
  /// The values of the last Save, for every tag editor of the run.
  RememberedValues& remembered() { return m_remembered; }

 signals:
  /// A tag editor window was created (each opening after an Exit makes a
  /// new one), for the wiring of its menus.
  void tagEditorCreated(frmID3Info& editor);

 private:
  app::frmmainbrindle& m_window;
  RememberedValues m_remembered;
  QPointer<frmID3Info> m_editor;
  history::History* m_history;
};

/// Sets the commands of the items mnump3 ("MP3 Tags") and mnueditmp3tags
/// ("Edit MP3 Tags"): each shows the tag editor, modeless. The returned
/// object belongs to the window.
/// The tag editor's saves are recorded in `history` when there is one.
TagEditorCommands& installTagEditorCommands(app::frmmainbrindle& window,
                                            history::History* history = nullptr);

}  // namespace brindle::tageditor
