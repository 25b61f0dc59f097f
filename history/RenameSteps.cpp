// Finding and moving the file of a recorded rename.
#include "history/RenameSteps.h"

#include <random>

#include "history/RecordedRename.h"

namespace brindle::history {

const std::set<std::string>& FolderNames::namesOf(const std::string& directory) {
  auto found = m_folders.find(directory);
  if (found != m_folders.end()) return found->second;
  std::set<std::string>& names = m_folders[directory];
  if (auto listing = m_fileSystem.listDirectory(directory)) {
    names.insert(listing.value().files.begin(), listing.value().files.end());
    names.insert(listing.value().directories.begin(), listing.value().directories.end());
  }
  return names;
}

bool FolderNames::has(const RenameChange& change, const std::string& name) {
  if (name.empty()) return false;
  // A change between folders records whole paths: no listing to ask.
  if (change.directory.empty()) return m_fileSystem.exists(name);
  return namesOf(change.directory).contains(name);
}

void FolderNames::moved(const RenameChange& change, const std::string& from,
                        const std::string& to) {
  if (change.directory.empty()) return;
  auto found = m_folders.find(change.directory);
  if (found == m_folders.end()) return;
  found->second.erase(from);
  found->second.insert(to);
}

RenameState stateOf(FolderNames& names, const RenameChange& change, bool preferNew) {
  if (names.has(change, change.temporaryName)) return RenameState::AtTemporary;
  if (preferNew && names.has(change, change.newName)) return RenameState::AtNew;
  if (names.has(change, change.oldName)) return RenameState::AtOld;
  if (names.has(change, change.newName)) return RenameState::AtNew;
  return RenameState::Missing;
}

std::string drawTemporaryName() {
  static constexpr char kDigits[] = "0123456789abcdef";
  static thread_local std::mt19937 random(std::random_device{}());
  std::string name = ".brindle-";
  std::uint32_t bits = random();
  for (int digit = 0; digit < 8; ++digit, bits >>= 4) name += kDigits[bits & 0xF];
  return name;
}

platform::Status renameStep(platform::FileSystem& fileSystem, FolderNames& names,
                            const RenameChange& change, const std::string& from,
                            const std::string& to) {
  std::string current = from;
  if (from == change.oldName && !change.temporaryName.empty()) {
    platform::Status status =
        fileSystem.renameNoReplace(pathOf(change, from), pathOf(change, change.temporaryName));
    if (!status) return status;
    names.moved(change, from, change.temporaryName);
    current = change.temporaryName;
  }
  platform::Status status = fileSystem.renameNoReplace(pathOf(change, current), pathOf(change, to));
  if (status) {
    names.moved(change, current, to);
    return status;
  }
  // Back from the temporary name, so that the file keeps a name of its own.
  if (current != from &&
      fileSystem.renameNoReplace(pathOf(change, current), pathOf(change, from))) {
    names.moved(change, current, from);
  }
  return status;
}

}  // namespace brindle::history
