// brindle-cli as a process: killed during a save of many files; given a FIFO named like an MP3
// file; without Qt, handing rename and the help to the full program.
#include <elf.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

using brindle::testsupport::TempDir;

/// Runs `program` (output discarded, or written to out and err in `outputs`), killed after `limit`
/// microseconds (<0: never); -1: killed.
int runProgram(const std::string& program, const std::vector<std::string>& arguments,
               long limit = -1, const TempDir* outputs = nullptr) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::vector<char*> argv{const_cast<char*>("brindle-cli")};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::freopen(outputs ? outputs->file("out").c_str() : "/dev/null", "w", stdout);
    ::freopen(outputs ? outputs->file("err").c_str() : "/dev/null", "w", stderr);
    ::execv(program.c_str(), argv.data());
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

int runCli(const std::vector<std::string>& arguments, long limit = -1) {
  return runProgram(BRINDLE_CLI, arguments, limit);
}

struct Outcome {
  int exitStatus;
  std::string out, err;
};

/// Runs `program` to its end and keeps its exit status and output.
Outcome outcomeOf(const std::string& program, const std::vector<std::string>& arguments) {
  TempDir outputs;
  const int status = runProgram(program, arguments, -1, &outputs);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TempDir::read(outputs.file("out")),
          TempDir::read(outputs.file("err"))};
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

/// 300 small tagged MP3 files in `folder`, with missing names and folders
/// named like MP3 files among them; the paths in the order given.
std::vector<std::string> manyFiles(const TempDir& folder) {
  std::vector<std::string> files;
  for (int i = 0; i < 300; ++i) {
    const std::string name = "song" + std::to_string(i) + ".mp3";
    if (i % 37 == 5) {
      files.push_back(folder.file("missing" + name));
      continue;
    }
    if (i % 53 == 9) {
      files.push_back(folder.makeDirectory(name));
      continue;
    }
    // Appended, not "T" + text: GCC 12 warns falsely about the inlined copy.
    std::string title("T");
    title += std::to_string(i);
    std::string file = std::string("ID3\x03\0\0\0\0\0", 9) + char(10 + title.size() + 1) + "TIT2" +
                       std::string("\0\0\0", 3) + char(title.size() + 1) + std::string(2, '\0') +
                       '\0' + title + "\xFF\xFB\x90\x64" + std::string(200 + i, char(i));
    files.push_back(folder.write(name, file));
  }
  return files;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
    text.replace(at, from.size(), to);
  return text;
}

