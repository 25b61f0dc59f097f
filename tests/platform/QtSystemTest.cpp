// Tests of the instance lock (within one process and against a helper
// process), the clock, the program folder and the bundle of services.
#include "platform/qt/QtSystem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTime>
#include <cstdlib>

#include "QtTestSupport.h"
#include "TemporaryFolder.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/qt/QtPlatform.h"
#include "platform/testing/RecordingFileSystem.h"

namespace brindle::platform::qt {
namespace {

using test::TemporaryFolder;

class InstanceGuardTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.valid()); }

  /// Starts the helper process on the lock and returns what it reported.
  std::string startHolder(QProcess& holder) {
    holder.start(QStringLiteral(BRINDLE_LOCK_HOLDER), {QString::fromStdString(lock)});
    if (!holder.waitForStarted(10000)) return "not started";
    for (int i = 0; i < 100 && !holder.canReadLine(); ++i) holder.waitForReadyRead(100);
    return holder.readLine().trimmed().toStdString();
  }

  static void stopHolder(QProcess& holder) {
    holder.closeWriteChannel();
    if (!holder.waitForFinished(10000)) {
      holder.kill();
      holder.waitForFinished(5000);
    }
  }

  TemporaryFolder folder;
  const std::string lock = folder / "brindle.lock";
};

TEST_F(InstanceGuardTest, TheSecondGuardSeesTheFirst) {
  auto first = std::make_unique<LockFileInstanceGuard>(lock);
  EXPECT_FALSE(first->anotherInstanceRunning());
  EXPECT_TRUE(first->holdsLock());
  EXPECT_FALSE(first->anotherInstanceRunning()) << "the answer must stay the same";
  EXPECT_TRUE(QFile::exists(QString::fromStdString(lock)));

  LockFileInstanceGuard second(lock);
  EXPECT_TRUE(second.anotherInstanceRunning());
  EXPECT_FALSE(second.holdsLock());

  first.reset();
  EXPECT_FALSE(QFile::exists(QString::fromStdString(lock))) << "the lock ends with its guard";
  EXPECT_TRUE(second.anotherInstanceRunning()) << "the first answer is kept";
  LockFileInstanceGuard third(lock);
  EXPECT_FALSE(third.anotherInstanceRunning());
  EXPECT_TRUE(third.holdsLock());
}

TEST_F(InstanceGuardTest, NoLockIsTakenBeforeTheQuestion) {
  LockFileInstanceGuard guard(lock);
  EXPECT_FALSE(guard.holdsLock());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(lock)));
  EXPECT_EQ(guard.lockPath(), lock);
}

TEST_F(InstanceGuardTest, AnotherProcessHoldingTheLockIsSeen) {
  QProcess holder;
  ASSERT_EQ(startHolder(holder), "locked");
  {
    LockFileInstanceGuard guard(lock);
    EXPECT_TRUE(guard.anotherInstanceRunning());
  }
  stopHolder(holder);
  EXPECT_EQ(holder.exitCode(), 0);
  LockFileInstanceGuard after(lock);
  EXPECT_FALSE(after.anotherInstanceRunning());
}

TEST_F(InstanceGuardTest, TheOtherProcessSeesThisOne) {
  LockFileInstanceGuard guard(lock);
  ASSERT_FALSE(guard.anotherInstanceRunning());
  QProcess holder;
  EXPECT_EQ(startHolder(holder), "busy");
  stopHolder(holder);
}

TEST_F(InstanceGuardTest, ALockLeftByACrashedProcessIsTakenOver) {
  QProcess holder;
  ASSERT_EQ(startHolder(holder), "locked");
  holder.kill();
  ASSERT_TRUE(holder.waitForFinished(10000));
  ASSERT_TRUE(QFile::exists(QString::fromStdString(lock))) << "a killed process leaves its lock";
  LockFileInstanceGuard guard(lock);
  EXPECT_FALSE(guard.anotherInstanceRunning());
  EXPECT_TRUE(guard.holdsLock());
}

TEST_F(InstanceGuardTest, AnOldLockOfARunningProcessStillCounts) {
  QProcess holder;
  ASSERT_EQ(startHolder(holder), "locked");
  // Backdate the lock file by an hour, as if the instance had run that long.
  QFile file(QString::fromStdString(lock));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                               QFileDevice::FileModificationTime));
  file.close();
  {
    LockFileInstanceGuard guard(lock);
    EXPECT_TRUE(guard.anotherInstanceRunning());
  }
  stopHolder(holder);
}

TEST_F(InstanceGuardTest, AnUnusableLockFolderDoesNotBlockTheProgram) {
  LockFileInstanceGuard guard(folder / "no such folder/brindle.lock");
  EXPECT_FALSE(guard.anotherInstanceRunning());
  EXPECT_FALSE(guard.holdsLock());
}

