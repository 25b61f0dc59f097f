// `brindle-cli` as a process: killed at random moments of a save the file is
// afterwards wholly the old one or wholly the new one, and the next save that
// runs to its end leaves no temporary file in the folder; a FIFO named like
// an MP3 file never makes a command wait.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

namespace testsupport = brindle::testsupport;

/// Runs `brindle-cli write FILE --set TAGv2Title=New`; kills it after
/// `killAfterMicroseconds` unless that is negative. Returns the wait status.
int runWrite(const std::string& path, long killAfterMicroseconds) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl(BRINDLE_CLI, "brindle-cli", "write", path.c_str(), "--set", "TAGv2Title=New",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (killAfterMicroseconds >= 0) {
    ::usleep(static_cast<useconds_t>(killAfterMicroseconds));
    ::kill(child, SIGKILL);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

/// Each process test keeps its history in a folder of its own (and never in
/// the user's); "off" runs without one.
class HistoryFolder {
 public:
  explicit HistoryFolder(bool on) {
    ::setenv("BRINDLE_HISTORY", on ? m_folder.file("history.sqlite").c_str() : "off", 1);
  }
  ~HistoryFolder() { ::unsetenv("BRINDLE_HISTORY"); }

 private:
  testsupport::TempDir m_folder;
};

TEST(KilledSave, FileIsWhollyOldOrWhollyNewAndLeftoversGo) {
  // Without the history: the save's own undo record or new file keeps the
  // file whole.
  const HistoryFolder history(false);
  // Audio large enough that the copy takes a while.
  std::string audio("\xFF\xFB\x90\x64", 4);
  audio.reserve(24 << 20);
  for (std::size_t i = 0; audio.size() < (24u << 20); ++i) audio += static_cast<char>(i * 31);

  testsupport::TempDir reference;
  const std::string finished = reference.write("song.mp3", audio);
  const int done = runWrite(finished, -1);
  ASSERT_TRUE(WIFEXITED(done) && WEXITSTATUS(done) == 0);
  const std::string saved = testsupport::TempDir::read(finished);
  ASSERT_NE(saved, audio);

  testsupport::TempDir folder;
  const std::string path = folder.write("song.mp3", audio);
  std::mt19937 random(20261206);
  std::uniform_int_distribution<long> delay(0, 60000);
  for (int round = 0; round < 12; ++round) {
    runWrite(path, delay(random));
    const std::string now = testsupport::TempDir::read(path);
    EXPECT_TRUE(now == audio || now == saved) << "round " << round << ": " << now.size();
  }
  const int last = runWrite(path, -1);
  ASSERT_TRUE(WIFEXITED(last) && WEXITSTATUS(last) == 0);
  EXPECT_EQ(testsupport::TempDir::read(path), saved);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
}

/// Runs `brindle-cli ARGUMENTS...`; kills it after `killAfterMicroseconds`
/// unless that is negative. Returns the wait status.
int runCli(const std::vector<std::string>& arguments, long killAfterMicroseconds) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::vector<char*> argv{const_cast<char*>("brindle-cli")};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(BRINDLE_CLI, argv.data());
    ::_exit(127);
  }
  if (killAfterMicroseconds >= 0) {
    ::usleep(static_cast<useconds_t>(killAfterMicroseconds));
    ::kill(child, SIGKILL);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

/// A version 2.3 tag with the title "Old", followed by `padding` zero bytes.
std::string oldTag(std::size_t padding) {
  const std::string frame = std::string("TIT2\0\0\0\x04\0\0\0Old", 14);
  const std::size_t body = frame.size() + padding;
  std::string tag("ID3\x03\0\0", 6);
  for (int shift : {21, 14, 7, 0}) tag += static_cast<char>((body >> shift) & 0x7f);
  return tag + frame + std::string(padding, '\0');
}

/// Twenty files saved by one `brindle-cli write`, killed at random moments:
/// once the next save in the folder has run, every file is wholly old or
/// wholly new (tags written in place or through a new file alike) and no
/// leftover is in the folder.
class KilledBatchSave : public ::testing::TestWithParam<bool> {};

TEST_P(KilledBatchSave, EveryFileIsWhollyOldOrWhollyNew) {
  const HistoryFolder history(GetParam());
  constexpr int kFiles = 20;
  std::vector<std::string> names;
  std::vector<std::string> old;
  for (int i = 0; i < kFiles; ++i) {
    names.push_back("song" + std::to_string(100 + i) + ".mp3");
    std::string audio("\xFF\xFB\x90\x64", 4);
    for (std::size_t b = 0; audio.size() < 300000u + 977u * i; ++b)
      audio += static_cast<char>(b * 7 + i);
    // Even files have room for the new tag (written in place), odd ones not.
    old.push_back(oldTag(i % 2 == 0 ? 2000 : 0) + audio);
  }
  auto writeOld = [&](const testsupport::TempDir& folder) {
    std::vector<std::string> arguments{"write"};
    for (int i = 0; i < kFiles; ++i) arguments.push_back(folder.write(names[i], old[i]));
    arguments.insert(arguments.end(), {"--set", "TAGv2Title=New title", "--set", "TAGv1Album=A"});
    return arguments;
  };

  testsupport::TempDir reference;
  const int done = runCli(writeOld(reference), -1);
  ASSERT_TRUE(WIFEXITED(done) && WEXITSTATUS(done) == 0);
  std::vector<std::string> saved;
  for (int i = 0; i < kFiles; ++i) {
    saved.push_back(testsupport::TempDir::read(reference.file(names[i])));
    ASSERT_NE(saved[i], old[i]);
    if (i % 2 == 0) {
      EXPECT_EQ(saved[i].size(), old[i].size() + 128) << "written in place";
    }
  }

  std::mt19937 random(20261207);
  std::uniform_int_distribution<long> delay(0, 40000);
  for (int round = 0; round < 15; ++round) {
    testsupport::TempDir folder;
    runCli(writeOld(folder), delay(random));
    // The next save finishes what the killed one left: from the history, or
    // from the undo record or temporary file in the folder without one.
    const std::string other = folder.write("other.mp3", old[1]);
    const int next = runCli({"write", other}, -1);
    ASSERT_TRUE(WIFEXITED(next) && WEXITSTATUS(next) == 0);
    for (int i = 0; i < kFiles; ++i) {
      const std::string now = testsupport::TempDir::read(folder.file(names[i]));
      EXPECT_TRUE(now == old[i] || now == saved[i]) << "round " << round << ", " << names[i];
    }
    std::vector<std::string> expected = names;
    expected.push_back("other.mp3");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.names(), expected) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(History, KilledBatchSave, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "On" : "Off"; });

TEST(FifoNamedLikeAnMp3File, EveryCommandEndsWithAReason) {
  testsupport::TempDir folder;
  const std::string fifo = folder.file("x.mp3");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::vector<std::vector<std::string>> commands = {
      {"read", fifo}, {"info", fifo}, {"wav", fifo}, {"write", fifo}, {"remove-v2", fifo}};
  for (const std::vector<std::string>& command : commands) {
    const pid_t child = ::fork();
    if (child == 0) {
      std::vector<char*> arguments{const_cast<char*>("brindle-cli")};
      for (const std::string& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
      arguments.push_back(nullptr);
      ::freopen("/dev/null", "w", stdout);
      ::freopen("/dev/null", "w", stderr);
      ::execv(BRINDLE_CLI, arguments.data());
      ::_exit(127);
    }
    // Ten seconds at most: a command that waits on the FIFO is killed and
    // the case fails instead of hanging.
    int status = 0;
    bool ended = false;
    for (int tick = 0; tick < 1000 && !ended; ++tick) {
      ended = ::waitpid(child, &status, WNOHANG) == child;
      if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!ended) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
    }
    EXPECT_TRUE(ended) << command[0] << " waited on the FIFO";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << command[0];
  }
}

}  // namespace
