// What the program remembers between runs (the last folder, window places,
// a dialog's last choices): named values kept in the user's configuration.
#pragma once

#include <optional>
#include <string>

namespace brindle::platform {

class Settings {
 public:
  virtual ~Settings() = default;

  /// The value stored under `key`, or nothing when none is.
  virtual std::optional<std::string> value(const std::string& key) = 0;
  /// Stores `value` (any bytes) under `key`, replacing what was there.
  virtual void setValue(const std::string& key, const std::string& value) = 0;
};

}  // namespace brindle::platform
