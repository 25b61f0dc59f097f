// The toolkit dialogs: each request opens the real dialog offscreen, set up as asked, and
// the button pressed or text chosen comes back.
#include "platform/qt/QtDialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

#include "QtTestSupport.h"
#include "tests/support/TempDir.h"

namespace brindle::platform::qt {
namespace {

using test::onNext;
using B = QMessageBox;

TEST(QtDialogs, MessageBoxesMapButtonsIconsDefaultsAndAnswers) {
  struct Case {
    Buttons buttons;
    Icon icon;
    DefaultButton defaultButton;
    B::StandardButton press;  // NoButton: Escape
    Answer answer;
    B::StandardButtons shown;
    B::Icon shownIcon;
    B::StandardButton shownDefault, shownEscape;
  };
  const B::StandardButtons saveDiscardCancel = B::Save | B::Discard | B::Cancel;
  const Case cases[] = {
      {Buttons::YesNo, Icon::Critical, DefaultButton::Second, B::Yes, Answer::Yes, B::Yes | B::No,
       B::Critical, B::No, B::No},
      {Buttons::YesNo, Icon::None, DefaultButton::First, B::No, Answer::No, B::Yes | B::No,
       B::NoIcon, B::Yes, B::No},
      {Buttons::OkCancel, Icon::None, DefaultButton::First, B::NoButton, Answer::Cancel,
       B::Ok | B::Cancel, B::NoIcon, B::Ok, B::Cancel},
      {Buttons::OkCancel, Icon::None, DefaultButton::Second, B::Ok, Answer::Ok, B::Ok | B::Cancel,
       B::NoIcon, B::Cancel, B::Cancel},
      {Buttons::Ok, Icon::Information, DefaultButton::Second, B::NoButton, Answer::Ok, B::Ok,
       B::Information, B::Ok, B::Ok},
      // Escape on the unsaved-edits question goes back to the edits, never throws them away.
      {Buttons::SaveDiscardCancel, Icon::None, DefaultButton::First, B::Save, Answer::Save,
       saveDiscardCancel, B::NoIcon, B::Save, B::Cancel},
      {Buttons::SaveDiscardCancel, Icon::None, DefaultButton::First, B::Discard, Answer::Discard,
       saveDiscardCancel, B::NoIcon, B::Save, B::Cancel},
      {Buttons::SaveDiscardCancel, Icon::None, DefaultButton::First, B::Cancel, Answer::Cancel,
       saveDiscardCancel, B::NoIcon, B::Save, B::Cancel},
      {Buttons::SaveDiscardCancel, Icon::None, DefaultButton::First, B::NoButton, Answer::Cancel,
       saveDiscardCancel, B::NoIcon, B::Save, B::Cancel},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE(row);
    MessageRequest request;
    request.text = "<b>Grüße.mp3</b>?";
    request.buttons = c.buttons;
    request.icon = c.icon;
    request.defaultButton = c.defaultButton;
    request.title = row == 2 ? "Renaming" : "";
    // A question's details (the list a batch will rename) are shown open from the start.
    request.details = row == 1 ? "a.mp3 -> A.MP3\n" : "";
    QtDialogs dialogs;
    auto respond = onNext<B>([&](B* box) {
      EXPECT_EQ(box->windowTitle(), row == 2 ? "Renaming" : "Brindle");
      EXPECT_EQ(box->textFormat(), Qt::PlainText);
      EXPECT_EQ(box->text(), QString::fromStdString(request.text));
      EXPECT_EQ(box->icon(), c.shownIcon);
      EXPECT_EQ(box->standardButtons(), c.shown);
      EXPECT_EQ(box->standardButton(box->defaultButton()), c.shownDefault);
      EXPECT_EQ(box->standardButton(box->escapeButton()), c.shownEscape);
      EXPECT_EQ(box->detailedText(), QString::fromStdString(request.details));
      auto* details = box->findChild<QTextEdit*>();
      EXPECT_EQ(details && details->isVisible(), row == 1);
      if (c.press != B::NoButton) return box->button(c.press)->click();
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(box, &escape);
    });
    EXPECT_EQ(dialogs.message(request), c.answer);
    EXPECT_TRUE(respond.ran());
  }
}

TEST(QtDialogs, InputAndSaveAsGiveBackWhatWasChosen) {
  testsupport::TempDir folder;
  QtDialogs dialogs;
  InputRequest question;
  question.prompt = "New name:";
  question.defaultText = "old ä";
  auto typing = onNext<QInputDialog>([](QInputDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Brindle");
    EXPECT_EQ(dialog->labelText(), "New name:");
    EXPECT_EQ(dialog->textValue(), QString::fromUtf8("old ä"));
    dialog->setTextValue(QString::fromUtf8("Größe ♪ 2"));
    dialog->accept();
  });
  EXPECT_EQ(dialogs.input(question), "Größe ♪ 2");
  auto cancelling = onNext<QInputDialog>([](QInputDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(dialogs.input(question), "");

  SaveAsRequest request;
  request.initialDirectory = folder.path();
  request.title = "Save the list";
  request.filter = "*.txt";
  request.defaultExtension = "txt";
  auto saving = onNext<QFileDialog>([&](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Save the list");
    EXPECT_EQ(dialog->directory().absolutePath(), QString::fromStdString(folder.path()));
    EXPECT_EQ(dialog->nameFilters(), QStringList{saveAsNameFilter("*.txt")});
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->testOption(QFileDialog::DontConfirmOverwrite), false);
    // Typed rather than selected: the dialog's file list fills in later and would undo a selection.
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(field, nullptr) << "the Save As dialog has no file name field";
    if (field) field->setText(QStringLiteral("report"));
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(dialogs.saveAs(request), folder / "report.txt") << "with the default extension";
  request.title.clear();
  auto closing = onNext<QFileDialog>([](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Brindle");
    static_cast<QDialog*>(dialog)->reject();
  });
  EXPECT_EQ(dialogs.saveAs(request), "");
  EXPECT_TRUE(typing.ran() && cancelling.ran() && saving.ran() && closing.ran());
}

TEST(SaveAsNameFilter, DescribesThePattern) {
  const std::pair<const char*, const char*> rows[] = {
      {"*.txt", "Text files (*.txt)"},
      {"*.csv", "CSV files (*.csv)"},
      {"*.txt;*.log", "Files (*.txt *.log)"},
      {"", "All files (*)"},
      {"*.*", "All files (*)"},
      {"list?.txt", "Files (list?.txt)"},
      {"*.m?3", "Files (*.m?3)"},
  };
  for (const auto& [pattern, filter] : rows) EXPECT_EQ(saveAsNameFilter(pattern), filter);
}

}  // namespace
}  // namespace brindle::platform::qt
