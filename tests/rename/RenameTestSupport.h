// The names in a folder, for the rename tests.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace brindle::rename::testing {

inline std::set<std::string> namesIn(const std::string& directory) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    names.insert(entry.path().filename().string());
  return names;
}

}  // namespace brindle::rename::testing
