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
