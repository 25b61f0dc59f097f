// The remembered values in an INI file, by default in the user's
// configuration folder ($XDG_CONFIG_HOME/Brindle/brindle.ini).
#pragma once

#include <QSettings>
#include <memory>
#include <string>

#include "platform/Settings.h"

namespace brindle::platform::qt {

class QtSettings : public Settings {
 public:
  /// The user's own file.
  QtSettings();
  /// The file at `path` (tests use a temporary one).
  explicit QtSettings(const std::string& path);

  std::optional<std::string> value(const std::string& key) override;
  void setValue(const std::string& key, const std::string& value) override;

  /// Writes what was set to the file now (it is also written when the
  /// object goes).
  void sync() { m_settings->sync(); }

 private:
  std::unique_ptr<QSettings> m_settings;
};

}  // namespace brindle::platform::qt
