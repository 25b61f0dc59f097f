// The tag editor window "Brindle Tag Editor": browses to MP3 and WAV files,
// loads the ID3 version 1 and 2 tags of one MP3 file into seventeen fields,
// writes them back, runs the batch tools over the file list and shows the
// technical readout of MP3 and WAV files.
#pragma once

#include <QEvent>
#include <QMainWindow>

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <string>

#include "history/History.h"
#include "inspect/ID3.h"
#include "platform/Platform.h"
#include "tageditor/core/BatchTools.h"
#include "tageditor/core/TagFields.h"
#include "tageditor/core/TagSession.h"
#include "tageditor/core/UnsavedEdits.h"
#include "ui/HelpClicks.h"
#include "ui/core/ContextHelp.h"

class QAction;
class QMenu;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace brindle::ui {
class DirectoryListBox;
class FileListBox;
}  // namespace brindle::ui

namespace brindle::tageditor {

class TagField;

/// The tag editor window: loads, edits and saves the ID3 tags of MP3 files.
class frmID3Info : public QMainWindow, private TagEditorHost {
  Q_OBJECT

 public:
  /// A fresh window on `startDirectory` with a fresh component and no loaded
  /// file. `remembered` is the store of the last Save's values shared by
  /// every tag editor window of the run; it must outlive the window. The
  /// window registers its help mode with `help`.
  frmID3Info(platform::Platform& platform, ui::ContextHelp& help, RememberedValues& remembered,
             const std::string& startDirectory, QWidget* parent = nullptr);
  ~frmID3Info() override;

  // Controls, for the wiring and tests. Every control's object name is its
  // control name; the fields are named "txt_0" to "txt_16" after their
  // index, the readout lines "lbl_0" to "lbl_10", the two tag frames
  // "Frame1_0" and "Frame1_1", the field captions "Label1_<index>" (the
  // track's "Label3", the genre list's "Label4").
  /// Field `index` (0 to 16): a TagField, or for the version 2 comment (6)
  /// a multi-line QPlainTextEdit.
  QWidget* txt(int index) const { return m_txt.at(static_cast<std::size_t>(index)); }
  /// The text of field `index`.
  QString txtText(int index) const;
  /// Readout line `index` (0 to 10); null before it was first needed.
  QLabel* lbl(int index) const { return m_lbl.at(static_cast<std::size_t>(index)); }
  QComboBox& genreList() { return *m_genre; }
  QComboBox& driveList() { return *m_drive1; }
  ui::DirectoryListBox& directoryList() { return *m_dir1; }
  ui::FileListBox& fileList() { return *m_file1; }
  QGroupBox& tagFrame(int index) { return index == 0 ? *m_frame1v1 : *m_frame1v2; }
  QGroupBox& readoutFrame() { return *m_frame2; }
  QProgressBar& progressBar() { return *m_pb1; }
  QLabel& pleaseWaitNote() { return *m_text1; }
  /// The front cover's thumbnail ("imgCover"), empty when the file has none;
  /// "Set Cover..." ("cmdSetCover") and "Remove Cover" ("cmdRemoveCover")
  /// change it until the next Save writes it.
  QLabel& coverImage() { return *m_cover; }
  QPushButton* button(const std::string& name) const;
  QAction* menuItem(const std::string& name) const;
  /// The "Edit" menu ("mnuedit"): "Undo" ("mnuundo", Ctrl+Z) and
  /// "History..." ("mnuhistory"), whose commands the program sets.
  QMenu& editMenu() { return *m_editMenu; }
  /// Shows what an undo changed on the disk: the file list is read again
  /// and the loaded file's fields are loaded again.
  void reloadAfterUndo();
  ui::HelpMode& helpMode() { return m_helpMode; }
  inspect::ID3& component() { return m_id3; }

  /// The fields on screen as values, and back.
  TagFields fields() const override;
  void setFields(const TagFields& fields) override;

  /// The history that records each Save, Auto Info and Number Tracks run as
  /// one batch; none (the default) writes each file flushed on its own. It
  /// must outlive the window.
  void setHistory(history::History* history);
  /// The Cancel button beside the progress bar, shown while a batch runs.
  QPushButton& cancelButton() { return *m_cancel; }
  /// Shows entry `name` of `directory` in the lists and loads it as a
  /// double click does (after the unsaved-edits question). Nothing happens
  /// when the list does not hold it.
  void openEntry(const std::string& directory, const std::string& name);

