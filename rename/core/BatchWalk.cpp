// The batch rename walk: plan (clashes included), apply, re-read.
#include "rename/core/BatchWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <random>
#include <set>
#include <system_error>
#include <utility>

#include "platform/Platform.h"

namespace brindle::rename {

namespace {

/// How often a temporary name is drawn again when the one drawn is taken.
constexpr int kTemporaryNameAttempts = 16;

/// A short reason for a failed rename: the system's words for the error
/// number, or the error's own message when there is no number.
std::string reasonOf(const platform::Error& error) {
  if (error.code != 0) return std::generic_category().message(error.code);
  return error.message;
}

/// A rename to `newName`; unchanged when the rule gave no name.
RuleResult renameToOrUnchanged(const std::string& oldName, std::optional<std::string> newName) {
  if (!newName) return RuleResult::unchanged();
  return RuleResult::renameTo(oldName, std::move(*newName));
}

EntryResult failedEntry(const PlannedRename& entry, std::string reason) {
  return {entry.index, entry.oldName, entry.rule.newName(), EntryResult::Outcome::Failed,
          std::move(reason)};
}

/// Draws the temporary names of one walk: ".brindle-" and eight hex digits,
/// 17 bytes, so that it fits wherever the old name fit, and a leftover is
/// recognisable as ours.
class TemporaryNames {
 public:
  TemporaryNames() : m_random(std::random_device{}()) {}
  std::string next() {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string name = ".brindle-";
    std::uint32_t bits = m_random();
    for (int digit = 0; digit < 8; ++digit, bits >>= 4) name += kDigits[bits & 0xF];
    return name;
  }

 private:
  std::mt19937 m_random;
};

/// Chooses the temporary name of a two-step rename in `directory`: one no
/// file has now and no other entry of the walk was given.
std::string chooseTemporaryName(platform::FileSystem& fileSystem, TemporaryNames& names,
                                const std::string& directory, std::set<std::string>& chosen) {
  std::string name = names.next();
  for (int attempt = 1; attempt < kTemporaryNameAttempts; ++attempt) {
    if (!chosen.contains(name) && !fileSystem.exists(platform::entryPath(directory, name))) break;
    name = names.next();
  }
  chosen.insert(name);
  return name;
}

/// Renames `from` to its chosen temporary name in `directory` (never
/// replacing a file). When the name is taken by then, another is drawn,
/// unless the name was recorded in the history: a recovery looks for the
/// recorded one.
platform::Result<std::string> renameToTemporary(platform::FileSystem& fileSystem,
                                                TemporaryNames& names, const std::string& directory,
                                                const std::string& from, std::string temporary,
                                                bool recorded) {
  platform::Status status;
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    if (attempt > 0) temporary = names.next();
    status = fileSystem.renameNoReplace(platform::entryPath(directory, from),
                                        platform::entryPath(directory, temporary));
    if (status) return temporary;
    if (status.error().code != EEXIST || recorded) break;
  }
  return status.error();
}

/// Applies one planned rename. A two-step rename whose second step fails
/// renames the file back to its old name, so it is not left under the
/// temporary name.
EntryResult applyEntry(platform::FileSystem& fileSystem, TemporaryNames& names,
                       const std::string& directory, const PlannedRename& entry,
                       const std::string& temporaryName, bool recorded) {
  switch (entry.rule.kind) {
    case RuleResult::Kind::Unchanged:
      return plannedResult(entry);
    case RuleResult::Kind::Refused:
      return failedEntry(entry, entry.rule.reason);
    case RuleResult::Kind::Rename:
      break;
  }
  std::string current = entry.oldName;
  if (entry.rule.throughTemporaryName) {
    platform::Result<std::string> temporary =
        renameToTemporary(fileSystem, names, directory, entry.oldName, temporaryName, recorded);
    if (!temporary) return failedEntry(entry, reasonOf(temporary.error()));
    current = temporary.value();
  }
  platform::Status status =
      fileSystem.renameNoReplace(platform::entryPath(directory, current),
                                 platform::entryPath(directory, entry.rule.newName()));
  if (status)
    return {entry.index, entry.oldName, entry.rule.newName(), EntryResult::Outcome::Renamed, {}};
  std::string reason = reasonOf(status.error());
  if (current != entry.oldName &&
      !fileSystem.renameNoReplace(platform::entryPath(directory, current),
                                  platform::entryPath(directory, entry.oldName))) {
    reason += "; left as " + current;
  }
  return failedEntry(entry, std::move(reason));
}

/// The names of the folder while the walk runs, as far as the plan knows
/// them: what the folder listing holds, what earlier entries took and freed,
/// and (for other names) what the file system says.
class FolderNames {
 public:
  FolderNames(platform::FileSystem& fileSystem, std::string directory)
      : m_fileSystem(fileSystem), m_directory(std::move(directory)) {
    if (platform::Result<platform::DirectoryListing> listing =
            m_fileSystem.listDirectory(m_directory)) {
      m_present.insert(listing.value().files.begin(), listing.value().files.end());
      m_present.insert(listing.value().directories.begin(), listing.value().directories.end());
    }
  }

