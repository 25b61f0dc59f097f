// Tests of the toolkit dialogs: each test opens the real dialog offscreen,
// checks how it was set up, answers it and checks the returned answer.
#include "platform/qt/QtDialogs.h"

#include <gmock/gmock.h>
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
#include "TemporaryFolder.h"

namespace brindle::platform::qt {
namespace {

using test::OnNextModal;

/// Requests built field by field (designated initializers would have to name
/// every field to keep the warnings quiet).
MessageRequest box(std::string text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                   DefaultButton defaultButton = DefaultButton::First, std::string title = {}) {
  MessageRequest request;
  request.text = std::move(text);
  request.buttons = buttons;
  request.icon = icon;
  request.defaultButton = defaultButton;
  request.title = std::move(title);
  return request;
}

InputRequest prompt(std::string text, std::string defaultText, std::string title = {}) {
  InputRequest request;
  request.prompt = std::move(text);
  request.defaultText = std::move(defaultText);
  request.title = std::move(title);
  return request;
}

SaveAsRequest saveAsRequest(std::string directory, std::string title, std::string filter,
                            std::string extension) {
  SaveAsRequest request;
  request.initialDirectory = std::move(directory);
  request.title = std::move(title);
  request.filter = std::move(filter);
  request.defaultExtension = std::move(extension);
  return request;
}

/// What a test saw of a message box before answering it.
struct SeenBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  Qt::TextFormat format = Qt::AutoText;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
};

/// Shows `request`, records the box and presses `press` (NoButton: Escape).
Answer answerBox(const MessageRequest& request, QMessageBox::StandardButton press, SeenBox& seen) {
  QtDialogs dialogs;
  OnNextModal respond([&](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (!box) {
      widget->close();
      return;
    }
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.format = box->textFormat();
    seen.buttons = box->standardButtons();
    seen.defaultButton = box->standardButton(box->defaultButton());
    seen.escapeButton = box->standardButton(box->escapeButton());
    if (press == QMessageBox::NoButton) {
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(box, &escape);
    } else {
      box->button(press)->click();
    }
  });
  Answer answer = dialogs.message(request);
  EXPECT_TRUE(respond.ran()) << "no message box appeared";
  return answer;
}

TEST(QtDialogs, YesNoQuestionWithSecondDefault) {
  SeenBox seen;
  Answer answer =
      answerBox(box("Delete \"Grüße.mp3\"?", Buttons::YesNo, Icon::Critical, DefaultButton::Second),
                QMessageBox::Yes, seen);
  EXPECT_EQ(answer, Answer::Yes);
  EXPECT_EQ(seen.title, QStringLiteral("Brindle"));
  EXPECT_EQ(seen.text, QString::fromUtf8("Delete \"Grüße.mp3\"?"));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(seen.defaultButton, QMessageBox::No);
  EXPECT_EQ(seen.escapeButton, QMessageBox::No);
}

TEST(QtDialogs, YesNoAnsweredNo) {
  SeenBox seen;
  EXPECT_EQ(answerBox(box("Sure?", Buttons::YesNo), QMessageBox::No, seen), Answer::No);
  EXPECT_EQ(seen.defaultButton, QMessageBox::Yes);
  EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
}

TEST(QtDialogs, EscapeCancelsAnOkCancelBox) {
  SeenBox seen;
  Answer answer =
      answerBox(box("Go on?", Buttons::OkCancel, Icon::None, DefaultButton::First, "Renaming"),
                QMessageBox::NoButton, seen);
  EXPECT_EQ(answer, Answer::Cancel);
  EXPECT_EQ(seen.title, QStringLiteral("Renaming"));
  EXPECT_EQ(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(seen.defaultButton, QMessageBox::Ok);
}

TEST(QtDialogs, OkCancelAnsweredOk) {
  SeenBox seen;
  EXPECT_EQ(answerBox(box("Go on?", Buttons::OkCancel), QMessageBox::Ok, seen), Answer::Ok);
}

// The unsaved-edits question: each button gives its own answer; Escape goes
// back to the edits and never throws them away.
TEST(QtDialogs, SaveDiscardCancelQuestion) {
  const std::pair<QMessageBox::StandardButton, Answer> rows[] = {
      {QMessageBox::Save, Answer::Save},
      {QMessageBox::Discard, Answer::Discard},
      {QMessageBox::Cancel, Answer::Cancel},
      {QMessageBox::NoButton, Answer::Cancel},
  };
  for (const auto& [press, expected] : rows) {
    SeenBox seen;
    EXPECT_EQ(answerBox(box("Save changes to a.mp3?", Buttons::SaveDiscardCancel), press, seen),
              expected);
    EXPECT_EQ(seen.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    EXPECT_EQ(seen.defaultButton, QMessageBox::Save);
    EXPECT_EQ(seen.escapeButton, QMessageBox::Cancel);
  }
}

// A question's details (the list a batch will rename) are shown open below
// the text from the start.
TEST(QtDialogs, DetailsAreShownOpenBelowTheQuestion) {
  QtDialogs dialogs;
  QString details;
  bool shown = false;
  OnNextModal respond([&](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (!box) {
      widget->close();
      return;
    }
    details = box->detailedText();
    auto* list = box->findChild<QTextEdit*>();
    shown = list && list->isVisible();
    box->button(QMessageBox::No)->click();
  });
  MessageRequest request = box("Rename?", Buttons::YesNo);
  request.details = "a.mp3 -> A.MP3\n";
  EXPECT_EQ(dialogs.message(request), Answer::No);
  EXPECT_TRUE(respond.ran());
  EXPECT_EQ(details, QStringLiteral("a.mp3 -> A.MP3\n"));
  EXPECT_TRUE(shown);
}

TEST(QtDialogs, InformationBoxShowsTextAsPlainText) {
  SeenBox seen;
  Answer answer =
      answerBox(box("<b>not bold</b>", Buttons::Ok, Icon::Information, DefaultButton::Second),
                QMessageBox::NoButton, seen);
  EXPECT_EQ(answer, Answer::Ok);
  EXPECT_EQ(seen.format, Qt::PlainText);
  EXPECT_EQ(seen.text, QStringLiteral("<b>not bold</b>"));
  EXPECT_EQ(seen.icon, QMessageBox::Information);
  EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(seen.defaultButton, QMessageBox::Ok);
}

TEST(QtDialogs, InputReturnsTheTypedTextAsUtf8) {
  QtDialogs dialogs;
  QString title, label, initial;
  OnNextModal respond([&](QWidget* widget) {
    auto* dialog = qobject_cast<QInputDialog*>(widget);
    if (!dialog) {
      widget->close();
      return;
    }
    title = dialog->windowTitle();
    label = dialog->labelText();
    initial = dialog->textValue();
    dialog->setTextValue(QString::fromUtf8("Größe ♪ 2"));
    dialog->accept();
  });
  std::string typed = dialogs.input(prompt("New name:", "old ä"));
  ASSERT_TRUE(respond.ran());
  EXPECT_EQ(typed, "Größe ♪ 2");
  EXPECT_EQ(title, QStringLiteral("Brindle"));
  EXPECT_EQ(label, QStringLiteral("New name:"));
  EXPECT_EQ(initial, QString::fromUtf8("old ä"));
}

TEST(QtDialogs, CancelledInputReturnsNothing) {
  QtDialogs dialogs;
  OnNextModal respond([](QWidget* widget) {
    if (auto* dialog = qobject_cast<QDialog*>(widget)) dialog->reject();
  });
  EXPECT_EQ(dialogs.input(prompt("Name:", "kept?", "Own")), "");
  EXPECT_TRUE(respond.ran());
}

TEST(QtDialogs, SaveAsAddsTheDefaultExtension) {
  test::TemporaryFolder folder;
  ASSERT_TRUE(folder.valid());
  QtDialogs dialogs;
  QString title, directory, suffix;
  QStringList filters;
  QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
  OnNextModal respond([&](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    if (!dialog) {
      widget->close();
      return;
    }
    title = dialog->windowTitle();
    directory = dialog->directory().absolutePath();
    suffix = dialog->defaultSuffix();
    filters = dialog->nameFilters();
    mode = dialog->acceptMode();
    dialog->selectFile(QStringLiteral("report"));
    static_cast<QDialog*>(dialog)->accept();  // public there
  });
  std::string chosen =
      dialogs.saveAs(saveAsRequest(folder.path(), "Save the list", "*.txt", "txt"));
  ASSERT_TRUE(respond.ran());
  EXPECT_EQ(chosen, folder / "report.txt");
  EXPECT_EQ(title, QStringLiteral("Save the list"));
  EXPECT_EQ(directory, QString::fromStdString(folder.path()));
  EXPECT_EQ(suffix, QStringLiteral("txt"));
  EXPECT_EQ(filters, QStringList{QStringLiteral("Text files (*.txt)")});
  EXPECT_EQ(mode, QFileDialog::AcceptSave);
}

/// Types `name` into the next Save As dialog and accepts it; answers a
/// question about replacing the file with No, then cancels the dialog.
/// Returns whether the question came.
bool chooseExistingFile(QtDialogs& dialogs, const SaveAsRequest& request, const QString& name,
                        std::string& chosen) {
  bool asked = false;
  OnNextModal respond([&](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    if (!dialog) {
      widget->close();
      return;
    }
    OnNextModal question([&](QWidget* box) {
      asked = true;
      auto* messageBox = qobject_cast<QMessageBox*>(box);
      if (messageBox && messageBox->button(QMessageBox::No)) {
        messageBox->button(QMessageBox::No)->click();
      } else {
        box->close();
      }
    });
    // Typed rather than selected: the dialog's file list fills in later.
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(field, nullptr) << "the Save As dialog has no file name field";
    if (field) field->setText(name);
    static_cast<QDialog*>(dialog)->accept();
    // Still open after the question was declined.
    if (dialog->isVisible()) dialog->reject();
  });
  chosen = dialogs.saveAs(request);
  EXPECT_TRUE(respond.ran());
  return asked;
}

TEST(QtDialogs, SaveAsAsksBeforeReplacingAFileUnlessToldNotTo) {
  test::TemporaryFolder folder;
  ASSERT_TRUE(folder.valid());
  QFile existing(QString::fromStdString(folder / "old.txt"));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  QtDialogs dialogs;
  SaveAsRequest request = saveAsRequest(folder.path(), "List", "*.txt", "txt");
  std::string chosen;

  EXPECT_TRUE(request.confirmOverwrite) << "asking is the default";
  EXPECT_TRUE(chooseExistingFile(dialogs, request, QStringLiteral("old.txt"), chosen));
  EXPECT_EQ(chosen, "") << "declining to replace keeps the dialog open; then it was cancelled";

  request.confirmOverwrite = false;
  EXPECT_FALSE(chooseExistingFile(dialogs, request, QStringLiteral("old.txt"), chosen));
  EXPECT_EQ(chosen, folder / "old.txt");
}

TEST(QtDialogs, CancelledSaveAsReturnsNothing) {
  QtDialogs dialogs;
  QString title;
  OnNextModal respond([&](QWidget* widget) {
    title = widget->windowTitle();
    if (auto* dialog = qobject_cast<QDialog*>(widget)) dialog->reject();
  });
  EXPECT_EQ(dialogs.saveAs(saveAsRequest(QDir::tempPath().toStdString(), "", "*.txt", "txt")), "");
  EXPECT_TRUE(respond.ran());
  EXPECT_EQ(title, QStringLiteral("Brindle")) << "a Save As dialog without title";
}

TEST(QtDialogs, BoxesAreModalToTheParent) {
  QWidget window;
  window.show();
  QtDialogs dialogs(&window);
  QWidget* parent = nullptr;
  OnNextModal respond([&](QWidget* widget) {
    parent = widget->parentWidget();
    widget->close();
  });
  dialogs.message(box("Hello"));
  ASSERT_TRUE(respond.ran());
  EXPECT_EQ(parent, &window);
  dialogs.setParent(nullptr);
  EXPECT_EQ(dialogs.parent(), nullptr);
}

TEST(SaveAsNameFilter, DescribesThePattern) {
  EXPECT_EQ(saveAsNameFilter("*.txt"), QStringLiteral("Text files (*.txt)"));
  EXPECT_EQ(saveAsNameFilter("*.csv"), QStringLiteral("CSV files (*.csv)"));
  EXPECT_EQ(saveAsNameFilter("*.txt;*.log"), QStringLiteral("Files (*.txt *.log)"));
  EXPECT_EQ(saveAsNameFilter(""), QStringLiteral("All files (*)"));
  EXPECT_EQ(saveAsNameFilter("*.*"), QStringLiteral("All files (*)"));
  EXPECT_EQ(saveAsNameFilter("list?.txt"), QStringLiteral("Files (list?.txt)"));
}

}  // namespace
}  // namespace brindle::platform::qt
