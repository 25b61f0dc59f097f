// The steps of one recorded rename, shared by recovery and undo: where the
// file is now (old, temporary or new name) and the rename itself, through
// the recorded temporary name when there is one.
#pragma once

#include <map>
#include <set>
#include <string>

#include "history/History.h"

namespace brindle::history {

/// Which of its recorded names a file of a rename has now.
enum class RenameState { AtOld, AtTemporary, AtNew, Missing };

/// The exact names of the folders of a batch, each listed once: a file
/// system that ignores case says "exists" for both names of a change of
/// case, the listing tells them apart.
class FolderNames {
 public:
  explicit FolderNames(platform::FileSystem& fileSystem) : m_fileSystem(fileSystem) {}
  /// Whether `name` of `change` is taken now (exactly that name).
  bool has(const RenameChange& change, const std::string& name);
  /// Notes a rename made since the folder was listed.
  void moved(const RenameChange& change, const std::string& from, const std::string& to);

 private:
  const std::set<std::string>& namesOf(const std::string& directory);
  platform::FileSystem& m_fileSystem;
  std::map<std::string, std::set<std::string>> m_folders;
};

/// Where the file of `change` is. When both its old and its new name are
/// taken, one of them by another file, `preferNew` says which is taken for
/// the batch's file: a recovery takes the old one (the rename was not made),
/// an undo the new one (and then finds the old name taken).
RenameState stateOf(FolderNames& names, const RenameChange& change, bool preferNew = false);

/// Draws a temporary name for a two-step rename: ".brindle-" and eight hex
/// digits, as the rename walk uses.
std::string drawTemporaryName();

/// Renames the file of `change` from `from` (one of its names) to `to`,
/// never replacing a file; a change with a temporary name goes through it
/// when `from` is the old name.
platform::Status renameStep(platform::FileSystem& fileSystem, FolderNames& names,
                            const RenameChange& change, const std::string& from,
                            const std::string& to);

}  // namespace brindle::history
