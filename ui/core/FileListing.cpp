#include "ui/core/FileListing.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <numeric>

#include "platform/text/FileNameText.h"

namespace brindle::ui {

namespace {

/// The key names are compared by: lower-case bytes for plain ASCII names (the
/// common case, and fast), the case-folded UTF-8 text for all others. Both
/// are ordered by code point, so the two kinds mix consistently.
std::string sortKey(const std::string& name) {
  bool ascii = std::all_of(name.begin(), name.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) {
    std::string key = name;
    for (char& c : key)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return key;
  }
  return platform::fileNameToText(name).toCaseFolded().toStdString();
}

}  // namespace

void sortNamesCaseInsensitive(std::vector<std::string>& names) {
  std::vector<std::string> keys;
  keys.reserve(names.size());
  for (const std::string& name : names) keys.push_back(sortKey(name));
  std::vector<std::size_t> order(names.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (int c = keys[a].compare(keys[b]); c != 0) return c < 0;
    return names[a] < names[b];
  });
  std::vector<std::string> sorted;
  sorted.reserve(names.size());
  for (std::size_t index : order) sorted.push_back(std::move(names[index]));
  names = std::move(sorted);
}

platform::Result<std::vector<std::string>> readFileList(platform::FileSystem& fileSystem,
                                                        const std::string& directory) {
  platform::Result<platform::DirectoryListing> listing = fileSystem.listDirectory(directory);
  if (!listing) return listing.error();
  std::vector<std::string> files = std::move(listing.value().files);
  sortNamesCaseInsensitive(files);
  return files;
}

void sortListedFiles(std::vector<ListedFile>& files, FileOrder order, bool descending) {
  if (order == FileOrder::Name) {
    if (descending) std::reverse(files.begin(), files.end());
    return;
  }
  auto key = [order](const ListedFile& file) {
    return order == FileOrder::Size ? static_cast<long double>(file.details.size)
                                    : static_cast<long double>(file.details.modified);
  };
  std::stable_sort(files.begin(), files.end(), [&](const ListedFile& a, const ListedFile& b) {
    return descending ? key(a) > key(b) : key(a) < key(b);
  });
}

std::string sizeText(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " B";
  const char* units[] = {"KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes) / 1024.0;
  std::size_t unit = 0;
  while (value >= 1024.0 && unit + 1 < std::size(units)) {
    value /= 1024.0;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
  return text;
}

platform::Result<std::vector<std::string>> readSubdirectories(platform::FileSystem& fileSystem,
                                                              const std::string& directory) {
  platform::Result<platform::DirectoryListing> listing = fileSystem.listDirectory(directory);
  if (!listing) return listing.error();
  std::vector<std::string> folders = std::move(listing.value().directories);
  sortNamesCaseInsensitive(folders);
  return folders;
}

std::vector<std::string> pathAncestors(const std::string& path) {
  std::vector<std::string> ancestors{"/"};
  std::string current;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) {
      current += '/';
      current.append(path, start, end - start);
      ancestors.push_back(current);
    }
    start = end + 1;
  }
  return ancestors;
}

std::string driveOf(const std::vector<std::string>& drives, const std::string& path) {
  std::string best = "/";
  for (const std::string& drive : drives) {
    if (drive.size() <= best.size() || path.compare(0, drive.size(), drive) != 0) continue;
    bool wholeComponent =
        path.size() == drive.size() || path[drive.size()] == '/' || drive.back() == '/';
    if (wholeComponent) best = drive;
  }
  return best;
}

std::string normalizePath(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += '/' + part;
  return result.empty() ? "/" : result;
}

}  // namespace brindle::ui
