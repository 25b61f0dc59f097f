// The order and content of the main window's lists.
#include "ui/core/FileListing.h"

#include <gtest/gtest.h>

#include "platform/posix/PosixFileSystem.h"
#include "tests/support/TempDir.h"

namespace brindle::ui {
namespace {

using Names = std::vector<std::string>;

TEST(SortNamesCaseInsensitive, IgnoresLetterCase) {
  Names names{"b.txt", "A.txt", "c.TXT", "a2", "_x", ".hidden", "B"};
  sortNamesCaseInsensitive(names);
  EXPECT_EQ(names, (Names{".hidden", "_x", "A.txt", "a2", "B", "b.txt", "c.TXT"}));
}

TEST(SortNamesCaseInsensitive, EqualButForCaseIsStableByBytes) {
  Names names{"abc", "ABC", "Abc"};
  sortNamesCaseInsensitive(names);
  EXPECT_EQ(names, (Names{"ABC", "Abc", "abc"}));
}

TEST(SortNamesCaseInsensitive, FoldsLettersBeyondAscii) {
  // "Éa" folds to "éa", which sorts after every ASCII name; "éb" after it.
  Names names{
      "\xC3\xA9"
      "b",
      "z",
      "\xC3\x89"
      "a",
      "a"};
  sortNamesCaseInsensitive(names);
  EXPECT_EQ(names, (Names{"a", "z",
                          "\xC3\x89"
                          "a",
                          "\xC3\xA9"
                          "b"}));
}

TEST(SortNamesCaseInsensitive, KeepsNamesThatAreNotUtf8) {
  Names names{"\xFF\xFE", "a", "\xFF\xFE", "\xFE"};
  sortNamesCaseInsensitive(names);
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0], "a");
  EXPECT_EQ(std::count(names.begin(), names.end(), std::string("\xFF\xFE")), 2);
  EXPECT_EQ(std::count(names.begin(), names.end(), std::string("\xFE")), 1);
}

TEST(ReadFileList, ListsPlainFilesIncludingDotFilesInOrder) {
  testsupport::TempDir dir;
  dir.write("b.mp3");
  dir.write(".profile");
  dir.write("A.txt");
  dir.makeDirectory("folder");
  platform::posix::PosixFileSystem fileSystem;
  auto files = readFileList(fileSystem, dir.path());
  ASSERT_TRUE(files.ok());
  EXPECT_EQ(files.value(), (Names{".profile", "A.txt", "b.mp3"}));
  auto folders = readSubdirectories(fileSystem, dir.path());
  ASSERT_TRUE(folders.ok());
  EXPECT_EQ(folders.value(), (Names{"folder"}));
}

TEST(ReadFileList, MissingDirectoryIsAnError) {
  platform::posix::PosixFileSystem fileSystem;
  EXPECT_FALSE(readFileList(fileSystem, "/no/such/folder/here").ok());
}

TEST(PathAncestors, RootToPath) {
  EXPECT_EQ(pathAncestors("/"), (Names{"/"}));
  EXPECT_EQ(pathAncestors("/home/user"), (Names{"/", "/home", "/home/user"}));
}

TEST(DriveOf, LongestWholeComponentPrefix) {
  Names drives{"/", "/media", "/media/usb", "/home"};
  EXPECT_EQ(driveOf(drives, "/media/usb/music"), "/media/usb");
  EXPECT_EQ(driveOf(drives, "/media/usb2/music"), "/media");
  EXPECT_EQ(driveOf(drives, "/homework"), "/");
  EXPECT_EQ(driveOf(drives, "/home"), "/home");
  EXPECT_EQ(driveOf({}, "/x"), "/");
}

TEST(NormalizePath, RemovesDotsAndDoubledSeparators) {
  EXPECT_EQ(normalizePath("/a//b/./c/../d/"), "/a/b/d");
  EXPECT_EQ(normalizePath("/.."), "/");
  EXPECT_EQ(normalizePath("/"), "/");
  EXPECT_EQ(normalizePath(""), "/");
}

// Size and date order start from name order: equal keys keep it.
TEST(FileListing, FilesSortBySizeOrDateEitherWay) {
  const std::vector<ListedFile> byName{
      {"a.mp3", {300, 20}}, {"B.mp3", {100, 30}}, {"c.mp3", {300, 10}}, {"d.mp3", {200, 30}}};
  struct Row {
    FileOrder order;
    bool descending;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {FileOrder::Name, false, {"a.mp3", "B.mp3", "c.mp3", "d.mp3"}},
      {FileOrder::Name, true, {"d.mp3", "c.mp3", "B.mp3", "a.mp3"}},
      {FileOrder::Size, false, {"B.mp3", "d.mp3", "a.mp3", "c.mp3"}},
      {FileOrder::Size, true, {"a.mp3", "c.mp3", "d.mp3", "B.mp3"}},
      {FileOrder::Modified, false, {"c.mp3", "a.mp3", "B.mp3", "d.mp3"}},
      {FileOrder::Modified, true, {"B.mp3", "d.mp3", "a.mp3", "c.mp3"}},
  };
  for (const Row& row : rows) {
    std::vector<ListedFile> files = byName;
    sortListedFiles(files, row.order, row.descending);
    std::vector<std::string> names;
    for (const ListedFile& file : files) names.push_back(file.name);
    EXPECT_EQ(names, row.expected) << static_cast<int>(row.order) << row.descending;
  }
}

TEST(FileListing, SizeText) {
  EXPECT_EQ(sizeText(0), "0 B");
  EXPECT_EQ(sizeText(1023), "1023 B");
  EXPECT_EQ(sizeText(1536), "1.5 KB");
  EXPECT_EQ(sizeText(2960261), "2.8 MB");
  EXPECT_EQ(sizeText(1288490189), "1.2 GB");
}

}  // namespace
}  // namespace brindle::ui
