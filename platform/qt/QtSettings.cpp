#include "platform/qt/QtSettings.h"

#include <QByteArray>
#include <QString>

namespace brindle::platform::qt {

QtSettings::QtSettings()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Brindle"),
                                             QStringLiteral("brindle"))) {}

QtSettings::QtSettings(const std::string& path)
    : m_settings(std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat)) {}

std::optional<std::string> QtSettings::value(const std::string& key) {
  const QVariant stored = m_settings->value(QString::fromStdString(key));
  if (!stored.isValid()) return std::nullopt;
  // Stored as bytes, so any value comes back exactly as it was set.
  return stored.toByteArray().toStdString();
}

void QtSettings::setValue(const std::string& key, const std::string& value) {
  m_settings->setValue(QString::fromStdString(key), QByteArray::fromStdString(value));
}

}  // namespace brindle::platform::qt
