// brindle-cli rename: the interface other tools rely on (selection,
// operations, output lines, dry run, exit statuses), in process through
// cli::run and end to end through the built program.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <array>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "tests/rename/RenameTestSupport.h"

namespace brindle::cli {
namespace {

using Names = std::set<std::string>;
using testsupport::TempDir;

class RenameCliTest : public ::testing::Test {
 protected:
  void writeFiles(std::initializer_list<const char*> names) {
    for (const char* name : names) folder.write(name, name);
  }
  /// Runs "brindle-cli rename DIR <arguments>".
  int rename(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"brindle-cli", "rename", folder.path()});
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    std::ostringstream outStream;
    std::ostringstream errStream;
    const int code = run(static_cast<int>(argv.size()), argv.data(), outStream, errStream);
    out = outStream.str();
    err = errStream.str();
    return code;
  }
  Names names() { return rename::testing::namesIn(folder.path()); }

  TempDir folder;
  std::string out;
  std::string err;
};

TEST_F(RenameCliTest, LowerCaseEverythingInListOrder) {
  writeFiles({"b.TXT", "A.mp3", "c.txt"});
  EXPECT_EQ(rename({"--all", "lower"}), 0);
  EXPECT_EQ(out, "A.mp3 -> a.mp3\nb.TXT -> b.txt\nc.txt (unchanged)\n");
  EXPECT_EQ(names(), (Names{"a.mp3", "b.txt", "c.txt"}));
}

TEST_F(RenameCliTest, SelectedEntriesOnly) {
  writeFiles({"A.TXT", "B.TXT", "C.TXT"});
  EXPECT_EQ(rename({"--select", "C.TXT", "A.TXT", "title"}), 0);
  EXPECT_EQ(out, "A.TXT -> A.txt\nC.TXT -> C.txt\n");
  EXPECT_EQ(names(), (Names{"A.txt", "B.TXT", "C.txt"}));
}

TEST_F(RenameCliTest, DryRunPrintsThePlanAndChangesNothing) {
  writeFiles({"my_song.mp3", "x.mp3"});
  EXPECT_EQ(rename({"--all", "--dry-run", "replace", "_", " "}), 0);
  EXPECT_EQ(out, "my_song.mp3 -> my song.mp3\nx.mp3 (unchanged)\n");
  EXPECT_EQ(names(), (Names{"my_song.mp3", "x.mp3"}));
  EXPECT_EQ(rename({"--all", "upper", "--dry-run"}), 0);
  EXPECT_EQ(out, "my_song.mp3 -> MY_SONG.MP3\nx.mp3 -> X.MP3\n");
  EXPECT_EQ(names(), (Names{"my_song.mp3", "x.mp3"}));
}

TEST_F(RenameCliTest, FailedRenamesAreReportedWithExitOne) {
  writeFiles({"Asong.mp3", "Bsong.mp3", "a_b.mp3"});
  EXPECT_EQ(rename({"--select", "Asong.mp3", "Bsong.mp3", "left", "1"}), 1);
  EXPECT_EQ(out,
            "Asong.mp3 -> song.mp3\n"
            "Bsong.mp3 -> song.mp3 (failed: an earlier file of the batch gets this name)\n");
  EXPECT_EQ(TempDir::read(folder.file("song.mp3")), "Asong.mp3");
  EXPECT_EQ(rename({"--select", "a_b.mp3", "replace", "_", "/"}), 1);
  EXPECT_EQ(out, "a_b.mp3 -> a/b.mp3 (failed: not a plain file name)\n");
  EXPECT_EQ(rename({"--select", "a_b.mp3", "--dry-run", "replace", "_", "/"}), 1);
}

