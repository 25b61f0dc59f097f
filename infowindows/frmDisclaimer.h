// The Disclaimer window: shows the licence agreement text file that lies in
// the program's folder.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/System.h"

class QCloseEvent;
class QPlainTextEdit;
class QPushButton;

namespace brindle::infowindows {

/// The Disclaimer window: shows the licence agreement beside the program.
///
/// A modeless top-level window captioned "Disclaimer".
/// Children (found by object name): `Text1`, a read-only multi-line box with a
/// vertical scroll bar that shows the licence agreement; `Command1` "OK",
/// which closes the window.
///
/// Loading: the constructor reads "User License Agreement.txt" from the
/// program's folder through the file system interface (see loadAgreement()).
/// The file is optional: when it cannot be read `Text1` keeps what it had
/// (empty at first) and no message is shown.
///
/// Closing: whenever the window closes (by "OK" or its own close control) it
/// calls `showMainWindow`, so that the main window is visible afterwards. The
/// owner should make that callback do nothing while it is itself shutting
/// down.
///
/// Ownership: the window never deletes itself; closing it only hides it. The
/// file system and program folder must outlive the window. The owner decides
/// the window's lifetime (a parent, or Qt::WA_DeleteOnClose).
class frmDisclaimer : public QWidget {
  Q_OBJECT

 public:
  /// The name of the licence agreement file in the program's folder.
  static constexpr const char* kAgreementFileName = "User License Agreement.txt";

  /// Builds the window and loads the agreement; it is not shown yet.
  frmDisclaimer(platform::FileSystem& fileSystem, platform::ProgramFolder& programFolder,
                std::function<void()> showMainWindow, QWidget* parent = nullptr);

  /// Reads the agreement file into `Text1` again. Returns false, leaving
  /// `Text1` as it was, when the file cannot be read.
  ///
  /// The bytes are decoded as UTF-8 when they form valid UTF-8 (plain ASCII
  /// does), and otherwise as Latin-1, one character per byte, so that any
  /// 8-bit text file shows every byte.
  bool loadAgreement();

  /// The full path of the agreement file: the program's folder and the file
  /// name, joined with one separator.
  std::string agreementPath() const;

  /// The exact text last loaded into `Text1` (line ends as in the file).
  QString text1() const { return m_agreementText; }

  /// Decodes the agreement file's bytes as loadAgreement() does.
  static QString decodeAgreement(const std::string& bytes);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  platform::FileSystem& m_fileSystem;
  platform::ProgramFolder& m_programFolder;
  std::function<void()> m_showMainWindow;
  QString m_agreementText;
  QPlainTextEdit* m_text1 = nullptr;
  QPushButton* m_command1 = nullptr;
};

}  // namespace brindle::infowindows