TEST(DefaultLockFilePath, IsNamedBrindleLockInAnExistingFolder) {
  const std::string path = defaultLockFilePath();
  ASSERT_GT(path.size(), std::string("/brindle.lock").size());
  EXPECT_EQ(path.substr(path.size() - 13), "/brindle.lock");
  EXPECT_TRUE(QFileInfo(QFileInfo(QString::fromStdString(path)).path()).isDir());
}

TEST(SystemClock, GivesTheLocalTimeOfDay) {
  SystemClock clock;
  const QTime before = QTime::currentTime();
  const TimeOfDay now = clock.localTimeOfDay();
  EXPECT_GE(now.hour, 0);
  EXPECT_LT(now.hour, 24);
  EXPECT_GE(now.minute, 0);
  EXPECT_LT(now.minute, 60);
  EXPECT_GE(now.second, 0);
  EXPECT_LT(now.second, 60);
  const int seconds = now.hour * 3600 + now.minute * 60 + now.second;
  const int expected = before.msecsSinceStartOfDay() / 1000;
  const int difference = (seconds - expected + 86400) % 86400;
  EXPECT_LE(difference, 2);
}

class ProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.valid()); }
  void makeFolder(const std::string& path) {
    ASSERT_EQ(std::system(("mkdir -p '" + path + "'").c_str()), 0);
  }

  TemporaryFolder folder;
  posix::PosixFileSystem fs;
};

TEST_F(ProgramFolderTest, InstalledLayoutUsesShareBrindle) {
  makeFolder(folder / "usr/bin");
  makeFolder(folder / "usr/share/brindle");
  EXPECT_EQ(programFolderFor(folder / "usr/bin", fs), folder / "usr/share/brindle");
  EXPECT_EQ(programFolderFor(folder / "usr/bin/", fs), folder / "usr/share/brindle");
}

TEST_F(ProgramFolderTest, BuildTreeUsesTheBinaryFolder) {
  makeFolder(folder / "build/bin");
  makeFolder(folder / "build/share");
  EXPECT_EQ(programFolderFor(folder / "build/bin", fs), folder / "build/bin");
  EXPECT_EQ(programFolderFor(folder / "build/bin//", fs), folder / "build/bin");
}

TEST_F(ProgramFolderTest, ASharedFileIsNotAFolder) {
  makeFolder(folder / "usr/bin");
  makeFolder(folder / "usr/share");
  ASSERT_TRUE(fs.writeFile(folder / "usr/share/brindle", "", WriteMode::CreateNew).ok());
  EXPECT_EQ(programFolderFor(folder / "usr/bin", fs), folder / "usr/bin");
}

TEST_F(ProgramFolderTest, LooksBesideTheParentFolder) {
  testing::RecordingFileSystem recording(fs);
  auto looked = [&](const std::string& binaryDir) {
    recording.clearCalls();
    programFolderFor(binaryDir, recording);
    auto calls = recording.callsOf(testing::FsOp::IsDirectory);
    return calls.empty() ? std::string("<none>") : calls.front().path;
  };
  EXPECT_EQ(looked("/opt/brindle/bin"), "/opt/brindle/share/brindle");
  EXPECT_EQ(looked("/bin"), "/share/brindle");
  EXPECT_EQ(looked("bin"), "share/brindle");
  EXPECT_EQ(looked("/opt/x/bin/."), "/opt/x/bin/./../share/brindle");
}

TEST_F(ProgramFolderTest, TheRunningProgramFindsItsOwnFolder) {
  const std::string own = executableFolder();
  EXPECT_EQ(QString::fromStdString(own), QCoreApplication::applicationDirPath());
  ExecutableProgramFolder programFolder(fs);
  // The tests run in the build tree, which has no share/brindle beside bin.
  EXPECT_EQ(programFolder.path(), programFolderFor(own, fs));

  makeFolder(folder / "prefix/bin");
  makeFolder(folder / "prefix/share/brindle");
  ExecutableProgramFolder installed(fs, folder / "prefix/bin");
  EXPECT_EQ(installed.path(), folder / "prefix/share/brindle");
}

TEST(QtPlatform, BundlesTheRealServices) {
  QtPlatform services;
  Platform platform = services.platform();
  EXPECT_EQ(&platform.fileSystem, &services.fileSystem);
  EXPECT_EQ(&platform.dialogs, &services.dialogs);
  EXPECT_EQ(&platform.printer, &services.printer);
  EXPECT_EQ(&platform.shell, &services.shell);
  EXPECT_EQ(&platform.instanceGuard, &services.instanceGuard);
  EXPECT_EQ(&platform.clock, &services.clock);
  EXPECT_EQ(&platform.programFolder, &services.programFolder);
  EXPECT_EQ(platform.programFolder.path(),
            programFolderFor(executableFolder(), services.fileSystem));
}

}  // namespace
}  // namespace brindle::platform::qt
