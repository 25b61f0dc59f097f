// `brindle-cli` as a process: killed at random moments of a save the file is
// afterwards wholly the old one or wholly the new one, and the next save that
// runs to its end leaves no temporary file in the folder; a FIFO named like
// an MP3 file never makes a command wait.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST(KilledSave, FileIsWhollyOldOrWhollyNewAndLeftoversGo) {
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
