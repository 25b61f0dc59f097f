// What the main window's lists show: the plain files of a directory in
// case-insensitive name order, the folders along a path, and the drive a
// path lies on. Names are the system's bytes, never re-encoded.
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace brindle::ui {

/// Sorts names ignoring letter case (Unicode case folding of UTF-8 names);
/// names equal but for case keep a stable order by their bytes.
void sortNamesCaseInsensitive(std::vector<std::string>& names);

/// Every plain file of `directory`, dot-files included, sorted as above.
platform::Result<std::vector<std::string>> readFileList(platform::FileSystem& fileSystem,
                                                        const std::string& directory);

/// A listed file with what the main window's list shows beside its name.
struct ListedFile {
  std::string name;
  platform::FileDetails details;
};

/// The orders a file list can be shown in; name order is the default.
enum class FileOrder { Name, Size, Modified };

/// Sorts files that are in name order by `order` (equal sizes or times keep
/// name order), largest or newest first when `descending`.
void sortListedFiles(std::vector<ListedFile>& files, FileOrder order, bool descending);

/// A size as the list shows it: "512 B", "1.5 KB", "2.8 MB", "1.2 GB".
std::string sizeText(std::uint64_t bytes);

/// The subfolders of `directory`, sorted as above.
platform::Result<std::vector<std::string>> readSubdirectories(platform::FileSystem& fileSystem,
                                                              const std::string& directory);

/// The folders from the root down to `path` itself: "/a/b" gives "/", "/a",
/// "/a/b".
std::vector<std::string> pathAncestors(const std::string& path);

/// The drive (mount point) that holds `path`: the longest drive that is a
/// whole-component prefix of it; "/" when none is.
std::string driveOf(const std::vector<std::string>& drives, const std::string& path);

/// Removes "." and ".." components and doubled separators from an absolute
/// path; a relative one is taken relative to "/".
std::string normalizePath(const std::string& path);

}  // namespace brindle::ui
