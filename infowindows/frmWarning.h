// The Warning window: a fixed warning that the program changes files on disk.
#pragma once

#include <QString>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace brindle::infowindows {

class ClickableFrame;

/// The Warning window: warns that the program changes files on disk.
///
/// A modeless top-level window without a caption of its own (its window
/// title is empty).
/// Children (found by object name): the frame `Frame1` holding `Text1`, a
/// read-only multi-line box with warningText(); the button `Command1`
/// "OK I Will". The button and a left click on `Frame1` close the window.
///
/// `Text1` shows the text with plain line breaks; text1() gives it exactly.
///
/// Ownership: the window never deletes itself; closing it only hides it. The
/// owner decides its lifetime (a parent, or Qt::WA_DeleteOnClose).
class frmWarning : public QWidget {
  Q_OBJECT

 public:
  /// Builds the window with its text; it is not shown yet.
  explicit frmWarning(QWidget* parent = nullptr);

  /// The fixed warning, 241 characters, every line ended by CR LF.
  static QString warningText();

  /// The exact text of `Text1`.
  QString text1() const { return m_warningText; }

  /// The frame whose click closes the window.
  QWidget* frame1() const;

 private:
  QString m_warningText;
  ClickableFrame* m_frame1 = nullptr;
  QPlainTextEdit* m_text1 = nullptr;
  QPushButton* m_command1 = nullptr;
};

}  // namespace brindle::infowindows