// Many files are read, or planned for a save, side by side: the lines and messages come out in
// the order the files were given, and the files end up, as when the command is given a few files
// at a time (one thread).
TEST(CommandOfManyFiles, WorksAsOnAFewFilesAtATime) {
  TempDir historyFolder;
  ::setenv("BRINDLE_HISTORY", historyFolder.file("h.sqlite").c_str(), 1);
  for (const std::string command : {"read", "write"}) {
    SCOPED_TRACE(command);
    TempDir wholeFolder, piecesFolder;
    const std::vector<std::string> files = manyFiles(wholeFolder);
    const std::vector<std::string> sameFiles = manyFiles(piecesFolder);
    const auto invocation = [&](auto first, auto last) {
      std::vector<std::string> arguments{command};
      arguments.insert(arguments.end(), first, last);
      if (command == "write") arguments.push_back("--set=TAGv2Title=Saved \u00e9t\u00e9");
      return arguments;
    };
    const Outcome whole = outcomeOf(BRINDLE_CLI, invocation(files.begin(), files.end()));
    Outcome pieces{0, "", ""};
    for (std::size_t from = 0; from < sameFiles.size(); from += 30) {
      const Outcome piece = outcomeOf(
          BRINDLE_CLI, invocation(sameFiles.begin() + from, sameFiles.begin() + from + 30));
      pieces.out += (from == 0 || piece.out.empty() ? "" : "\n") + piece.out;
      pieces.err += piece.err;
      pieces.exitStatus = std::max(pieces.exitStatus, piece.exitStatus);
    }
    EXPECT_EQ(whole.exitStatus, 1);
    EXPECT_EQ(whole.exitStatus, pieces.exitStatus);
    EXPECT_EQ(whole.err, replaced(pieces.err, piecesFolder.path(), wholeFolder.path()));
    EXPECT_TRUE(whole.out == replaced(pieces.out, piecesFolder.path(), wholeFolder.path()))
        << whole.out.size() << " bytes against " << pieces.out.size();
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (!std::filesystem::is_regular_file(files[i])) continue;
      ASSERT_EQ(TempDir::read(files[i]), TempDir::read(sameFiles[i])) << files[i];
    }
    const std::string lastTitle = TempDir::read(files.back()).substr(21, 4);
    EXPECT_EQ(lastTitle, command == "read" ? "T299" : "Save");
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

/// The libraries an ELF program names in its dynamic section (DT_NEEDED).
std::vector<std::string> neededLibraries(const std::string& program) {
  std::ifstream in(program, std::ios::binary);
  const auto read = [&in](std::uint64_t offset, auto& object) {
    in.seekg(static_cast<std::streamoff>(offset));
    return static_cast<bool>(in.read(reinterpret_cast<char*>(&object), sizeof object));
  };
  std::vector<std::string> names;
  Elf64_Ehdr header{};
  if (!read(0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != ELFCLASS64)
    return names;
  for (std::size_t index = 0; index < header.e_shnum; ++index) {
    Elf64_Shdr dynamic{}, strings{};
    if (!read(header.e_shoff + index * sizeof dynamic, dynamic)) break;
    if (dynamic.sh_type != SHT_DYNAMIC ||
        !read(header.e_shoff + dynamic.sh_link * sizeof strings, strings))
      continue;
    for (std::uint64_t at = 0; at + sizeof(Elf64_Dyn) <= dynamic.sh_size; at += sizeof(Elf64_Dyn)) {
      Elf64_Dyn entry{};
      if (!read(dynamic.sh_offset + at, entry) || entry.d_tag != DT_NEEDED) continue;
      std::string name;
      in.seekg(static_cast<std::streamoff>(strings.sh_offset + entry.d_un.d_val));
      std::getline(in, name, '\0');
      names.push_back(name);
    }
  }
  return names;
}

// brindle-cli starts without Qt; the full program, which runs rename, has it.
TEST(CliWithoutQt, NamesNoQtLibrary) {
  const auto isQt = [](const std::string& name) { return name.find("Qt") != std::string::npos; };
  const std::vector<std::string> light = neededLibraries(BRINDLE_CLI);
  ASSERT_FALSE(light.empty());
  EXPECT_TRUE(std::none_of(light.begin(), light.end(), isQt)) << testing::PrintToString(light);
  const std::vector<std::string> full = neededLibraries(BRINDLE_CLI_FULL);
  EXPECT_TRUE(std::any_of(full.begin(), full.end(), isQt)) << testing::PrintToString(full);
}

// What brindle-cli runs itself prints what the full program prints, byte for byte.
TEST(CliWithoutQt, SameOutputAsTheFullProgram) {
  ::setenv("BRINDLE_HISTORY", "off", 1);
  TempDir folder;
  const std::string song = folder.write("song.mp3", std::string("ID3\x03\0\0\0\0\0\0", 10));
  const std::vector<std::vector<std::string>> commandLines = {
      {"--version"},
      {"read", "--help"},
      {"read"},
      {"read", "--no-such-option", song},
      {"read", "--json", song, folder.file("missing.mp3")},
      {"wav", folder.path()},
      {"info", song, "notes.txt"},
      {"write", "--help"},
      {"write", song, "--set", "Mp3Bitrate=1"},
      {"remove-v2", folder.file("missing.mp3")},
      {"history", "--help"},
      {"history", "extra"},
      {"undo", "1", "2"},
  };
  for (const std::vector<std::string>& arguments : commandLines) {
    SCOPED_TRACE(testing::PrintToString(arguments));
    const Outcome light = outcomeOf(BRINDLE_CLI, arguments);
    const Outcome full = outcomeOf(BRINDLE_CLI_FULL, arguments);
    EXPECT_EQ(light.exitStatus, full.exitStatus);
    EXPECT_EQ(light.out, full.out);
    EXPECT_EQ(light.err, full.err);
    EXPECT_FALSE(light.out.empty() && light.err.empty());
  }
}

// rename, the help and usage errors reach the full program beside brindle-cli (the build tree) or
// in the libexec folder relative to it (an installation).
TEST(CliWithoutQt, HandsRenameAndHelpToTheFullProgram) {
  TempDir installed;
  const std::string bin = installed.makeDirectory("bin");
  const std::string libexec = installed.makeDirectory("bin/" BRINDLE_CLI_FULL_FROM_BIN);
  const std::string full = std::filesystem::path(BRINDLE_CLI_FULL).filename();
  std::filesystem::copy_file(BRINDLE_CLI, bin + "/brindle-cli");
  std::filesystem::copy_file(BRINDLE_CLI_FULL, libexec + "/" + full);
  const Outcome help = outcomeOf(BRINDLE_CLI_FULL, {"--help"});
  ASSERT_NE(help.out.find("\n  rename "), std::string::npos) << help.out;
  for (const std::string& program : {std::string(BRINDLE_CLI), bin + "/brindle-cli"}) {
    SCOPED_TRACE(program);
    const Outcome viaLight = outcomeOf(program, {"--help"});
    EXPECT_EQ(viaLight.exitStatus, 0);
    EXPECT_EQ(viaLight.out, help.out);
    EXPECT_EQ(outcomeOf(program, {}).err, outcomeOf(BRINDLE_CLI_FULL, {}).err);
    EXPECT_EQ(outcomeOf(program, {"no-such-command"}).exitStatus, 2);

    TempDir folder;
    folder.write("a.txt");
    folder.write("b.TXT");
    const Outcome renamed = outcomeOf(program, {"rename", folder.path(), "--all", "upper"});
    EXPECT_EQ(renamed.exitStatus, 0) << renamed.err;
    EXPECT_EQ(renamed.out, "a.txt -> A.TXT\nb.TXT -> B.TXT\n");
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"A.TXT", "B.TXT"}));
  }
}

