// Helpers of the toolkit tests: answering the next modal dialog, and scoped environment variables.
#pragma once

#include <QtWidgets>
#include <optional>
#include <string>

namespace brindle::platform::qt {

/// Acts on the next modal window if it is a `D` (closes any other) while the tested call waits.
template <class D>
struct OnNext {
  explicit OnNext(std::function<void(D*)> action) {
    QObject::connect(&timer, &QTimer::timeout, [this, action] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        timer.stop();
        ran = true;
        if (auto* dialog = qobject_cast<D*>(modal)) return action(dialog);
        modal->close();
      }
    });
    timer.start(10);
  }
  QTimer timer;
  bool ran = false;
};

/// Sets (or, with nothing, unsets) an environment variable until the end of the scope.
struct ScopedEnvironment {
  ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name(name) {
    if (qEnvironmentVariableIsSet(name)) old = qgetenv(name);
    value ? (void)qputenv(name, value->c_str()) : (void)qunsetenv(name);
  }
  ~ScopedEnvironment() { old ? (void)qputenv(name, *old) : (void)qunsetenv(name); }
  const char* name;
  std::optional<QByteArray> old;
};

}  // namespace brindle::platform::qt
