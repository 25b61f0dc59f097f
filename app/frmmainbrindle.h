// The main window: drive, directory and file lists, the name box, the menus
// and the browsing state every file command works on.
#pragma once

#include <QEvent>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/MainMenu.h"
#include "platform/Platform.h"
#include "ui/HelpClicks.h"
#include "ui/core/ContextHelp.h"

class QAction;
class QComboBox;
class QCompleter;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSplitter;

namespace brindle::ui {
class DirectoryListBox;
class FileListBox;
}  // namespace brindle::ui

namespace brindle::app {

/// The main window: browses the drives and runs commands on a directory's files.
class frmmainbrindle : public QMainWindow {
  Q_OBJECT

 public:
  /// Shows the files of `startDirectory`. Nothing is read before startUp().
  frmmainbrindle(platform::Platform& platform, ui::ContextHelp& help, std::string startDirectory,
                 QWidget* parent = nullptr);
  ~frmmainbrindle() override;

  /// Sets the title, makes sure this is the only instance and fills the
  /// lists. Returns false when another instance runs: the program must end.
  bool startUp();

  /// Runs `command` when the menu item (or button) of `id` is chosen outside
  /// help mode. Items without a command do nothing but show their help topic
  /// in help mode.
  void setCommand(MenuCommand id, std::function<void()> command);

  // The browsing state, for the commands of the other windows and tests.
  platform::Platform& platform() { return m_platform; }
  ui::ContextHelp& contextHelp() { return m_help; }
  ui::HelpMode& helpMode() { return m_helpMode; }
  ui::FileListBox& fileList() { return *m_file1; }
  ui::DirectoryListBox& directoryList() { return *m_dir1; }
  QComboBox& driveList() { return *m_drive1; }
  QLineEdit& nameBox() { return *m_text3; }
  QLineEdit& pathBox() { return *m_text2; }
  /// The folder path that can be typed into, above the drive list.
  QLineEdit& pathBar() { return *m_pathBar; }
  /// The status line's note of how many files are selected.
  QLabel& selectionNote() { return *m_selectionNote; }
  /// The line between the folder side and the file list.
  QSplitter& browseSplitter() { return *m_browseSplitter; }
  QLineEdit& countBox() { return *m_text1; }
  QPushButton& saveEditedButton() { return *m_command1; }
  QLabel& caretReadout() { return *m_label6; }
  QProgressBar& progressBar() { return *m_progressBar1; }
  /// The menu item whose object name is `name`, or null.
  QAction* menuItem(const std::string& name) const;
  QMenu* menu(const std::string& name) const;
  QMenu& optionsMenu() { return *menu("Options"); }
  QMenu& windowMenu() { return *menu("filewindow"); }

  /// The current directory path (the directory list's path).
  const std::string& currentDirectory() const;
  /// The full path of a name in the current directory.
  std::string entryPathOf(const std::string& name) const;
  /// Re-reads the file list and shows the new entry count.
  void rereadFileList();

  /// Opens the information windows as the menus do; each returns the window.
  QWidget* showAboutWindow();
  QWidget* showHelpWindow();
  void showDisclaimerWindows();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void buildControls();
  void buildMenus();
  void runMenuItem(MenuCommand id, int topic);
  void runCommand(MenuCommand id);

  // Event handlers.
  void onDriveChosen(int index);
  void onDirectoryChanged();
  void onDirectoryClicked();
  void onFileClicked();
  void onFileDoubleClicked();
  void onFileKeyPressed(int key);
  void onNameBoxChanged();
  void onPathBarEdited(const QString& text);
  void onPathBarEntered();
  void showSelectionNote();
  /// Selects the drive that holds `path` in the drive list.
  void selectDriveOf(const std::string& path);
  void updateCaretReadout();
  void selectAllFiles();
  void refreshFiles();
  void exitWithQuestion();
  void closeOtherWindows();
  void showCount();

  /// The help topic of a control hit by the mouse or the focus, or kNoTopic.
  int controlTopic(QObject* watched, QEvent::Type type) const;

  platform::Platform& m_platform;
  ui::ContextHelp& m_help;
  ui::HelpMode m_helpMode;
  std::string m_startDirectory;
  std::map<MenuCommand, std::function<void()>> m_commands;
  ui::HelpClickGuard m_helpClicks;
  bool m_closing = false;
  QPointer<QWidget> m_aboutWindow;
  QPointer<QWidget> m_helpWindow;
  QPointer<QWidget> m_disclaimerWindow;
  QPointer<QWidget> m_warningWindow;
  /// Menu items and menus by object name.
  std::map<std::string, QAction*> m_items;
  std::map<std::string, QMenu*> m_menus;

  QLineEdit* m_pathBar = nullptr;
  QCompleter* m_pathCompleter = nullptr;
  QLabel* m_selectionNote = nullptr;
  QSplitter* m_browseSplitter = nullptr;
  QComboBox* m_drive1 = nullptr;
  ui::DirectoryListBox* m_dir1 = nullptr;
  ui::FileListBox* m_file1 = nullptr;
  QLineEdit* m_text1 = nullptr;
  QLineEdit* m_text2 = nullptr;
  QLineEdit* m_text3 = nullptr;
  QPushButton* m_command1 = nullptr;
  QLabel* m_label6 = nullptr;
  QLabel* m_picture1 = nullptr;
  QProgressBar* m_progressBar1 = nullptr;
};

}  // namespace brindle::app
