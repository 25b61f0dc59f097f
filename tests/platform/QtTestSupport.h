// Helpers of the toolkit tests: acting on the next modal dialog while its
// event loop runs, setting an environment variable for one test, and
// running a command-line tool.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace brindle::platform::test {

/// Runs `action` on the next modal window once it is shown (the test's call
/// then blocks in that window's event loop). Gives up after `timeoutMs`.
class OnNextModal {
 public:
  explicit OnNextModal(std::function<void(QWidget*)> action, int timeoutMs = 5000)
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

/// Sets (or, with nothing, unsets) an environment variable until the end of
/// the scope, then restores the old value.
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

/// The standard output of a program, or nothing when it failed to run.
inline std::optional<QByteArray> runTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    return std::nullopt;
  }
  return process.readAllStandardOutput();
}

}  // namespace brindle::platform::test
