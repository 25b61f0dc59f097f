// Helpers of the toolkit tests: acting on the next modal dialog while its event loop runs,
// and setting an environment variable for one test.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

namespace brindle::platform::test {

/// Runs `action` on the next modal window once it is shown (the test's call then blocks in
/// that window's event loop). Gives up after `timeoutMs` without one.
class OnNextModal {
 public:
  explicit OnNextModal(std::function<void(QWidget*)> action, int timeoutMs = 60000)
      : m_action(std::move(action)), m_timeoutMs(timeoutMs) {
    m_clock.start();
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start();
  }
  bool ran() const { return m_ran; }

 private:
  void poll() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      m_timer.stop();
      m_ran = true;
      m_action(modal);
    } else if (m_clock.elapsed() > m_timeoutMs) {
      m_timer.stop();
    }
  }

  std::function<void(QWidget*)> m_action;
  int m_timeoutMs;
  QElapsedTimer m_clock;
  QTimer m_timer;
  bool m_ran = false;
};

/// Acts on the next modal window if it is a `D`; closes any other.
template <class D>
OnNextModal onNext(std::function<void(D*)> action) {
  return OnNextModal([action](QWidget* widget) {
    if (auto* dialog = qobject_cast<D*>(widget)) {
      action(dialog);
    } else {
      widget->close();
    }
  });
}

/// Sets (or, with nothing, unsets) an environment variable until the end of the scope.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, std::optional<std::string> value) : m_name(name) {
    if (qEnvironmentVariableIsSet(name)) m_previousValue = qgetenv(name);
    if (value) {
      qputenv(name, QByteArray::fromStdString(*value));
    } else {
      qunsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    if (m_previousValue) {
      qputenv(m_name, *m_previousValue);
    } else {
      qunsetenv(m_name);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* m_name;
  std::optional<QByteArray> m_previousValue;
};

}  // namespace brindle::platform::test
