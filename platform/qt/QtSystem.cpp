// Lock file, clock and program folder on top of the toolkit's core classes.
#include "platform/qt/QtSystem.h"

#include "platform/text/FileNameText.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTime>
#include <array>

namespace brindle::platform::qt {

namespace {

std::string withoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::string defaultLockFilePath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::tempPath();
  return textToFileName(QDir(folder).filePath(QStringLiteral("brindle.lock")));
}

LockFileInstanceGuard::LockFileInstanceGuard(std::string lockPath)
    : m_path(lockPath.empty() ? defaultLockFilePath() : std::move(lockPath)),
      m_lock(std::make_unique<QLockFile>(fileNameToText(m_path))) {
  // The lock lasts as long as the program runs. By default the toolkit calls
  // a lock older than 30 s stale and, where the system's own file locks do
  // not protect it (network folders), hands it to the next process. A lock
  // file of a process that no longer runs is still found stale.
  m_lock->setStaleLockTime(0);
}

LockFileInstanceGuard::~LockFileInstanceGuard() = default;

bool LockFileInstanceGuard::anotherInstanceRunning() {
  if (!m_answer) {
    const bool locked = m_lock->tryLock(0);
    m_answer = !locked && m_lock->error() == QLockFile::LockFailedError;
  }
  return *m_answer;
}

bool LockFileInstanceGuard::holdsLock() const {
  return m_lock->isLocked();
}

TimeOfDay SystemClock::localTimeOfDay() {
  const QTime now = QTime::currentTime();
  return TimeOfDay{now.hour(), now.minute(), now.second()};
}

std::string programFolderFor(const std::string& binaryDir, FileSystem& fileSystem) {
  const std::string binary = withoutTrailingSeparators(binaryDir);
  if (binary.empty()) return binary;
  // The sibling "share/brindle" of the binary's folder, spelt without "..".
  const std::size_t slash = binary.find_last_of('/');
  const std::string last = slash == std::string::npos ? binary : binary.substr(slash + 1);
  std::string installed;
  if (last.empty() || slash == 0) {
    installed = "/share/brindle";  // the binary sits in "/" or in "/bin"
  } else if (last == "." || last == "..") {
    installed = binary + "/../share/brindle";
  } else if (slash == std::string::npos) {
    installed = "share/brindle";
  } else {
    installed = binary.substr(0, slash) + "/share/brindle";
  }
  if (fileSystem.isDirectory(installed)) return installed;
  return binary;
}

std::string executableFolder() {
  std::array<char, 4096> buffer{};
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length > 0 && static_cast<std::size_t>(length) < buffer.size()) {
    std::string binary(buffer.data(), static_cast<std::size_t>(length));
    const std::size_t slash = binary.find_last_of('/');
    if (slash != std::string::npos) return slash == 0 ? "/" : binary.substr(0, slash);
  }
  if (QCoreApplication::instance()) {
    return textToFileName(QCoreApplication::applicationDirPath());
  }
  return ".";
}

ExecutableProgramFolder::ExecutableProgramFolder(FileSystem& fileSystem, std::string binaryDir)
    : m_fileSystem(fileSystem), m_binaryDir(std::move(binaryDir)) {}

std::string ExecutableProgramFolder::path() {
  if (!m_path) {
    m_path = programFolderFor(m_binaryDir.empty() ? executableFolder() : m_binaryDir, m_fileSystem);
  }
  return *m_path;
}

}  // namespace brindle::platform::qt
