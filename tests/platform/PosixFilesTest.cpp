// Open files of the POSIX file system: reads at an offset, exclusive
// creation with exact permissions, copies in bounded pieces, atomic replace.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/RecordingFileSystem.h"
#include "tests/platform/TemporaryFolder.h"

namespace brindle::platform {
namespace {

using testing::FsOp;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void spit(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::span<const std::uint8_t> asBytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

class PosixFilesTest : public ::testing::Test {
 protected:
  test::TemporaryFolder folder;
  posix::PosixFileSystem fileSystem;
};

TEST_F(PosixFilesTest, ReadsAtAnOffsetAndStopsAtTheEnd) {
  spit(folder / "a", "0123456789");
  auto file = fileSystem.openForReading(folder / "a");
  ASSERT_TRUE(file.ok());
  std::uint8_t buffer[4] = {};
  auto got = file.value()->readAt(8, buffer);
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(got.value(), 2u);
  EXPECT_EQ(buffer[0], '8');
  EXPECT_EQ(file.value()->readAt(20, buffer).value(), 0u);
  EXPECT_EQ(file.value()->size().value(), 10u);
  EXPECT_FALSE(fileSystem.openForReading(folder / "missing").ok());
}

TEST_F(PosixFilesTest, CreateNewRefusesAnExistingNameAndKeepsIt) {
  spit(folder / "taken", "keep me");
  auto file = fileSystem.createNewFile(folder / "taken", 0644);
  ASSERT_FALSE(file.ok());
  EXPECT_EQ(file.error().code, EEXIST);
  EXPECT_EQ(slurp(folder / "taken"), "keep me");
}

TEST_F(PosixFilesTest, CreateNewSetsExactPermissionsDespiteUmask) {
  mode_t old = ::umask(0077);
  auto file = fileSystem.createNewFile(folder / "new", 0644);
  ::umask(old);
  ASSERT_TRUE(file.ok());
  EXPECT_TRUE(file.value()->write(asBytes("abc")).ok());
  EXPECT_TRUE(file.value()->sync().ok());
  EXPECT_TRUE(file.value()->close().ok());
  EXPECT_EQ(fileSystem.permissions(folder / "new").value(), 0644u);
  EXPECT_EQ(slurp(folder / "new"), "abc");
  // A read-only original's bits are kept too; the open file stays writable.
  auto readOnly = fileSystem.createNewFile(folder / "ro", 0444);
  ASSERT_TRUE(readOnly.ok());
  EXPECT_TRUE(readOnly.value()->write(asBytes("x")).ok());
  EXPECT_EQ(fileSystem.permissions(folder / "ro").value(), 0444u);
}

TEST_F(PosixFilesTest, CopiesARangeOfAnotherFile) {
  std::string big(3 * (1 << 20) + 17, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 % 251);
  spit(folder / "source", big);
  auto source = fileSystem.openForReading(folder / "source");
  auto target = fileSystem.createNewFile(folder / "target", 0600);
  ASSERT_TRUE(source.ok() && target.ok());
  ASSERT_TRUE(target.value()->write(asBytes("head")).ok());
  ASSERT_TRUE(target.value()->copyFrom(*source.value(), 10, big.size() - 10).ok());
  ASSERT_TRUE(target.value()->close().ok());
  EXPECT_EQ(slurp(folder / "target"), "head" + big.substr(10));
}

TEST_F(PosixFilesTest, CopyPastTheEndFails) {
  spit(folder / "short", "12345");
  auto source = fileSystem.openForReading(folder / "short");
  auto target = fileSystem.createNewFile(folder / "target", 0600);
  ASSERT_TRUE(source.ok() && target.ok());
  EXPECT_FALSE(target.value()->copyFrom(*source.value(), 2, 10).ok());
}

TEST_F(PosixFilesTest, CopyThroughRecordingWrapperUsesTheRealFiles) {
  spit(folder / "source", "abcdef");
  testing::RecordingFileSystem recording(fileSystem);
  auto source = recording.openForReading(folder / "source");
  auto target = recording.createNewFile(folder / "target", 0600);
  ASSERT_TRUE(source.ok() && target.ok());
  ASSERT_TRUE(target.value()->copyFrom(*source.value(), 1, 4).ok());
  ASSERT_TRUE(target.value()->close().ok());
  EXPECT_EQ(slurp(folder / "target"), "bcde");
  EXPECT_EQ(recording.callsOf(FsOp::CopyFrom).size(), 1u);
}

TEST_F(PosixFilesTest, ReplaceMovesOverTheTarget) {
  spit(folder / "old", "old");
  spit(folder / "new", "new");
  ASSERT_TRUE(fileSystem.replaceFile(folder / "new", folder / "old").ok());
  EXPECT_EQ(slurp(folder / "old"), "new");
  EXPECT_FALSE(fileSystem.exists(folder / "new"));
  EXPECT_FALSE(fileSystem.replaceFile(folder / "gone", folder / "old").ok());
  EXPECT_EQ(slurp(folder / "old"), "new");
}

TEST_F(PosixFilesTest, UpdatesInPlaceAndGrowsAtTheEnd) {
  spit(folder / "a", "0123456789");
  auto file = fileSystem.openForUpdate(folder / "a");
  ASSERT_TRUE(file.ok());
  EXPECT_TRUE(file.value()->writeAt(2, asBytes("xy")).ok());
  EXPECT_TRUE(file.value()->writeAt(10, asBytes("END")).ok());
  EXPECT_TRUE(file.value()->close().ok());
  EXPECT_EQ(slurp(folder / "a"), "01xy456789END");
  EXPECT_FALSE(fileSystem.openForUpdate(folder / "missing").ok());
  EXPECT_FALSE(fileSystem.exists(folder / "missing"));
}

TEST_F(PosixFilesTest, RecordingHandlesFailOnPurpose) {
  testing::RecordingFileSystem recording(fileSystem);
  recording.fail(FsOp::Sync, {EIO, "sync failed (scripted)"});
  auto target = recording.createNewFile(folder / "t", 0600);
  ASSERT_TRUE(target.ok());
  EXPECT_TRUE(target.value()->write(asBytes("x")).ok());
  EXPECT_FALSE(target.value()->sync().ok());
  EXPECT_TRUE(target.value()->close().ok());
}

}  // namespace
}  // namespace brindle::platform
