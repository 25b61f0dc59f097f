// The numbered rename dialog "Rename Files": renames the selection of the
// main window's file list with a common or kept name and running numbers.
#pragma once

#include <QEvent>
#include <QWidget>

#include "platform/Platform.h"
#include "rename/core/BatchWalk.h"
#include "rename/core/NameRules.h"
#include "rename/core/RememberedNumbering.h"
#include "ui/HelpClicks.h"
#include "ui/core/ContextHelp.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QShowEvent;
class QPushButton;
class QRadioButton;

namespace brindle::rename {

/// The numbered rename dialog: renames the selected files with running numbers.
class renameall : public QWidget {
  Q_OBJECT

 public:
  /// A freshly loaded dialog: the start-number list filled, Common and Left
  /// chosen. `files` is the main window's file list; it must outlive the
  /// dialog. Registers its help mode with `help`.
  /// `history` records the renames (none: the history is off).
  renameall(platform::Platform& platform, ui::ContextHelp& help, ui::FileListHost& files,
            QWidget* parent = nullptr, history::History* history = nullptr);
  ~renameall() override;

  ui::HelpMode& helpMode() { return m_helpMode; }
  /// Whether the Common layout is shown (otherwise the Unique one).
  bool showsCommonLayout() const;
  /// The layout and texts chosen in the dialog.
  NumberingOptions options() const;
  /// The scrolling list of every selected file's new name.
  QPlainTextEdit& previewList() { return *m_previewList; }

 protected:
  void showEvent(QShowEvent* event) override;

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void fillStartNumbers();
  void showLayout(bool common);
  /// Shows remembered choices in the controls.
  void showChoices(const NumberingChoices& choices);
  /// The help topic of a control hit by the mouse or the focus, or kNoTopic.
  int controlTopic(QObject* watched, QEvent::Type type) const;

  // Handlers; each but helper looks at help mode first.
  void onOption1Click();
  void onOption2Click();
  void onTopicOnly(int topic);
  void onPreviewSourceChanged(int topic);
  void onAccept();
  void onAbort();
  /// Fills the list of new names from the selection and the choices.
  void updatePreviewList();

  platform::Platform& m_platform;
  ui::ContextHelp& m_help;
  ui::FileListHost& m_files;
  history::History* m_history;
  ui::HelpMode m_helpMode;
  ui::HelpClickGuard m_helpClicks;

  QGroupBox* m_frame1 = nullptr;
  QRadioButton* m_option1 = nullptr;
  QRadioButton* m_option2 = nullptr;
  QGroupBox* m_frame2 = nullptr;
  QRadioButton* m_option3 = nullptr;
  QRadioButton* m_option4 = nullptr;
  QGroupBox* m_frame3 = nullptr;
  QLineEdit* m_text2 = nullptr;
  QLabel* m_label2 = nullptr;
  QLineEdit* m_text1 = nullptr;
  QLabel* m_label1 = nullptr;
  QComboBox* m_combo1 = nullptr;
  QLabel* m_label3 = nullptr;
  QLineEdit* m_result = nullptr;
  QPushButton* m_accept = nullptr;
  QPushButton* m_abort = nullptr;
  QPushButton* m_helper = nullptr;
  QPlainTextEdit* m_previewList = nullptr;
};

}  // namespace brindle::rename