  /// Why `entry`'s new name is taken at its turn; empty when it is free.
  /// `renamedLater` holds the old names of the later entries that move.
  std::string takenBecause(const PlannedRename& entry,
                           const std::set<std::string>& renamedLater) const {
    const std::string& name = entry.rule.newName();
    if (m_taken.contains(name)) return kNameTakenByEarlierEntry;
    if (m_present.contains(name)) {
      return renamedLater.contains(name) ? kNameFreedTooLate
                                         : std::generic_category().message(EEXIST);
    }
    if (m_freed.contains(name)) return {};
    // A name that differs only in case may be the file itself on a file
    // system that ignores case; the listing above is what counts for it.
    if (differOnlyInCase(entry.oldName, name)) return {};
    // Names the listing leaves out: devices, FIFOs, sockets, broken links.
    if (m_fileSystem.exists(platform::entryPath(m_directory, name))) {
      return std::generic_category().message(EEXIST);
    }
    return {};
  }

  void rename(const std::string& oldName, const std::string& newName) {
    m_present.erase(oldName);
    m_freed.insert(oldName);
    m_freed.erase(newName);
    m_present.insert(newName);
    m_taken.insert(newName);
  }

 private:
  platform::FileSystem& m_fileSystem;
  std::string m_directory;
  std::set<std::string> m_present;
  std::set<std::string> m_freed;
  std::set<std::string> m_taken;
};

}  // namespace

RuleResult RuleResult::renameTo(const std::string& oldName, std::string newName) {
  if (newName == oldName) return unchanged();
  RuleResult result;
  result.kind = Kind::Rename;
  result.name = std::move(newName);
  return result;
}

RuleResult RuleResult::refused(std::string newName, std::string reason) {
  RuleResult result;
  result.kind = Kind::Refused;
  result.name = std::move(newName);
  result.reason = std::move(reason);
  return result;
}

NameRule caseRule(CaseKind kind) {
  return [kind](const std::string& oldName) {
    // A name that is not UTF-8 has no case mapping: it stays as it is.
    return renameToOrUnchanged(oldName, caseName(kind, oldName));
  };
}

NameRule replaceRule(std::string find, std::string replacement) {
  return [find = std::move(find), replacement = std::move(replacement)](const std::string& name) {
    return RuleResult::renameTo(name, replaceAll(name, find, replacement));
  };
}

NameRule removeLeftRule(int count) {
  return [count](const std::string& name) {
    return renameToOrUnchanged(name, removeLeftMost(name, count));
  };
}

NameRule removeRightRule(int count) {
  return [count](const std::string& name) {
    return renameToOrUnchanged(name, removeRightMost(name, count));
  };
}

NameRule removeMiddleRule(int start, int count) {
  return [start, count](const std::string& name) {
    return renameToOrUnchanged(name, removeMiddleMost(name, start, count));
  };
}

NameRule extensionRule(std::string directory, std::string extension) {
  return [directory = std::move(directory),
          extension = std::move(extension)](const std::string& name) {
    return renameToOrUnchanged(
        name, changeExtension(platform::entryPath(directory, name), name, extension));
  };
}

NameRule numberingRule(NumberingOptions options, int start) {
  auto nextNumber = std::make_shared<int>(start);
  return [options = std::move(options), nextNumber](const std::string& name) {
    const int number = (*nextNumber)++;
    std::string newName = numberedName(options, name, number);
    if (number > kHighestNumber) {
      return RuleResult::refused(std::move(newName), kNumbersRunOut);
    }
    return RuleResult::renameTo(name, std::move(newName));
  };
}

BatchPlan planBatch(const ui::FileListHost& list, const NameRule& rule) {
  BatchPlan plan;
  plan.entryCount = list.entryCount();
  const std::vector<bool> selected = list.selectionFlags();
  const int count = std::min(plan.entryCount, static_cast<int>(selected.size()));
  for (int index = 0; index < count; ++index) {
    if (!selected[static_cast<std::size_t>(index)]) continue;
    PlannedRename entry{index, list.entryName(index), {}};
    entry.rule = rule(entry.oldName);
    if (entry.rule.kind == RuleResult::Kind::Rename) {
      if (!isPlainFileName(entry.rule.newName())) {
        // "/" in a new name would move the file into another folder.
        entry.rule = RuleResult::refused(entry.rule.newName(), "not a plain file name");
      } else if (differOnlyInCase(entry.oldName, entry.rule.newName())) {
        entry.rule.throughTemporaryName = true;
      }
    }
    plan.entries.push_back(std::move(entry));
  }
  return plan;
}