  /// Whether a command is running (a Save or a batch); user input to the
  /// window is held off meanwhile.
  bool commandRunning() const { return m_running; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  class RunningCommand;

  void buildControls();
  void buildMenus();
  QWidget* buildVersion1Frame();
  QWidget* buildVersion2Frame();
  QWidget* buildReadoutFrame();
  QWidget* buildToolGroups();
  QWidget* buildCoverFrame();
  void addField(int index, QWidget* frame, QGridLayout& grid, int row);

  /// Runs a command: nothing while another command runs, its topic in help
  /// mode, else `command`.
  void runCommand(int topic, const std::function<void()>& command);
  /// Connects button `name` to `command` through runCommand().
  void onButton(const std::string& name, int topic, std::function<void()> command);
  /// Runs an edit of the fields on screen.
  void editFields(const std::function<void(TagFields&)>& edit);

  // Handlers and commands.
  void onDriveChosen(int index);
  void onDirectoryChanged();
  void onFileClicked();
  void onFileDoubleClicked();
  /// Loads the current entry as a click or double click does: an MP3 file
  /// only after the unsaved-edits question.
  void openCurrentEntry();
  /// "Save" and Ctrl+S: writes the fields and says so on the status line.
  void saveAndReport();
  /// Whether the fields on screen may be replaced or closed: asks about
  /// unsaved edits first.
  bool mayLeaveEdits();
  void nameFromFile();
  /// "Set Cover...": an image file chosen becomes the front cover on screen.
  void chooseCover();
  /// "Remove Cover": the front cover goes from the screen.
  void removeCover();
  /// Shows `cover` as the thumbnail; nothing clears it.
  void showCover(const std::optional<id3v2::Picture>& cover);
  void runBatch(const std::function<BatchReport()>& batch);

  void showMp3(const Loaded& loaded);
  void showWav(const Loaded& loaded);
  void showReadout(const std::vector<std::string>& lines);
  void setTagButtonsEnabled(bool enabled);
  void selectDriveOf(const std::string& path);
  void onBusy(bool busy);

  /// The help topic of a control hit by the mouse, or kNoTopic.
  int controlTopic(QObject* watched) const;

  // TagEditorHost: what the batch tools drive.
  SaveResult save() override;
  bool hasLoadedFile() const override;
  std::string loadedName() const override;
  void remember() override;
  int entryCount() const override;
  std::string entryName(int index) const override;
  void moveToEntry(int index) override;
  LoadResult loadCurrentEntry() override;
  platform::Result<id3v2::TagChange> planSave() override;
  platform::Result<std::vector<history::FileResult>> writeBatch(
      const std::string& command, const std::vector<id3v2::TagChange>& changes,
      const history::FileReport& report) override;
  bool confirm(const std::string& question) override;
  bool stopRequested() override;
  void showNote(bool visible) override;
  void setProgressMaximum(int maximum) override;
  void setProgressValue(int value) override;

  platform::Platform& m_platform;
  ui::ContextHelp& m_help;
  RememberedValues& m_remembered;
  ui::HelpMode m_helpMode;
  inspect::ID3 m_id3;
  TagSession m_session;
  UnsavedEdits m_edits;
  /// The file whose fields or readout are on screen, so that a click on it
  /// does not read it again.
  std::string m_shownPath;
  /// A load the user cancelled at the unsaved-edits question, with the
  /// fields as they were: the rest of the same click or double click does
  /// not ask again.
  struct DeclinedLoad {
    std::string name;
    TagFields fields;
  };
  std::optional<DeclinedLoad> m_declined;
  bool m_running = false;
  history::History* m_history = nullptr;
  /// Set by Cancel while a batch runs.
  std::atomic<bool> m_stop{false};
  bool m_closeWhenDone = false;
  ui::HelpClickGuard m_helpClicks;
  /// The version 2 comment as loaded: the multi-line box shows its line
  /// breaks in its own way, and an unedited comment is saved as it was.
  std::string m_loadedComment;

  QComboBox* m_drive1 = nullptr;
  ui::DirectoryListBox* m_dir1 = nullptr;
  ui::FileListBox* m_file1 = nullptr;
  QGroupBox* m_frame1v1 = nullptr;
  QGroupBox* m_frame1v2 = nullptr;
  std::array<QWidget*, kFieldCount> m_txt{};
  QPlainTextEdit* m_comment = nullptr;
  QComboBox* m_genre = nullptr;
  QGroupBox* m_frame2 = nullptr;
  std::array<QLabel*, 11> m_lbl{};
  QLabel* m_text1 = nullptr;
  QProgressBar* m_pb1 = nullptr;
  QPushButton* m_cancel = nullptr;
  QLabel* m_picture1 = nullptr;
  QGroupBox* m_coverFrame = nullptr;
  QLabel* m_cover = nullptr;
  std::map<std::string, QPushButton*> m_buttons;
  std::map<std::string, QAction*> m_items;
  QMenu* m_editMenu = nullptr;
};

}  // namespace brindle::tageditor
