// The instance lock (within one process and against a helper process), the program
// folder, the clock and the bundle of services.
#include "platform/qt/QtSystem.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTime>

#include "platform/posix/PosixFileSystem.h"
#include "platform/qt/QtPlatform.h"
#include "platform/testing/RecordingFileSystem.h"
#include "tests/support/TempDir.h"

namespace brindle::platform::qt {
namespace {

// The installed layout (bin beside share/brindle) is found without "..", else the binary's folder.
TEST(ProgramFolder, FoundBesideTheBinaryFolder) {
  testsupport::TempDir folder;
  for (const char* made : {"usr/bin", "usr/share/brindle", "build/bin", "build/share", "f/share"}) {
    folder.makeDirectory(made);
  }
  folder.write("f/share/brindle");  // a file, not a folder
  posix::PosixFileSystem real;
  testing::RecordingFileSystem fs(real);
  const auto at = [&](std::string path) {
    return path[0] == '@' ? folder.path() + path.substr(1) : path;
  };
  struct Case {
    const char *binaryDir, *looked, *found;
  };
  for (const Case& c : {Case{"@/usr/bin", "@/usr/share/brindle", "@/usr/share/brindle"},
                        Case{"@/usr/bin/", "@/usr/share/brindle", "@/usr/share/brindle"},
                        Case{"@/build/bin", "@/build/share/brindle", "@/build/bin"},
                        Case{"@/build/bin//", "@/build/share/brindle", "@/build/bin"},
                        Case{"@/f/bin", "@/f/share/brindle", "@/f/bin"},
                        Case{"/bin", "/share/brindle", "/bin"}, Case{"bin", "share/brindle", "bin"},
                        Case{"/opt/x/bin/.", "/opt/x/bin/./../share/brindle", "/opt/x/bin/."}}) {
    SCOPED_TRACE(c.binaryDir);
    fs.clearCalls();
    EXPECT_EQ(programFolderFor(at(c.binaryDir), fs), at(c.found));
    const auto looked = fs.callsOf(testing::FsOp::IsDirectory);
    EXPECT_EQ(looked.empty() ? "" : looked.front().path, at(c.looked));
  }
  EXPECT_EQ(ExecutableProgramFolder(real, folder / "usr/bin").path(), folder / "usr/share/brindle");
}

std::string startHolder(QProcess& holder, const std::string& lock) {
  holder.start(QStringLiteral(BRINDLE_LOCK_HOLDER), {QString::fromStdString(lock)});
  if (!holder.waitForStarted(10000)) return "not started";
  for (int i = 0; i < 100 && !holder.canReadLine(); ++i) holder.waitForReadyRead(100);
  return holder.readLine().trimmed().toStdString();
}

TEST(QtSystem, OneInstanceLockClockAndServices) {
  testsupport::TempDir folder;
  const std::string lock = folder / "brindle.lock";
  const auto lockExists = [&] { return QFile::exists(QString::fromStdString(lock)); };
  auto first = std::make_unique<LockFileInstanceGuard>(lock);
  EXPECT_FALSE(first->holdsLock() || lockExists()) << "no lock before the question";
  EXPECT_EQ(first->lockPath(), lock);
  EXPECT_FALSE(first->anotherInstanceRunning());
  EXPECT_FALSE(first->anotherInstanceRunning()) << "the answer stays the same";
  EXPECT_TRUE(first->holdsLock() && lockExists());
  LockFileInstanceGuard second(lock);
  EXPECT_TRUE(second.anotherInstanceRunning());
  EXPECT_FALSE(second.holdsLock());
  QProcess busy;
  EXPECT_EQ(startHolder(busy, lock), "busy") << "another process sees this one";
  busy.kill();
  busy.waitForFinished(10000);
  first.reset();
  EXPECT_FALSE(lockExists()) << "the lock ends with its guard";
  EXPECT_TRUE(second.anotherInstanceRunning()) << "the first answer is kept";

  // A lock another process has held for an hour still counts; once it is killed, it is taken over.
  QProcess holder;
  ASSERT_EQ(startHolder(holder, lock), "locked");
  QFile file(QString::fromStdString(lock));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                               QFileDevice::FileModificationTime));
  file.close();
  EXPECT_TRUE(LockFileInstanceGuard(lock).anotherInstanceRunning());
  holder.kill();
  ASSERT_TRUE(holder.waitForFinished(10000));
  ASSERT_TRUE(lockExists());
  LockFileInstanceGuard third(lock);
  EXPECT_FALSE(third.anotherInstanceRunning());
  EXPECT_TRUE(third.holdsLock());
  LockFileInstanceGuard unusable(folder / "no such folder/brindle.lock");
  EXPECT_FALSE(unusable.anotherInstanceRunning() || unusable.holdsLock());

  const QString defaultLock = QString::fromStdString(defaultLockFilePath());
  EXPECT_TRUE(defaultLock.endsWith("/brindle.lock") &&
              QFileInfo(QFileInfo(defaultLock).path()).isDir());
  const int expected = QTime::currentTime().msecsSinceStartOfDay() / 1000;
  const TimeOfDay now = SystemClock().localTimeOfDay();
  EXPECT_LE((now.hour * 3600 + now.minute * 60 + now.second - expected + 86400) % 86400, 2);
  EXPECT_EQ(QString::fromStdString(executableFolder()), QCoreApplication::applicationDirPath());
  QtPlatform services;
  Platform platform = services.platform();
  EXPECT_EQ(&platform.fileSystem, &services.fileSystem);
  EXPECT_EQ(&platform.instanceGuard, &services.instanceGuard);
  EXPECT_EQ(platform.programFolder.path(),
            programFolderFor(executableFolder(), services.fileSystem));
}

}  // namespace
}  // namespace brindle::platform::qt