// Without the full program, what needs it fails with the path looked for and the reason.
TEST(CliWithoutQt, MissingFullProgramIsReported) {
  TempDir alone;
  const std::string program = alone.file("brindle-cli");
  std::filesystem::copy_file(BRINDLE_CLI, program);
  // The folder as the system names the running program (a temporary folder may be a link).
  const std::string folder = std::filesystem::canonical(alone.path());
  const std::string expected = "brindle-cli: cannot start the full program \"" + folder + "/" +
                               BRINDLE_CLI_FULL_FROM_BIN "/" +
                               std::filesystem::path(BRINDLE_CLI_FULL).filename().native() +
                               "\": No such file or directory\n";
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"rename", alone.path(), "--all", "upper"},
        std::vector<std::string>{"--help"}}) {
    const Outcome outcome = outcomeOf(program, arguments);
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, expected);
  }
  // The rest it runs itself.
  EXPECT_EQ(outcomeOf(program, {"--version"}).exitStatus, 0);
  for (const char* command : {"read", "wav", "info", "write", "remove-v2", "history", "undo"}) {
    const Outcome help = outcomeOf(program, {command, "--help"});
    EXPECT_EQ(help.exitStatus, 0) << command << ": " << help.err;
    EXPECT_NE(help.out.find(std::string("Usage: brindle-cli ") + command), std::string::npos);
  }
  EXPECT_EQ(outcomeOf(program, {"read", alone.file("missing.mp3")}).err,
            "brindle-cli: cannot read \"" + alone.file("missing.mp3") +
                "\": No such file or directory\n");
  EXPECT_EQ(alone.names(), std::vector<std::string>{"brindle-cli"});
}

}  // namespace
