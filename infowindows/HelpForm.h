// The Help window: the program's logo and information and a short note on
// how the context help works.
#pragma once

#include <QString>
#include <QWidget>

class QEvent;
class QLabel;
class QLineEdit;
class QTextEdit;

namespace brindle::infowindows {

/// The Help window: says what the program is and how its context help works.
///
/// A modeless top-level window captioned "Help".
/// Children (found by object name): `Picture1` the logo; `Text1` the program
/// information and, inside the frame `Frame1` " Help Info ", `Text2` the help
/// note, both read-only with centred lines; `Text3`, a small box that holds
/// the keyboard focus: whenever `Text1` or `Text2` receives the focus it moves
/// on to `Text3`, so no caret ever stays in the two texts; the frame `Frame2`
/// " Program Info " with the line `Line1`, the credit label `Label1` and the
/// contact lines `Label2` to `Label6`. The window closes with its own close
/// control only.
///
/// The text boxes show their texts with plain line breaks; text1() and text2()
/// give the exact texts with their carriage return and line feed pairs.
///
/// Ownership: the window never deletes itself; closing it only hides it. The
/// owner decides its lifetime (a parent, or Qt::WA_DeleteOnClose).
class HelpForm : public QWidget {
  Q_OBJECT

 public:
  /// Builds the window and sets `Text2` to helpInfoText(); it is not shown yet.
  explicit HelpForm(QWidget* parent = nullptr);

  /// The help note that `Text2` receives when the window loads, exactly.
  static QString helpInfoText();

  /// The exact program information shown in `Text1`.
  QString text1() const { return m_programInfo; }
  /// The exact text last put into `Text2`.
  QString text2() const { return m_helpNote; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString m_programInfo;
  QString m_helpNote;
  QLabel* m_picture1 = nullptr;
  QTextEdit* m_text1 = nullptr;
  QTextEdit* m_text2 = nullptr;
  QLineEdit* m_text3 = nullptr;
};

}  // namespace brindle::infowindows
