// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the test ends.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace brindle::platform::test {

class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::error_code error;
    std::string base = std::filesystem::temp_directory_path(error).native();
    if (error || base.empty()) base = "/tmp";
    std::string pattern = base + "/brindle-test-XXXXXX";
    if (::mkdtemp(pattern.data())) m_path = pattern;
  }
  ~TemporaryFolder() {
    if (m_path.empty()) return;
    // Folders made read-only by a test would stop the removal.
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      if (it->is_directory(error) && !it->is_symlink(error)) ::chmod(it->path().c_str(), 0700);
    }
    std::filesystem::remove_all(m_path, error);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  bool valid() const { return !m_path.empty(); }
  const std::string& path() const { return m_path; }
  /// The path of an entry in the folder.
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

}  // namespace brindle::platform::test
