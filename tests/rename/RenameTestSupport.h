// The main window's file list over a real folder, counting its reads and recording the progress
// bar.
#pragma once

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/PosixFileSystem.h"
#include "tests/support/TempDir.h"
#include "ui/core/FileListHost.h"
#include "ui/core/FileListing.h"

namespace brindle::rename::testing {

class FolderList : public ui::FileListHost {
 public:
  explicit FolderList(std::string directory) : m_directory(std::move(directory)) { reread(); }

  void select(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      auto found = std::find(m_names.begin(), m_names.end(), name);
      if (found != m_names.end())
        m_selected[static_cast<std::size_t>(found - m_names.begin())] = true;
    }
  }
  void selectAll() { m_selected.assign(m_names.size(), true); }
  void setCurrent(std::string name) { m_current = std::move(name); }

  std::string currentDirectory() const override { return m_directory; }
  std::string pathBoxText() const override { return m_directory; }
  int entryCount() const override {
    ++entryCountCalls;
    return static_cast<int>(m_names.size());
  }
  std::string entryName(int index) const override {
    nameRequests.push_back(index);
    return m_names.at(static_cast<std::size_t>(index));
  }
  std::vector<bool> selectionFlags() const override {
    ++selectionCalls;
    return m_selected;
  }
  std::string currentName() const override { return m_current; }
  void setProgressMaximum(int maximum) override { progressMaximums.push_back(maximum); }
  void setProgressValue(int value) override { progressValues.push_back(value); }
  void rereadFileList() override {
    ++rereads;
    reread();
  }

  mutable int entryCountCalls = 0, selectionCalls = 0;
  mutable std::vector<int> nameRequests;
  int rereads = 0;
  std::vector<int> progressMaximums, progressValues;

 private:
  void reread() {
    platform::posix::PosixFileSystem fileSystem;
    auto names = ui::readFileList(fileSystem, m_directory);
    m_names = names ? names.value() : std::vector<std::string>{};
    m_selected.assign(m_names.size(), false);
    m_current.clear();
  }

  std::string m_directory, m_current;
  std::vector<std::string> m_names;
  std::vector<bool> m_selected;
};

inline std::set<std::string> namesIn(const std::string& directory) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    names.insert(entry.path().filename().string());
  return names;
}

}  // namespace brindle::rename::testing
