// brindle-cli rename through cli::run: arguments, output lines, dry run, JSON, escapes, statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "tests/rename/RenameTestSupport.h"
#include "tests/support/TempDir.h"

namespace brindle::cli {
namespace {

using Names = std::set<std::string>;
using rename::testing::namesIn;
using testsupport::TempDir;

/// Runs "brindle-cli rename DIR <arguments>" with `out` and `err` as its output.
int renameIn(const std::string& folder, std::vector<std::string> arguments, std::ostream& out,
             std::ostream& err) {
  arguments.insert(arguments.begin(), {"brindle-cli", "rename", folder});
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  return run(static_cast<int>(argv.size()), argv.data(), out, err);
}

struct Case {
  std::vector<std::string> files, arguments;
  int code;
  std::string lines;  // with status 2: text the message contains
  Names after;
};
/// A usage error on a folder holding a.mp3.
Case usage(std::vector<std::string> arguments, std::string says) {
  return {{"a.mp3"}, std::move(arguments), 2, std::move(says), {"a.mp3"}};
}

// Each row runs as a dry run (nothing changes), then for real: same exit status, same lines.
TEST(RenameCli, EachOperationsArgumentsOutputAndStatus) {
  // clang-format off
  const Case cases[] = {
      {{"b.TXT", "A.mp3", "c.txt"}, {"--all", "lower"}, 0,
       "A.mp3 -> a.mp3\nb.TXT -> b.txt\nc.txt (unchanged)\n", {"a.mp3", "b.txt", "c.txt"}},
      {{"a.b", "C"}, {"--all", "upper"}, 0, "a.b -> A.B\nC (unchanged)\n", {"A.B", "C"}},
      {{"A.TXT", "B.TXT", "C.TXT"}, {"--select", "C.TXT", "A.TXT", "title"}, 0,
       "A.TXT -> A.txt\nC.TXT -> C.txt\n", {"A.txt", "B.TXT", "C.txt"}},
      {{"Banana.txt"}, {"--all", "replace", "a", ""}, 0, "Banana.txt -> Bnn.txt\n", {"Bnn.txt"}},
      {{"Song01.mp3"}, {"--all", "right", "2"}, 0, "Song01.mp3 -> Song.mp3\n", {"Song.mp3"}},
      {{"abcdef"}, {"--all", "left", " 2.5 "}, 0, "abcdef -> cdef\n", {"cdef"}},
      {{"abXYcdXY.txt"}, {"--all", "middle", "3", "2"}, 0, "abXYcdXY.txt -> abcd.txt\n", {"abcd.txt"}},
      {{"song.mp3", "README"}, {"--all", "ext", "mp3"}, 0, "README -> mp3\nsong.mp3 (unchanged)\n",
       {"mp3", "song.mp3"}},
      {{"song.mp3"}, {"--all", "ext", "wa"}, 0, "", {"song.mp3"}},
      {{"a.mp3", "c.wav"}, {"--all", "number", "--common", "song", "--start", "01"}, 0,
       "a.mp3 -> song 01.mp3\nc.wav -> song 02.wav\n", {"song 01.mp3", "song 02.wav"}},
      {{"a.mp3"}, {"--all", "number", "--unique", "--right", "--divider", "-", "--start", "9"}, 0,
       "a.mp3 -> a-09.mp3\n", {"a-09.mp3"}},
      {{"a.mp3"}, {"--all", "number", "--unique", "--left", "--start", "x"}, 0, "a.mp3 -> 00a.mp3\n",
       {"00a.mp3"}},
      {{"a.mp3", "b.mp3"}, {"--all", "number", "--common", "s", "--start", "32767"}, 1,
       "a.mp3 -> s 32767.mp3\nb.mp3 -> s 32768.mp3 (failed: numbers stop at 32767)\n",
       {"b.mp3", "s 32767.mp3"}},
      {{"a.mp3", "a.wav"}, {"--select", "a.wav", "ext", "mp3"}, 1, "a.wav -> a.mp3 (failed: File exists)\n",
       {"a.mp3", "a.wav"}},
      usage({"lower"}, ""), usage({"--all", "--select", "a.mp3", "lower"}, ""), usage({"--all"}, ""),
      usage({"--select", "nope.mp3", "lower"}, "nope.mp3"), usage({"--all", "left", "many"}, "many"),
      usage({"--all", "middle", "1"}, ""), usage({"--all", "replace", "a"}, ""),
      usage({"--all", "ext", ".wav"}, "No period needed!"), usage({"--all", "number", "--start", "1"}, ""),
      usage({"--all", "number", "--unique", "--start", "1"}, "--unique needs --left or --right"),
      usage({"--all", "number", "--common", "s", "--left", "--start", "1"}, ""),
      usage({"--all", "number", "--common", "s", "--unique", "--right", "--start", "1"}, ""),
      usage({"--all", "number", "--common", "s"}, ""),
      usage({"--all", "number", "--common", "s", "--start", "-3"}, "Error, no numbers"),
      usage({"--all", "number", "--common", "s", "--start", "40000"}, "numbers go up to 32767"),
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines + c.arguments.back());
    TempDir folder;
    for (const std::string& name : c.files) folder.write(name, name);
    for (bool dryRun : {true, false}) {
      std::vector<std::string> arguments = c.arguments;
      if (dryRun) arguments.insert(arguments.begin(), "--dry-run");
      std::ostringstream out, err;
      EXPECT_EQ(renameIn(folder.path(), arguments, out, err), c.code);
      EXPECT_EQ(out.str(), c.code == 2 ? "" : c.lines);
      EXPECT_TRUE(c.code != 2 || err.str().find(c.lines) != std::string::npos) << err.str();
      EXPECT_EQ(namesIn(folder.path()), dryRun ? Names(c.files.begin(), c.files.end()) : c.after);
    }
  }
  std::ostringstream out;
  EXPECT_EQ(renameIn("/no/such/folder", {"--all", "lower"}, out, out), 1);
}

// Names cannot forge lines: escaped as `ls -b` does; --json is one ASCII object per line.
TEST(RenameCli, NamesAreEscapedAndJsonIsOneObjectPerLine) {
  // clang-format off
  const struct { std::string name, line, json; } cases[] = {
      {"a\nb.MP3 -> x.MP3", "a\\nb.MP3 -> x.MP3 -> a\\nb.mp3 -> x.mp3",
       R"({"old":"a\nb.MP3 -> x.MP3","new":"a\nb.mp3 -> x.mp3","outcome":"renamed"})"},
      {"t\tr\rv\vf\fa\ab\b.MP3", "t\\tr\\rv\\vf\\fa\\ab\\b.MP3 -> t\\tr\\rv\\vf\\fa\\ab\\b.mp3",
       R"({"old":"t\tr\rv\u000bf\fa\u0007b\b.MP3",)"
       R"("new":"t\tr\rv\u000bf\fa\u0007b\b.mp3","outcome":"renamed"})"},
      {"back\\slash.MP3", "back\\\\slash.MP3 -> back\\\\slash.mp3",
       R"({"old":"back\\slash.MP3","new":"back\\slash.mp3","outcome":"renamed"})"},
      {"\x1b[31mred\x7f.MP3", "\\033[31mred\\177.MP3 -> \\033[31mred\\177.mp3",
       R"({"old":"\u001b[31mred\u007f.MP3","new":"\u001b[31mred\u007f.mp3","outcome":"renamed"})"},
      {"\xC2\x9B" "c1 caf\xC3\xA9.MP3", "\\302\\233c1 caf\xC3\xA9.MP3 -> \\302\\233c1 caf\xC3\xA9.mp3",
       R"({"old":"\u009bc1 caf\u00e9.MP3","new":"\u009bc1 caf\u00e9.mp3","outcome":"renamed"})"},
      {"\xFF\n.MP3", "\\377\\n.MP3 (unchanged)",
       R"({"old":"\ufffd\n.MP3","oldHex":"ff0a2e4d5033",)"
       R"("new":"\ufffd\n.MP3","newHex":"ff0a2e4d5033","outcome":"unchanged"})"},
  };
  // clang-format on
  const auto lines = [](const std::string& text) {
    Names result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.insert(line);
    return result;
  };
  TempDir folder;
  Names expectedLines, expectedJson;
  for (const auto& c : cases) {
    folder.write(c.name, "x");
    expectedLines.insert(c.line);
    expectedJson.insert(c.json);
  }
  std::ostringstream json, plain;
  EXPECT_EQ(renameIn(folder.path(), {"--all", "--dry-run", "--json", "lower"}, json, json), 0);
  EXPECT_EQ(lines(json.str()), expectedJson);
  EXPECT_EQ(renameIn(folder.path(), {"--all", "lower"}, plain, plain), 0);
  const std::string printed = plain.str();
  EXPECT_EQ(lines(printed), expectedLines);
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), std::ssize(cases));
}

}  // namespace
}  // namespace brindle::cli
