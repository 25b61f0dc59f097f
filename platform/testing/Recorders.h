// Recording stand-ins for the printer, the shell and the small system
// services.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Printer.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "platform/System.h"

namespace brindle::platform::testing {

class RecordingPrinter : public Printer {
 public:
  enum class Step { ChoosePrinter, SetFontSize, PrintLine, EndDocument };

  /// Makes the given step fail from now on.
  void failAt(Step step) { m_failAt = step; }
  void setChoiceAccepted(bool accepted) { m_accepted = accepted; }

  bool choosePrinter() override;
  Status setFontSize(int points) override;
  Status printLine(const std::string& line) override;
  Status endDocument() override;

  int choosePrinterCalls() const { return m_chooseCalls; }
  int fontSize() const { return m_fontSize; }
  const std::vector<std::string>& lines() const { return m_lines; }
  /// Documents ended so far, each as its lines.
  const std::vector<std::vector<std::string>>& documents() const { return m_documents; }

 private:
  Status step(Step step);

  std::optional<Step> m_failAt;
  bool m_accepted = true;
  int m_chooseCalls = 0;
  int m_fontSize = 0;
  std::vector<std::string> m_lines;
  std::vector<std::vector<std::string>> m_documents;
};

class RecordingShell : public Shell {
 public:
  void setFailure(std::optional<Error> error) { m_failure = std::move(error); }

  Status openWithAssociatedProgram(const std::string& path) override;
  Status openInTextEditor(const std::string& path) override;
  /// Without a trash folder (the default) every move fails with ENOTSUP, as
  /// on a system without a trash; with one, the file is renamed into it.
  Status moveToTrash(const std::string& path) override;
  void setTrashFolder(std::string folder) { m_trashFolder = std::move(folder); }
  const std::vector<std::string>& trashed() const { return m_trashed; }

  const std::vector<std::string>& opened() const { return m_opened; }
  const std::vector<std::string>& edited() const { return m_edited; }

 private:
  std::optional<Error> m_failure;
  std::vector<std::string> m_opened;
  std::string m_trashFolder;
  std::vector<std::string> m_trashed;
  std::vector<std::string> m_edited;
};

class FakeInstanceGuard : public InstanceGuard {
 public:
  explicit FakeInstanceGuard(bool anotherRunning = false) : m_another(anotherRunning) {}
  void setAnotherRunning(bool another) { m_another = another; }
  bool anotherInstanceRunning() override {
    ++m_calls;
    return m_another;
  }
  int calls() const { return m_calls; }

 private:
  bool m_another;
  int m_calls = 0;
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(TimeOfDay time = {12, 34, 56}) : m_time(time) {}
  void set(TimeOfDay time) { m_time = time; }
  TimeOfDay localTimeOfDay() override { return m_time; }

 private:
  TimeOfDay m_time;
};

class FixedProgramFolder : public ProgramFolder {
 public:
  explicit FixedProgramFolder(std::string path = {}) : m_path(std::move(path)) {}
  void set(std::string path) { m_path = std::move(path); }
  std::string path() override { return m_path; }

 private:
  std::string m_path;
};

/// Remembered values held in memory for one test.
class MemorySettings : public Settings {
 public:
  std::optional<std::string> value(const std::string& key) override {
    auto found = m_values.find(key);
    if (found == m_values.end()) return std::nullopt;
    return found->second;
  }
  void setValue(const std::string& key, const std::string& value) override {
    m_values[key] = value;
  }
  const std::map<std::string, std::string>& values() const { return m_values; }

 private:
  std::map<std::string, std::string> m_values;
};

}  // namespace brindle::platform::testing
