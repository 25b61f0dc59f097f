// Helpers of the toolkit tests: acting on the next modal dialog while its event loop runs,
// and setting an environment variable for one scope.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

namespace brindle::platform::test {

/// Runs `action` on the next modal window once it is shown (the test's call then blocks in
/// that window's event loop); stops looking when it goes out of scope.
class OnNextModal {
 public:
  explicit OnNextModal(std::function<void(QWidget*)> action) {
    QObject::connect(&m_timer, &QTimer::timeout, [this, action] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        m_timer.stop();
        m_ran = true;
        action(modal);
      }
    });
    m_timer.start(10);
  }
  bool ran() const { return m_ran; }

 private:
  QTimer m_timer;
  bool m_ran = false;
};

/// Acts on the next modal window if it is a `D`; closes any other.
template <class D>
OnNextModal onNext(std::function<void(D*)> action) {
  return OnNextModal([action](QWidget* widget) {
    if (auto* dialog = qobject_cast<D*>(widget)) return action(dialog);
    widget->close();
  });
}

/// Sets (or, with nothing, unsets) an environment variable until the end of the scope.
struct ScopedEnvironment {
  ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name(name) {
    if (qEnvironmentVariableIsSet(name)) old = qgetenv(name);
    set(value ? std::optional(QByteArray::fromStdString(*value)) : std::nullopt);
  }
  ~ScopedEnvironment() { set(old); }
  void set(const std::optional<QByteArray>& value) {
    value ? (void)qputenv(name, *value) : (void)qunsetenv(name);
  }
  const char* name;
  std::optional<QByteArray> old;
};

}  // namespace brindle::platform::test
