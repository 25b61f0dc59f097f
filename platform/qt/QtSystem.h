// The single-instance lock, the local clock and the program's data folder on
// a desktop system.
#pragma once

#include <QLockFile>
#include <memory>
#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/System.h"

namespace brindle::platform::qt {

/// The lock file of the running instance: "brindle.lock" in the user's
/// runtime folder (XDG_RUNTIME_DIR), or in the temporary folder when the
/// system has none.
std::string defaultLockFilePath();

/// Tells whether another instance runs by holding a lock file for as long as
/// this object lives. A lock file left behind by a process that has ended
/// (a crash) does not count; a lock of a live process never goes stale.
class LockFileInstanceGuard : public InstanceGuard {
 public:
  /// @param lockPath  the lock file (system bytes); empty means
  ///                  defaultLockFilePath().
  explicit LockFileInstanceGuard(std::string lockPath = {});
  ~LockFileInstanceGuard() override;
  LockFileInstanceGuard(const LockFileInstanceGuard&) = delete;
  LockFileInstanceGuard& operator=(const LockFileInstanceGuard&) = delete;

  /// The first call tries to take the lock and remembers the answer; later
  /// calls repeat it. When the lock cannot be examined at all (no such
  /// folder, no permission) the answer is false: better a second instance
  /// than none.
  bool anotherInstanceRunning() override;

  /// True when this object holds the lock.
  bool holdsLock() const;
  const std::string& lockPath() const { return m_path; }

 private:
  std::string m_path;
  std::unique_ptr<QLockFile> m_lock;
  std::optional<bool> m_answer;
};

/// The local time of day of the system clock.
class SystemClock : public Clock {
 public:
  TimeOfDay localTimeOfDay() override;
};

/// The data folder for a program binary in `binaryDir` (without trailing
/// separator): `<binaryDir>/../share/brindle` when that folder exists (the
/// installed layout, returned without the ".."), else `binaryDir` itself
/// (the build tree, where the data files are copied beside the binary).
std::string programFolderFor(const std::string& binaryDir, FileSystem& fileSystem);

/// The folder of the running executable (from /proc/self/exe, or the
/// application's folder as the toolkit knows it), without trailing separator.
std::string executableFolder();

/// The data folder of the running program, found by programFolderFor() from
/// the executable's folder on first use.
class ExecutableProgramFolder : public ProgramFolder {
 public:
  /// @param fileSystem  used to look for the installed layout; must outlive
  ///                    this object.
  /// @param binaryDir   the executable's folder; empty means
  ///                    executableFolder().
  explicit ExecutableProgramFolder(FileSystem& fileSystem, std::string binaryDir = {});

  std::string path() override;

 private:
  FileSystem& m_fileSystem;
  std::string m_binaryDir;
  std::optional<std::string> m_path;
};

}  // namespace brindle::platform::qt
