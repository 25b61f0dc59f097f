// A scoped temporary directory for tests: created fresh, removed with all it
// holds when the test ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace brindle::testsupport {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brindle-test-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data())) m_path = made;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return m_path; }
  std::string file(const std::string& name) const { return m_path + "/" + name; }

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
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

 private:
  std::string m_path;
};

}  // namespace brindle::testsupport
