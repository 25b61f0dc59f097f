// The toolkit dialogs: each request opens the real dialog offscreen, set up as asked, and the
// button pressed or the text chosen comes back.
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
using Bt = Buttons;
using D = DefaultButton;

// Escape means the negative answer; on the unsaved-edits question, back to the edits.
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
  } const cases[] = {{Bt::YesNo, Icon::Critical, D::Second, B::Yes, Answer::Yes, B::Yes | B::No,
                      B::Critical, B::No, B::No},
                     {Bt::OkCancel, Icon::None, D::First, B::NoButton, Answer::Cancel,
                      B::Ok | B::Cancel, B::NoIcon, B::Ok, B::Cancel},
                     {Bt::Ok, Icon::Information, D::Second, B::NoButton, Answer::Ok, B::Ok,
                      B::Information, B::Ok, B::Ok},
                     {Bt::SaveDiscardCancel, Icon::None, D::First, B::Discard, Answer::Discard,
                      B::Save | B::Discard | B::Cancel, B::NoIcon, B::Save, B::Cancel},
                     {Bt::SaveDiscardCancel, Icon::None, D::Second, B::NoButton, Answer::Cancel,
                      B::Save | B::Discard | B::Cancel, B::NoIcon, B::Discard, B::Cancel}};
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE(row);
    MessageRequest request;
    request.text = "<b>Grüße.mp3</b>?";  // file names are never read as markup
    request.buttons = c.buttons;
    request.icon = c.icon;
    request.defaultButton = c.defaultButton;
    request.title = row == 1 ? "Renaming" : "";
    request.details = row == 0 ? "a.mp3 -> A.MP3\n" : "";  // shown open from the start
    auto respond = onNext<B>([&](B* box) {
      EXPECT_EQ(box->windowTitle(), row == 1 ? "Renaming" : "Brindle");
      EXPECT_EQ(box->text() + box->detailedText(),
                QString::fromStdString(request.text + request.details));
      EXPECT_EQ(box->textFormat(), Qt::PlainText);
      auto* details = box->findChild<QTextEdit*>();
      EXPECT_EQ(details && details->isVisible(), row == 0);
      EXPECT_EQ(
          std::tuple(box->icon(), box->standardButtons(), box->standardButton(box->defaultButton()),
                     box->standardButton(box->escapeButton())),
          std::tuple(c.shownIcon, c.shown, c.shownDefault, c.shownEscape));
      if (c.press != B::NoButton) return box->button(c.press)->click();
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(box, &escape);
    });
    EXPECT_EQ(QtDialogs().message(request), c.answer);
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
    EXPECT_EQ(dialog->labelText() + dialog->textValue(), QString::fromUtf8("New name:old ä"));
    dialog->setTextValue(QString::fromUtf8("Größe ♪ 2"));
    dialog->accept();
  });
  EXPECT_EQ(dialogs.input(question), "Größe ♪ 2");

  SaveAsRequest request;
  request.initialDirectory = folder.path();
  request.filter = "*.txt";
  request.defaultExtension = "txt";
  auto saving = onNext<QFileDialog>([&](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Brindle");
    EXPECT_EQ(dialog->directory().absolutePath(), QString::fromStdString(folder.path()));
    EXPECT_EQ(dialog->nameFilters(), QStringList{saveAsNameFilter("*.txt")});
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    // Typed rather than selected: the file list fills in later and would undo a selection.
    if (auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
      field->setText(QStringLiteral("report"));
    }
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(dialogs.saveAs(request), folder / "report.txt") << "with the default extension";
  auto cancelling = onNext<QFileDialog>([](QFileDialog* d) { static_cast<QDialog*>(d)->reject(); });
  EXPECT_EQ(dialogs.saveAs(request), "");
  EXPECT_TRUE(typing.ran() && saving.ran() && cancelling.ran());
}

TEST(SaveAsNameFilter, DescribesThePattern) {
  EXPECT_EQ(saveAsNameFilter("*.txt"), "Text files (*.txt)");
  EXPECT_EQ(saveAsNameFilter("*.csv"), "CSV files (*.csv)");
  EXPECT_EQ(saveAsNameFilter("") + saveAsNameFilter("*.*"), "All files (*)All files (*)");
  EXPECT_EQ(saveAsNameFilter("*.txt;*.log"), "Files (*.txt *.log)");
  EXPECT_EQ(saveAsNameFilter("*.m?3"), "Files (*.m?3)");
}

}  // namespace
}  // namespace brindle::platform::qt
