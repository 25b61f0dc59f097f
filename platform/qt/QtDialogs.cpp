// Builds the toolkit's message box, input dialog and file dialog from the
// program's requests and maps their results back.
#include "platform/qt/QtDialogs.h"

#include "platform/text/FileNameText.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace brindle::platform::qt {

namespace {

QString fromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

QMessageBox::Icon toolkitIcon(Icon icon) {
  switch (icon) {
    case Icon::Critical:
      return QMessageBox::Critical;
    case Icon::Information:
      return QMessageBox::Information;
    case Icon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

Answer answerFor(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Cancel:
      return Answer::Cancel;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Save:
      return Answer::Save;
    case QMessageBox::Discard:
      return Answer::Discard;
    default:
      return Answer::Ok;
  }
}

}  // namespace

QString saveAsNameFilter(const std::string& pattern) {
  QStringList patterns = fromUtf8(pattern).split(u';', Qt::SkipEmptyParts);
  for (QString& each : patterns) each = each.trimmed();
  patterns.removeAll(QString());
  if (patterns.isEmpty() || patterns.contains(QStringLiteral("*")) ||
      patterns.contains(QStringLiteral("*.*"))) {
    return QStringLiteral("All files (*)");
  }
  QString description = QStringLiteral("Files");
  if (patterns.size() == 1 && patterns.first().startsWith(QStringLiteral("*."))) {
    QString extension = patterns.first().mid(2);
    if (extension.compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0) {
      description = QStringLiteral("Text files");
    } else if (!extension.contains(u'*') && !extension.contains(u'?')) {
      description = extension.toUpper() + QStringLiteral(" files");
    }
  }
  return description + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

QtDialogs::QtDialogs(QWidget* parent) : m_parent(parent) {}

Answer QtDialogs::showMessage(const MessageRequest& request) {
  QMessageBox box(m_parent);
  box.setWindowTitle(fromUtf8(request.title));
  // Messages quote file names, which must never be read as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(fromUtf8(request.text));
  box.setIcon(toolkitIcon(request.icon));
  if (!request.details.empty()) {
    box.setDetailedText(fromUtf8(request.details));
    // The details are what the question is about: shown from the start.
    for (QAbstractButton* button : box.buttons()) {
      if (box.buttonRole(button) == QMessageBox::ActionRole) button->click();
    }
  }

  QMessageBox::StandardButton first = QMessageBox::Ok;
  QMessageBox::StandardButton second = QMessageBox::NoButton;
  QMessageBox::StandardButton third = QMessageBox::NoButton;
  switch (request.buttons) {
    case Buttons::Ok:
      break;
    case Buttons::OkCancel:
      second = QMessageBox::Cancel;
      break;
    case Buttons::YesNo:
      first = QMessageBox::Yes;
      second = QMessageBox::No;
      break;
    case Buttons::SaveDiscardCancel:
      first = QMessageBox::Save;
      second = QMessageBox::Discard;
      third = QMessageBox::Cancel;
      break;
  }
  box.setStandardButtons(first | second | third);
  const bool hasSecond = second != QMessageBox::NoButton;
  box.setDefaultButton(request.defaultButton == DefaultButton::Second && hasSecond ? second
                                                                                   : first);
  // Escape (and closing the window) means the negative answer; with three
  // buttons, going back (Cancel), never throwing edits away.
  const QMessageBox::StandardButton escape =
      third != QMessageBox::NoButton ? third : (hasSecond ? second : first);
  box.setEscapeButton(escape);

  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (!clicked) return answerFor(escape);
  return answerFor(box.standardButton(clicked));
}

std::string QtDialogs::showInput(const InputRequest& request) {
  QInputDialog dialog(m_parent);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(fromUtf8(request.title));
  dialog.setLabelText(fromUtf8(request.prompt));
  dialog.setTextValue(fromUtf8(request.defaultText));
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.textValue().toStdString();
}

std::string QtDialogs::showSaveAs(const SaveAsRequest& request) {
  const std::string& title = request.title.empty() ? std::string(kProgramTitle) : request.title;
  QFileDialog dialog(m_parent, fromUtf8(title), fileNameToText(request.initialDirectory));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(saveAsNameFilter(request.filter));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  if (!request.defaultExtension.empty())
    dialog.setDefaultSuffix(fromUtf8(request.defaultExtension));
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return {};
  return textToFileName(chosen.first());
}

std::string QtDialogs::showOpen(const OpenRequest& request) {
  const std::string& title = request.title.empty() ? std::string(kProgramTitle) : request.title;
  QFileDialog dialog(m_parent, fromUtf8(title), fileNameToText(request.initialDirectory));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!request.filter.empty()) dialog.setNameFilter(fromUtf8(request.filter));
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return {};
  return textToFileName(chosen.first());
}

}  // namespace brindle::platform::qt