BatchPlan planBatch(const ui::FileListHost& list, platform::FileSystem& fileSystem,
                    const NameRule& rule) {
  BatchPlan plan = planBatch(list, rule);
  std::set<std::string> renamedLater;
  for (const PlannedRename& entry : plan.entries) {
    if (entry.rule.kind == RuleResult::Kind::Rename) renamedLater.insert(entry.oldName);
  }
  FolderNames folder(fileSystem, list.currentDirectory());
  for (PlannedRename& entry : plan.entries) {
    if (entry.rule.kind != RuleResult::Kind::Rename) continue;
    renamedLater.erase(entry.oldName);
    std::string reason = folder.takenBecause(entry, renamedLater);
    if (reason.empty()) {
      folder.rename(entry.oldName, entry.rule.newName());
    } else {
      entry.rule = RuleResult::refused(entry.rule.newName(), std::move(reason));
    }
  }
  return plan;
}

EntryResult plannedResult(const PlannedRename& entry) {
  switch (entry.rule.kind) {
    case RuleResult::Kind::Unchanged:
      return {entry.index, entry.oldName, {}, EntryResult::Outcome::Unchanged, {}};
    case RuleResult::Kind::Refused:
      return failedEntry(entry, entry.rule.reason);
    case RuleResult::Kind::Rename:
      break;
  }
  return {entry.index, entry.oldName, entry.rule.newName(), EntryResult::Outcome::Renamed, {}};
}

std::vector<EntryResult> applyBatch(platform::FileSystem& fileSystem, ui::FileListHost& list,
                                    const BatchPlan& plan, Progress progress,
                                    const EntryReport& report, const WalkRecording& recording) {
  const bool shown = progress == Progress::Shown;
  if (shown) list.setProgressMaximum(plan.entryCount);
  const std::string directory = list.currentDirectory();
  TemporaryNames temporaryNames;
  // The temporary names are chosen before anything is renamed, so that the
  // history holds every name a file of the batch can have.
  std::vector<std::string> temporaries(plan.entries.size());
  std::vector<history::RenameChange> changes;
  std::set<std::string> chosen;
  for (std::size_t index = 0; index < plan.entries.size(); ++index) {
    const PlannedRename& entry = plan.entries[index];
    if (entry.rule.kind != RuleResult::Kind::Rename) continue;
    if (entry.rule.throughTemporaryName) {
      // Without a history a taken name is simply drawn again when renaming.
      temporaries[index] = recording.history
                               ? chooseTemporaryName(fileSystem, temporaryNames, directory, chosen)
                               : temporaryNames.next();
    }
    changes.push_back({directory, entry.oldName, temporaries[index], entry.rule.newName()});
  }
  std::optional<history::BatchId> batch;
  std::string notRecorded;
  if (recording.history && !changes.empty()) {
    platform::Result<history::BatchId> begun =
        recording.history->beginBatch(recording.command, {}, changes);
    if (begun) {
      batch = begun.value();
    } else {
      notRecorded = std::string(kNotRecorded) + ": " + begun.error().message;
    }
  }
  std::vector<EntryResult> results;
  results.reserve(plan.entries.size());
  bool stopped = false;
  for (std::size_t index = 0; index < plan.entries.size(); ++index) {
    if (recording.stop && recording.stop->load()) {
      stopped = true;
      break;
    }
    const PlannedRename& entry = plan.entries[index];
    if (shown) list.setProgressValue(entry.index);
    if (!notRecorded.empty() && entry.rule.kind == RuleResult::Kind::Rename) {
      results.push_back(failedEntry(entry, notRecorded));
    } else {
      results.push_back(applyEntry(fileSystem, temporaryNames, directory, entry, temporaries[index],
                                   batch.has_value()));
    }
    if (report) report(results.back());
  }
  if (batch) {
    // The renames themselves are done; a history that cannot close the
    // batch leaves it open, and the next start finds every file whole.
    (void)recording.history->closeBatch(
        *batch, stopped ? history::BatchState::Stopped : history::BatchState::Done);
  }
  return results;
}

std::vector<EntryResult> runBatch(ui::FileListHost& list, platform::FileSystem& fileSystem,
                                  const NameRule& rule, Progress progress,
                                  const EntryReport& report, const WalkRecording& recording) {
  return runPlannedBatch(list, fileSystem, planBatch(list, fileSystem, rule), progress, report,
                         recording);
}

std::vector<EntryResult> runPlannedBatch(ui::FileListHost& list, platform::FileSystem& fileSystem,
                                         const BatchPlan& plan, Progress progress,
                                         const EntryReport& report,
                                         const WalkRecording& recording) {
  std::vector<EntryResult> results =
      applyBatch(fileSystem, list, plan, progress, report, recording);
  list.rereadFileList();
  if (progress == Progress::Shown) list.setProgressValue(0);
  return results;
}

int countFailed(const std::vector<EntryResult>& results) {
  return static_cast<int>(std::count_if(results.begin(), results.end(), [](const auto& result) {
    return result.outcome == EntryResult::Outcome::Failed;
  }));
}

}  // namespace brindle::rename
