// A scoped temporary directory for tests: created fresh, removed with all it
// holds when the test ends.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace brindle::testsupport {

class TempDir {
 public:
  TempDir() {
    std::error_code error;
    std::string base = std::filesystem::temp_directory_path(error).native();
    if (error || base.empty()) base = "/tmp";
    std::string pattern = base + "/brindle-test-XXXXXX";
    if (::mkdtemp(pattern.data())) m_path = pattern;
  }
  ~TempDir() {
    if (m_path.empty()) return;
    // Folders made read-only by a test would stop the removal.
    std::error_code error;
    ::chmod(m_path.c_str(), 0700);
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      if (it->is_directory(error) && !it->is_symlink(error)) ::chmod(it->path().c_str(), 0700);
    }
    std::filesystem::remove_all(m_path, error);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  bool valid() const { return !m_path.empty(); }
  const std::string& path() const { return m_path; }
  std::string file(const std::string& name) const { return m_path + "/" + name; }
  /// The same as file().
  std::string operator/(const std::string& name) const { return file(name); }

  /// Writes `content` to `name` (made relative to the directory).
  std::string write(const std::string& name, const std::string& content = {}) const {
    std::string path = file(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  std::string makeDirectory(const std::string& name) const {
    std::string path = file(name);
    std::filesystem::create_directories(path);
    return path;
  }
  /// The names of the entries, sorted: to see that no temporary file is left.
  std::vector<std::string> names() const {
    std::vector<std::string> result;
    std::error_code error;
    for (auto it = std::filesystem::directory_iterator(m_path, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
      result.push_back(it->path().filename().native());
    }
    std::sort(result.begin(), result.end());
    return result;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

 private:
  std::string m_path;
};

}  // namespace brindle::testsupport
