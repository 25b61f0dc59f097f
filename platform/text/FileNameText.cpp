#include "platform/text/FileNameText.h"

#include <QByteArray>
#include <QFile>

namespace brindle::platform {

QString fileNameToText(std::string_view name) {
  return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

std::string fileNameToUtf8(std::string_view name) {
  return fileNameToText(name).toUtf8().toStdString();
}

std::string textToFileName(const QString& text) {
  return QFile::encodeName(text).toStdString();
}

std::string textToFileName(const QString& text, const std::string& shownName) {
  if (text == fileNameToText(shownName)) return shownName;
  return textToFileName(text);
}

}  // namespace brindle::platform
