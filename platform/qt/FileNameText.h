// File names as the system's bytes and as the toolkit's text, for the Qt
// implementations of the platform interfaces. (The windows have their own
// in app/core: the platform layer sits below them and cannot use it.)
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>
#include <string_view>

namespace brindle::platform::qt {

/// The name's bytes as text; bytes that are not UTF-8 become U+FFFD.
inline QString fileNameToText(std::string_view name) {
  return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

/// The bytes of the name a text stands for.
inline std::string textToFileName(const QString& text) {
  return QFile::encodeName(text).toStdString();
}

}  // namespace brindle::platform::qt
