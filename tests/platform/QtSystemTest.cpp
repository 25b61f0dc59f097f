// The program folder, the instance lock (within one process and against a helper process)
// and the bundle of services.
#include "platform/qt/QtSystem.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

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
  const char* cases[][3] = {// the binary's folder, the folder looked for, the one found
                            {"@/usr/bin", "@/usr/share/brindle", "@/usr/share/brindle"},
                            {"@/usr/bin/", "@/usr/share/brindle", "@/usr/share/brindle"},
                            {"@/build/bin", "@/build/share/brindle", "@/build/bin"},
                            {"@/build/bin//", "@/build/share/brindle", "@/build/bin"},
                            {"@/f/bin", "@/f/share/brindle", "@/f/bin"},
                            {"/bin", "/share/brindle", "/bin"},
                            {"bin", "share/brindle", "bin"},
                            {"/opt/x/bin/.", "/opt/x/bin/./../share/brindle", "/opt/x/bin/."}};
  for (const auto& [binaryDir, lookedFor, found] : cases) {
    SCOPED_TRACE(binaryDir);
    fs.clearCalls();
    EXPECT_EQ(programFolderFor(at(binaryDir), fs), at(found));
    const auto looked = fs.callsOf(testing::FsOp::IsDirectory);
    EXPECT_EQ(looked.empty() ? "" : looked.front().path, at(lookedFor));
  }
  EXPECT_EQ(ExecutableProgramFolder(real, folder / "usr/bin").path(), folder / "usr/share/brindle");
}

TEST(QtSystem, OneInstanceAtATimeAndTheServices) {
  testsupport::TempDir folder;
  const std::string lock = folder / "brindle.lock";
  const auto lockExists = [&] { return QFile::exists(QString::fromStdString(lock)); };
  auto first = std::make_unique<LockFileInstanceGuard>(lock);
  EXPECT_FALSE(first->holdsLock() || lockExists()) << "no lock before the question";
  EXPECT_FALSE(first->anotherInstanceRunning());
  EXPECT_TRUE(first->holdsLock() && lockExists());
  LockFileInstanceGuard second(lock);
  EXPECT_TRUE(second.anotherInstanceRunning() && !second.holdsLock());
  first.reset();
  EXPECT_FALSE(lockExists()) << "the lock ends with its guard";
  EXPECT_TRUE(second.anotherInstanceRunning()) << "the first answer is kept";
  // Another process holding the lock counts; once it is killed, its lock is taken over.
  QProcess holder;
  holder.start(QStringLiteral(BRINDLE_LOCK_HOLDER), {QString::fromStdString(lock)});
  for (int i = 0; i < 100 && !holder.canReadLine(); ++i) holder.waitForReadyRead(100);
  ASSERT_EQ(holder.readLine().trimmed(), "locked");
  EXPECT_TRUE(LockFileInstanceGuard(lock).anotherInstanceRunning());
  holder.kill();
  ASSERT_TRUE(holder.waitForFinished(10000) && lockExists());
  EXPECT_FALSE(LockFileInstanceGuard(lock).anotherInstanceRunning());
  LockFileInstanceGuard unusable(folder / "no such folder/brindle.lock");
  EXPECT_FALSE(unusable.anotherInstanceRunning() || unusable.holdsLock());

  EXPECT_TRUE(QFileInfo(QString::fromStdString(defaultLockFilePath())).dir().exists());
  EXPECT_EQ(QString::fromStdString(executableFolder()), QCoreApplication::applicationDirPath());
  QtPlatform services;
  EXPECT_EQ(services.platform().programFolder.path(),
            programFolderFor(executableFolder(), services.fileSystem));
}

}  // namespace
}  // namespace brindle::platform::qt
