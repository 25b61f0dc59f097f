// brindle-cli as a process: killed during a save of many files; given a FIFO named like an MP3
// file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

using brindle::testsupport::TempDir;

/// Runs brindle-cli (output discarded), killed after `limit` microseconds (<0: never); -1: killed.
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
  while (::waitpid(child, &status, limit < 0 ? 0 : WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= end) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return status;
}

// Twenty files saved by one `write` (in place or through a new file); the history on, then off.
TEST(KilledBatchSave, EveryFileIsWhollyOldOrWhollyNew) {
  constexpr int kFiles = 20;
  std::vector<std::string> names, old, saved;
  for (int i = 0; i < kFiles; ++i) {
    names.push_back("song" + std::to_string(100 + i) + ".mp3");
    // A version 2.3 tag titled "Old"; even files have room for the new tag (written in place).
    const std::size_t padding = i % 2 == 0 ? 2000 : 0, body = 14 + padding;
    std::string file("ID3\x03\0\0", 6);
    for (int shift : {21, 14, 7, 0}) file += static_cast<char>((body >> shift) & 0x7f);
    file += std::string("TIT2\0\0\0\x04\0\0\0Old", 14) + std::string(padding, '\0') +
            "\xFF\xFB\x90\x64";
    for (std::size_t b = 0; file.size() < 300000u + 977u * i; ++b) file += char(b * 7 + i);
    old.push_back(file);
  }
  auto writeOld = [&](const TempDir& folder) {
    std::vector<std::string> arguments{"write"};
    for (int i = 0; i < kFiles; ++i) arguments.push_back(folder.write(names[i], old[i]));
    arguments.insert(arguments.end(), {"--set", "TAGv2Title=New title", "--set", "TAGv1Album=A"});
    return arguments;
  };
  for (bool history : {true, false}) {
    SCOPED_TRACE(history ? "history on" : "history off");
    TempDir historyFolder, reference;
    ::setenv("BRINDLE_HISTORY", history ? historyFolder.file("h.sqlite").c_str() : "off", 1);
    const int done = runCli(writeOld(reference));
    ASSERT_TRUE(WIFEXITED(done) && WEXITSTATUS(done) == 0);
    for (int i = 0; i < kFiles; ++i) {
      saved.push_back(TempDir::read(reference.file(names[i])));
      ASSERT_NE(saved[i], old[i]);
      EXPECT_TRUE(i % 2 || saved[i].size() == old[i].size() + 128) << "written in place";
    }
    std::mt19937 random(20261207);
    std::uniform_int_distribution<long> delay(0, 40000);
    for (int round = 0; round < 15; ++round) {
      TempDir folder;
      runCli(writeOld(folder), delay(random));
      // The next save finishes what the killed one left (from the history or the folder's records).
      const int next = runCli({"write", folder.write("other.mp3", old[1])});
      ASSERT_TRUE(WIFEXITED(next) && WEXITSTATUS(next) == 0);
      for (int i = 0; i < kFiles; ++i) {
        const std::string now = TempDir::read(folder.file(names[i]));
        EXPECT_TRUE(now == old[i] || now == saved[i]) << "round " << round << ", " << names[i];
      }
      EXPECT_EQ(folder.names().size(), kFiles + 1u) << "round " << round;  // no leftover
    }
    saved.clear();
  }
  ::setenv("BRINDLE_HISTORY", "off", 1);
}

TEST(FifoNamedLikeAnMp3File, EveryCommandEndsWithAReason) {
  TempDir folder;
  const std::string fifo = folder.file("x.mp3");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const char* command : {"read", "info", "wav", "write", "remove-v2"}) {
    const int status = runCli({command, fifo}, 10'000'000);  // -1: waited on it for 10 s
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 1) << command;
  }
}

}  // namespace