// The dry run plans the whole batch as the run does: same lines, same exit
// status, clashes inside the batch included (two names onto one, a name
// held by a file outside the batch, a chain against the walk's order, a
// change of case onto an existing name), and changes nothing.
TEST_F(RenameCliTest, DryRunForeseesClashesOfTheRun) {
  struct Row {
    std::vector<const char*> files;
    std::vector<std::string> arguments;
    int code;
    std::string lines;
  };
  const std::vector<Row> rows = {
      {{"Asong.mp3", "Bsong.mp3", "Csong.mp3"},
       {"--select", "Asong.mp3", "Bsong.mp3", "left", "1"},
       1,
       "Asong.mp3 -> song.mp3\n"
       "Bsong.mp3 -> song.mp3 (failed: an earlier file of the batch gets this name)\n"},
      {{"a.mp3", "a.wav", "b.wav"},
       {"--select", "a.wav", "b.wav", "ext", "mp3"},
       1,
       "a.wav -> a.mp3 (failed: File exists)\nb.wav -> b.mp3\n"},
      {{"s 01.mp3", "s 02.mp3"},
       {"--all", "number", "--common", "s", "--start", "2"},
       1,
       "s 01.mp3 -> s 02.mp3 (failed: this name is taken until a later file of the batch is "
       "renamed)\ns 02.mp3 -> s 03.mp3\n"},
      {{"B.MP3", "b.mp3"},
       {"--select", "B.MP3", "lower"},
       1,
       "B.MP3 -> b.mp3 (failed: File exists)\n"},
      {{"x_1.mp3"}, {"--all", "replace", "_", " "}, 0, "x_1.mp3 -> x 1.mp3\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.lines);
    for (const std::string& name : names()) std::remove(folder.file(name).c_str());
    for (const char* name : row.files) folder.write(name, name);
    const Names before = names();
    std::vector<std::string> dryRun = row.arguments;
    dryRun.insert(dryRun.begin(), "--dry-run");
    EXPECT_EQ(rename(dryRun), row.code);
    EXPECT_EQ(out, row.lines);
    EXPECT_EQ(names(), before);
    EXPECT_EQ(rename(row.arguments), row.code);
    EXPECT_EQ(out, row.lines);
  }
}

// Names with control characters, backslashes and bytes that are not UTF-8
// cannot forge lines of the report: one line per entry, escaped as `ls -b`
// escapes them (blanks kept); --json gives one object per line, in ASCII,
// with the exact bytes of a name that is not UTF-8.
TEST_F(RenameCliTest, NamesAreEscapedAndJsonIsOneObjectPerLine) {
  struct Row {
    std::string name;
    std::string line;
    std::string json;
  };
  const std::vector<Row> rows = {
      {"a\nb.MP3 -> x.MP3", "a\\nb.MP3 -> x.MP3 -> a\\nb.mp3 -> x.mp3",
       R"({"old":"a\nb.MP3 -> x.MP3","new":"a\nb.mp3 -> x.mp3","outcome":"renamed"})"},
      {"t\tr\rv\vf\fa\ab\b.MP3", "t\\tr\\rv\\vf\\fa\\ab\\b.MP3 -> t\\tr\\rv\\vf\\fa\\ab\\b.mp3",
       R"({"old":"t\tr\rv\u000bf\fa\u0007b\b.MP3","new":"t\tr\rv\u000bf\fa\u0007b\b.mp3","outcome":"renamed"})"},
      {"back\\slash.MP3", "back\\\\slash.MP3 -> back\\\\slash.mp3",
       R"({"old":"back\\slash.MP3","new":"back\\slash.mp3","outcome":"renamed"})"},
      {"\x1b[31mred\x7f.MP3", "\\033[31mred\\177.MP3 -> \\033[31mred\\177.mp3",
       R"({"old":"\u001b[31mred\u007f.MP3","new":"\u001b[31mred\u007f.mp3","outcome":"renamed"})"},
      {"\xC2\x9B"
       "c1 caf\xC3\xA9.MP3",
       "\\302\\233c1 caf\xC3\xA9.MP3 -> \\302\\233c1 caf\xC3\xA9.mp3",
       R"({"old":"\u009bc1 caf\u00e9.MP3","new":"\u009bc1 caf\u00e9.mp3","outcome":"renamed"})"},
      {"\xFF\n.MP3", "\\377\\n.MP3 (unchanged)",
       R"({"old":"\ufffd\n.MP3","oldHex":"ff0a2e4d5033","new":"\ufffd\n.MP3","newHex":"ff0a2e4d5033","outcome":"unchanged"})"},
  };
  const auto lines = [](const std::string& text) {
    Names result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.insert(line);
    return result;
  };
  Names expectedLines;
  Names expectedJson;
  for (const Row& row : rows) {
    folder.write(row.name, "x");
    expectedLines.insert(row.line);
    expectedJson.insert(row.json);
  }
  EXPECT_EQ(rename({"--all", "--dry-run", "--json", "lower"}), 0);
  EXPECT_EQ(lines(out), expectedJson);
  EXPECT_EQ(rename({"--all", "lower"}), 0);
  EXPECT_EQ(lines(out), expectedLines);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), static_cast<long>(rows.size()));
}

/// A stream buffer that notes the folder's names each time it is flushed.
class FolderAtEachFlush : public std::stringbuf {
 public:
  explicit FolderAtEachFlush(std::string folder) : m_folder(std::move(folder)) {}
  struct Flush {
    std::string printed;
    Names names;
  };
  std::vector<Flush> flushes;

 protected:
  int sync() override {
    flushes.push_back({str(), rename::testing::namesIn(m_folder)});
    return 0;
  }

 private:
  std::string m_folder;
};

// Each line is flushed as soon as its rename is done, before the next one,
// so a run stopped by Ctrl-C has printed every rename it made.
TEST_F(RenameCliTest, EachLineIsFlushedAsItsRenameIsDone) {
  writeFiles({"a_1", "b_2", "c_3"});
  FolderAtEachFlush buffer(folder.path());
  std::ostream outStream(&buffer);
  std::ostringstream errStream;
  std::vector<const char*> argv = {
      "brindle-cli", "rename", folder.path().c_str(), "--all", "replace", "_", "-"};
  EXPECT_EQ(run(static_cast<int>(argv.size()), argv.data(), outStream, errStream), 0);
  ASSERT_GE(buffer.flushes.size(), 3u);
  EXPECT_EQ(buffer.flushes[0].printed, "a_1 -> a-1\n");
  EXPECT_EQ(buffer.flushes[0].names, (Names{"a-1", "b_2", "c_3"}));
  EXPECT_EQ(buffer.flushes[1].printed, "a_1 -> a-1\nb_2 -> b-2\n");
  EXPECT_EQ(buffer.flushes[1].names, (Names{"a-1", "b-2", "c_3"}));
  EXPECT_EQ(buffer.flushes[2].names, (Names{"a-1", "b-2", "c-3"}));
}

TEST_F(RenameCliTest, CharacterEdits) {
  writeFiles({"Banana.txt", "Song01.mp3", "abXYcdXY.txt"});
  EXPECT_EQ(rename({"--select", "Banana.txt", "replace", "a", ""}), 0);
  EXPECT_EQ(rename({"--select", "Song01.mp3", "right", "2"}), 0);
  EXPECT_EQ(rename({"--select", "abXYcdXY.txt", "middle", "3", "2"}), 0);
  EXPECT_EQ(names(), (Names{"Bnn.txt", "Song.mp3", "abcd.txt"}));
  EXPECT_EQ(rename({"--all", "left", "-1"}), 0);
  EXPECT_EQ(out, "abcd.txt (unchanged)\nBnn.txt (unchanged)\nSong.mp3 (unchanged)\n");
  EXPECT_EQ(rename({"--all", "left", " 2.5 "}), 0);
  EXPECT_EQ(names(), (Names{"cd.txt", "n.txt", "ng.mp3"}));
}

TEST_F(RenameCliTest, ExtensionRulesOfTheWindow) {
  writeFiles({"song.mp3", "README"});
  EXPECT_EQ(rename({"--all", "ext", ".wav"}), 2);
  EXPECT_NE(err.find("No period needed!"), std::string::npos);
  EXPECT_EQ(out, "");
  EXPECT_EQ(rename({"--all", "ext", "wa"}), 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(names(), (Names{"README", "song.mp3"}));
  EXPECT_EQ(rename({"--all", "ext", "mp3"}), 0);
  EXPECT_EQ(out, "README -> mp3\nsong.mp3 (unchanged)\n");
}

TEST_F(RenameCliTest, NumberedRenames) {
  writeFiles({"a.mp3", "b.mp3", "c.wav"});
  EXPECT_EQ(rename({"--all", "number", "--common", "song", "--start", "01"}), 0);
  EXPECT_EQ(names(), (Names{"song 01.mp3", "song 02.mp3", "song 03.wav"}));
  EXPECT_EQ(rename({"--all", "number", "--unique", "--right", "--divider", "-", "--start", "9"}),
            0);
  EXPECT_EQ(names(), (Names{"song 01-09.mp3", "song 02-10.mp3", "song 03-11.wav"}));
  EXPECT_EQ(rename({"--select", "song 01-09.mp3", "number", "--unique", "--left", "--start", "x"}),
            0);
  EXPECT_EQ(out, "song 01-09.mp3 -> 00song 01-09.mp3\n");
}

TEST_F(RenameCliTest, NumbersStopAt32767) {
  writeFiles({"a.mp3", "b.mp3"});
  EXPECT_EQ(rename({"--all", "number", "--common", "s", "--start", "32767"}), 1);
  EXPECT_EQ(out, "a.mp3 -> s 32767.mp3\nb.mp3 -> s 32768.mp3 (failed: numbers stop at 32767)\n");
  EXPECT_EQ(names(), (Names{"b.mp3", "s 32767.mp3"}));
}

TEST_F(RenameCliTest, UsageErrors) {
  writeFiles({"a.mp3"});
  EXPECT_EQ(rename({"lower"}), 2);                                // no selection
  EXPECT_EQ(rename({"--all", "--select", "a.mp3", "lower"}), 2);  // both
  EXPECT_EQ(rename({"--all"}), 2);                                // no operation
  EXPECT_EQ(rename({"--select", "nope.mp3", "lower"}), 2);
  EXPECT_NE(err.find("nope.mp3"), std::string::npos);
  EXPECT_EQ(rename({"--all", "left", "many"}), 2);
  EXPECT_EQ(rename({"--all", "middle", "1"}), 2);
  EXPECT_EQ(rename({"--all", "replace", "a"}), 2);
  EXPECT_EQ(rename({"--all", "number", "--start", "1"}), 2);
  EXPECT_EQ(rename({"--all", "number", "--unique", "--start", "1"}), 2);
  EXPECT_EQ(rename({"--all", "number", "--common", "s", "--left", "--start", "1"}), 2);
  EXPECT_EQ(rename({"--all", "number", "--common", "s", "--unique", "--right", "--start", "1"}), 2);
  EXPECT_EQ(rename({"--all", "number", "--common", "s"}), 2);
  EXPECT_EQ(rename({"--all", "number", "--common", "s", "--start", "-3"}), 2);
  EXPECT_NE(err.find("Error, no numbers"), std::string::npos);
  EXPECT_EQ(rename({"--all", "number", "--common", "s", "--start", "40000"}), 2);
  EXPECT_EQ(names(), Names{"a.mp3"});
}

TEST_F(RenameCliTest, UnreadableDirectoryFails) {
  std::vector<const char*> argv = {"brindle-cli", "rename", "/no/such/folder", "--all", "lower"};
  std::ostringstream outStream;
  std::ostringstream errStream;
  EXPECT_EQ(run(static_cast<int>(argv.size()), argv.data(), outStream, errStream), 1);
  EXPECT_FALSE(errStream.str().empty());
}

/// Runs the built program with a shell command line; returns the exit status
/// and fills `output` with its standard output.
int runProgram(const std::string& arguments, std::string& output) {
  const std::string command = std::string("'") + BRINDLE_CLI_PROGRAM + "' " + arguments;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return -1;
  std::array<char, 256> buffer{};
  output.clear();
  while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe)) output += buffer.data();
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(RenameCliTest, EndToEndThroughTheProgram) {
  writeFiles({"My_Song.MP3", "keep.txt"});
  std::string output;
  EXPECT_EQ(runProgram("rename '" + folder.path() + "' --select My_Song.MP3 lower", output), 0);
  EXPECT_EQ(output, "My_Song.MP3 -> my_song.mp3\n");
  EXPECT_EQ(runProgram("rename '" + folder.path() + "' --all replace _ / 2>/dev/null", output), 1);
  EXPECT_EQ(output,
            "keep.txt (unchanged)\nmy_song.mp3 -> my/song.mp3 (failed: not a plain file name)\n");
  EXPECT_EQ(runProgram("rename '" + folder.path() + "' --all 2>/dev/null", output), 2);
  EXPECT_EQ(names(), (Names{"keep.txt", "my_song.mp3"}));
}

}  // namespace
}  // namespace brindle::cli
