// The batch rename walk: plan, apply, re-read.
#include "rename/core/BatchWalk.h"

#include <algorithm>
#include <memory>
#include <system_error>
#include <utility>

#include "platform/Platform.h"

namespace brindle::rename {

namespace {

/// A short reason for a failed rename: the system's words for the error
/// number, or the error's own message when there is no number.
std::string reasonOf(const platform::Error& error) {
  if (error.code != 0) return std::generic_category().message(error.code);
  return error.message;
}

/// Two names, applied one after the other: intermediate, then final.
RuleResult twoSteps(const CaseSteps& steps) {
  RuleResult result;
  result.kind = RuleResult::Kind::Rename;
  result.names = {steps.intermediate, steps.final};
  return result;
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

/// Applies the names of one entry in turn. When a later step fails, the file
/// is renamed back to its old name, so it is not left under an intermediate
/// name.
EntryResult applyEntry(platform::FileSystem& fileSystem, const std::string& directory,
                       const PlannedRename& entry) {
  switch (entry.rule.kind) {
    case RuleResult::Kind::Unchanged:
      return {entry.index, entry.oldName, {}, EntryResult::Outcome::Unchanged, {}};
    case RuleResult::Kind::Refused:
      return failedEntry(entry, entry.rule.reason);
    case RuleResult::Kind::Rename:
      break;
  }
  std::string current = entry.oldName;
  for (const std::string& next : entry.rule.names) {
    platform::Status status = fileSystem.renameNoReplace(platform::entryPath(directory, current),
                                                         platform::entryPath(directory, next));
    if (status) {
      current = next;
      continue;
    }
    std::string reason = reasonOf(status.error());
    if (current != entry.oldName &&
        !fileSystem.renameNoReplace(platform::entryPath(directory, current),
                                    platform::entryPath(directory, entry.oldName))) {
      reason += "; left as " + current;
    }
    return failedEntry(entry, std::move(reason));
  }
  // A case rename of a name that was already in that case ends where it
  // began.
  const auto outcome =
      current == entry.oldName ? EntryResult::Outcome::Unchanged : EntryResult::Outcome::Renamed;
  return {entry.index, entry.oldName, current, outcome, {}};
}

}  // namespace

RuleResult RuleResult::renameTo(const std::string& oldName, std::string newName) {
  if (newName == oldName) return unchanged();
  RuleResult result;
  result.kind = Kind::Rename;
  result.names.push_back(std::move(newName));
  return result;
}

RuleResult RuleResult::refused(std::string newName, std::string reason) {
  RuleResult result;
  result.kind = Kind::Refused;
  if (!newName.empty()) result.names.push_back(std::move(newName));
  result.reason = std::move(reason);
  return result;
}

NameRule caseRule(CaseKind kind) {
  return [kind](const std::string& oldName) {
    std::optional<CaseSteps> steps = caseSteps(kind, oldName);
    // A name that is not UTF-8 has no case mapping: it stays as it is.
    return steps ? twoSteps(*steps) : RuleResult::unchanged();
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
    if (entry.rule.kind == RuleResult::Kind::Rename &&
        !std::all_of(entry.rule.names.begin(), entry.rule.names.end(),
                     [](const std::string& name) { return isPlainFileName(name); })) {
      // "/" in a new name would move the file into another folder.
      entry.rule = RuleResult::refused(entry.rule.newName(), "not a plain file name");
    }
    plan.entries.push_back(std::move(entry));
  }
  return plan;
}

std::vector<EntryResult> applyBatch(platform::FileSystem& fileSystem, ui::FileListHost& list,
                                    const BatchPlan& plan, Progress progress) {
  const bool shown = progress == Progress::Shown;
  if (shown) list.setProgressMaximum(plan.entryCount);
  const std::string directory = list.currentDirectory();
  std::vector<EntryResult> results;
  results.reserve(plan.entries.size());
  for (const PlannedRename& entry : plan.entries) {
    if (shown) list.setProgressValue(entry.index);
    results.push_back(applyEntry(fileSystem, directory, entry));
  }
  return results;
}

std::vector<EntryResult> runBatch(ui::FileListHost& list, platform::FileSystem& fileSystem,
                                  const NameRule& rule, Progress progress) {
  const BatchPlan plan = planBatch(list, rule);
  std::vector<EntryResult> results = applyBatch(fileSystem, list, plan, progress);
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
