// `brindle-cli` as a process: killed at random moments of a save of twenty
// files, each file is afterwards wholly old or wholly new once the next save
// has run, and no leftover stays; a FIFO named like an MP3 file never makes
// a command wait.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

using brindle::testsupport::TempDir;

/// Runs `brindle-cli ARGUMENTS...` with its output discarded; kills it once
/// `limit` microseconds have passed (negative: no limit). Returns the wait
/// status, or -1 when it was killed.
int runCli(const std::vector<std::string>& arguments, long limit = -1) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::vector<char*> argv{const_cast<char*>("brindle-cli")};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::freopen("/dev/null", "w", stdout);
    ::freopen("/dev/null", "w", stderr);
    ::execv(BRINDLE_CLI, argv.data());
    ::_exit(127);
  }
  int status = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(limit);
  while (limit >= 0 && ::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      continue;
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return -1;
  }
  if (limit < 0) ::waitpid(child, &status, 0);
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

/// Twenty files saved by one `brindle-cli write` (in place or through a new
/// file), killed at random moments, with the history in a folder of its own or off.
class KilledBatchSave : public ::testing::TestWithParam<bool> {};

TEST_P(KilledBatchSave, EveryFileIsWhollyOldOrWhollyNew) {
  TempDir historyFolder;
  ::setenv("BRINDLE_HISTORY", GetParam() ? historyFolder.file("h.sqlite").c_str() : "off", 1);
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
  auto writeOld = [&](const TempDir& folder) {
    std::vector<std::string> arguments{"write"};
    for (int i = 0; i < kFiles; ++i) arguments.push_back(folder.write(names[i], old[i]));
    arguments.insert(arguments.end(), {"--set", "TAGv2Title=New title", "--set", "TAGv1Album=A"});
    return arguments;
  };

  TempDir reference;
  const int done = runCli(writeOld(reference));
  ASSERT_TRUE(WIFEXITED(done) && WEXITSTATUS(done) == 0);
  std::vector<std::string> saved;
  for (int i = 0; i < kFiles; ++i) {
    saved.push_back(TempDir::read(reference.file(names[i])));
    ASSERT_NE(saved[i], old[i]);
    if (i % 2 == 0) {
      EXPECT_EQ(saved[i].size(), old[i].size() + 128) << "written in place";
    }
  }

  std::mt19937 random(20261207);
  std::uniform_int_distribution<long> delay(0, 40000);
  for (int round = 0; round < 15; ++round) {
    TempDir folder;
    runCli(writeOld(folder), delay(random));
    // The next save finishes what the killed one left: from the history, or
    // from the undo record or temporary file in the folder without one.
    const std::string other = folder.write("other.mp3", old[1]);
    const int next = runCli({"write", other});
    ASSERT_TRUE(WIFEXITED(next) && WEXITSTATUS(next) == 0);
    for (int i = 0; i < kFiles; ++i) {
      const std::string now = TempDir::read(folder.file(names[i]));
      EXPECT_TRUE(now == old[i] || now == saved[i]) << "round " << round << ", " << names[i];
    }
    std::vector<std::string> expected{"other.mp3"};
    expected.insert(expected.end(), names.begin(), names.end());
    EXPECT_EQ(folder.names(), expected) << "round " << round;
  }
  ::setenv("BRINDLE_HISTORY", "off", 1);
}

INSTANTIATE_TEST_SUITE_P(History, KilledBatchSave, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "On" : "Off"; });

TEST(FifoNamedLikeAnMp3File, EveryCommandEndsWithAReason) {
  TempDir folder;
  const std::string fifo = folder.file("x.mp3");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const char* command : {"read", "info", "wav", "write", "remove-v2"}) {
    // Ten seconds at most: a command that waits on the FIFO fails the case.
    const int status = runCli({command, fifo}, 10'000'000);
    EXPECT_NE(status, -1) << command << " waited on the FIFO";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << command;
  }
}

}  // namespace
