// The rules behind the main window's lists, path bar and menus.
#include "ui/core/FileListing.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/Recorders.h"
#include "tests/support/TempDir.h"
#include "ui/core/Mnemonics.h"
#include "ui/core/PathBar.h"
#include "ui/core/RememberedFolder.h"

namespace brindle::ui {
namespace {

using Names = std::vector<std::string>;

// Letter case is ignored (also beyond ASCII); names equal but for case, and
// names that are not UTF-8, keep byte order.
TEST(FileListing, NamesSortIgnoringCase) {
  // clang-format off
  const std::pair<Names, Names> rows[] = {
      {{"b.txt", "A.txt", "c.TXT", "a2", "_x", ".hidden", "B"}, {".hidden", "_x", "A.txt", "a2", "B", "b.txt", "c.TXT"}},
      {{"abc", "ABC", "Abc"}, {"ABC", "Abc", "abc"}},
      {{"\xC3\xA9" "b", "z", "\xC3\x89" "a", "a"}, {"a", "z", "\xC3\x89" "a", "\xC3\xA9" "b"}},
      {{"\xFF\xFE", "a", "\xFE", "\xFF\xFE"}, {"a", "\xFE", "\xFF\xFE", "\xFF\xFE"}},
  };
  // clang-format on
  for (auto [names, expected] : rows) {
    sortNamesCaseInsensitive(names);
    EXPECT_EQ(names, expected);
  }
}

// Size and date order start from name order: equal keys keep it.
TEST(FileListing, FilesSortBySizeOrDateEitherWay) {
  const std::vector<ListedFile> byName{
      {"a", {300, 20}}, {"B", {100, 30}}, {"c", {300, 10}}, {"d", {200, 30}}};
  const std::tuple<FileOrder, bool, std::string> rows[] = {
      {FileOrder::Name, false, "aBcd"},     {FileOrder::Name, true, "dcBa"},
      {FileOrder::Size, false, "Bdac"},     {FileOrder::Size, true, "acdB"},
      {FileOrder::Modified, false, "caBd"}, {FileOrder::Modified, true, "Bdac"},
  };
  for (const auto& [order, descending, expected] : rows) {
    std::vector<ListedFile> files = byName;
    sortListedFiles(files, order, descending);
    std::string names;
    for (const ListedFile& file : files) names += file.name;
    EXPECT_EQ(names, expected) << static_cast<int>(order) << descending;
  }
  EXPECT_EQ(sizeText(1023), "1023 B");
  EXPECT_EQ(sizeText(1536), "1.5 KB");
  EXPECT_EQ(sizeText(2960261), "2.8 MB");
  EXPECT_EQ(sizeText(1288490189), "1.2 GB");
}

TEST(FileListing, PathsAndDrives) {
  EXPECT_EQ(pathAncestors("/home/user"), (Names{"/", "/home", "/home/user"}));
  EXPECT_EQ(pathAncestors("/"), (Names{"/"}));
  const Names drives{"/", "/media", "/media/usb", "/home"};
  EXPECT_EQ(driveOf(drives, "/media/usb/music"), "/media/usb");
  EXPECT_EQ(driveOf(drives, "/media/usb2/music"), "/media");
  EXPECT_EQ(driveOf(drives, "/homework"), "/");
  EXPECT_EQ(driveOf(drives, "/home"), "/home");
  EXPECT_EQ(driveOf({}, "/x"), "/");
  EXPECT_EQ(normalizePath("/a//b/./c/../d/"), "/a/b/d");
  EXPECT_EQ(normalizePath("/.."), "/");
  EXPECT_EQ(normalizePath(""), "/");
  EXPECT_EQ(selectionSummary(3, 29), "3 of 29 files selected");
  EXPECT_EQ(selectionSummary(1, 1), "1 of 1 file selected");
}

// Files (dot files too) and folders apart; completions are the subfolders
// the last part begins; the remembered folder while it is still one.
TEST(FileListing, FolderContents) {
  testsupport::TempDir dir;
  for (const char* name : {"Music", "music old", "Mixes"}) dir.makeDirectory(name);
  const std::string file = dir.write("b.mp3");
  dir.write(".profile");
  dir.write("Music notes.txt");
  platform::posix::PosixFileSystem fileSystem;
  EXPECT_EQ(readFileList(fileSystem, dir.path()).value(),
            (Names{".profile", "b.mp3", "Music notes.txt"}));
  EXPECT_EQ(readSubdirectories(fileSystem, dir.path()).value(),
            (Names{"Mixes", "Music", "music old"}));
  EXPECT_FALSE(readFileList(fileSystem, dir / "gone").ok());

  const std::string root = dir.path();
  // clang-format off
  const std::pair<std::string, Names> completions[] = {
      {root + "/Mu", {root + "/Music"}}, {root + "/M", {root + "/Mixes", root + "/Music"}},
      {root + "/", {root + "/Mixes", root + "/Music", root + "/music old"}},
      {root + "/x", {}}, {root + "/gone/M", {}}, {"Music", {}}, {"", {}},
  };
  // clang-format on
  for (const auto& [typed, found] : completions)
    EXPECT_EQ(folderCompletions(fileSystem, typed), found);

  const std::pair<std::optional<std::string>, std::string> remembered[] = {
      {std::nullopt, "/given"},  {root, root}, {root + "/gone", "/given"}, {file, "/given"},
      {std::string(), "/given"},
  };
  for (const auto& [folder, expected] : remembered) {
    platform::testing::MemorySettings settings;
    if (folder) rememberFolder(settings, *folder);
    EXPECT_EQ(startFolder(settings, fileSystem, "/given"), expected) << folder.value_or("(none)");
  }
}

// One free letter per caption, preferably at a word start; the text unchanged.
TEST(Mnemonics, EachCaptionGetsAFreeLetter) {
  const std::pair<QStringList, QStringList> rows[] = {
      {{"Edit", "Edit File", "Exit"}, {"&Edit", "Edit &File", "E&xit"}},
      {{"Save", "", "(?)", "Sun"}, {"&Save", "", "(?)", "S&un"}},
      {{"E&xit", "Exit"}, {"E&xit", "&Exit"}},
      {{"ab", "ab", "ab"}, {"&ab", "a&b", "ab"}},
  };
  for (const auto& [captions, marked] : rows) {
    EXPECT_EQ(withMnemonics(captions), marked);
    for (qsizetype i = 0; i < marked.size(); ++i) {
      EXPECT_EQ(withoutMnemonic(marked[i]), withoutMnemonic(captions[i]));
    }
  }
}

}  // namespace
}  // namespace brindle::ui
