// Undoing a batch as a new batch of the reverse changes.
#include "history/Undo.h"

#include <algorithm>

#include "history/RecordedRename.h"
#include "history/RenameSteps.h"
#include "history/TagBatch.h"
#include "id3v2/TagRegions.h"

namespace brindle::history {

namespace {

platform::Error failure(std::string sentence) {
  return platform::Error{0, std::move(sentence)};
}

/// The renames that take the batch's files back, newest first; the files
/// that cannot go back are added to `report`.
std::vector<RenameChange> reverseRenames(platform::FileSystem& fileSystem,
                                         const std::vector<RenameChange>& renames,
                                         UndoReport& report) {
  FolderNames names(fileSystem);
  std::vector<RenameChange> reverse;
  for (auto change = renames.rbegin(); change != renames.rend(); ++change) {
    const std::string newPath = pathOf(*change, change->newName);
    switch (stateOf(names, *change, true)) {
      case RenameState::AtOld:
        // Never renamed (it failed or was refused): nothing to undo.
        continue;
      case RenameState::AtTemporary:
      case RenameState::Missing:
        report.leftAlone.push_back(newPath + ": not found under its new name");
        continue;
      case RenameState::AtNew:
        break;
    }
    // A change of case goes back through a temporary name too. Whether the
    // old name is free is checked when its turn comes.
    RenameChange back{change->directory, change->newName,
                      change->temporaryName.empty() ? std::string() : drawTemporaryName(),
                      change->oldName};
    // Later entries (earlier in the batch) see the name as it will be.
    names.moved(*change, change->newName, change->oldName);
    reverse.push_back(std::move(back));
  }
  return reverse;
}

/// The tag changes that take the batch's files back; the files whose tags
/// changed since are added to `report`.
std::vector<TagChange> reverseTags(platform::FileSystem& fileSystem,
                                   const std::vector<TagChange>& tags, UndoReport& report) {
  std::vector<TagChange> reverse;
  for (const TagChange& change : tags) {
    platform::Result<id3v2::TagRegions> now = id3v2::readTagRegions(fileSystem, change.path);
    if (!now) {
      report.leftAlone.push_back(change.path + ": " + now.error().message);
      continue;
    }
    if (now.value() == change.before) continue;  // never changed by the batch
    if (now.value() != change.after) {
      report.leftAlone.push_back(change.path + ": its tags changed since");
      continue;
    }
    TagChange back{change.path, change.identity, change.after, change.before};
    // A save through a new file gave the file another inode.
    if (auto identity = fileSystem.identity(change.path)) back.identity = identity.value();
    reverse.push_back(std::move(back));
  }
  return reverse;
}

platform::Result<std::optional<BatchSummary>> findBatch(History& history, BatchId id) {
  platform::Result<std::vector<BatchSummary>> batches = history.batches();
  if (!batches) return batches.error();
  for (const BatchSummary& batch : batches.value()) {
    if (batch.id == id) return std::optional<BatchSummary>(batch);
  }
  return std::optional<BatchSummary>();
}

/// Renames the files of the reverse batch, in its order.
void applyRenames(platform::FileSystem& fileSystem, const std::vector<RenameChange>& reverse,
                  const std::atomic<bool>* stop, UndoReport& report, bool& stopped) {
  FolderNames names(fileSystem);
  for (const RenameChange& change : reverse) {
    if (stop && stop->load()) {
      stopped = true;
      return;
    }
    if (names.has(change, change.newName)) {
      report.leftAlone.push_back(pathOf(change, change.oldName) + ": its old name " +
                                 change.newName + " is taken");
      continue;
    }
    platform::Status status = renameStep(fileSystem, names, change, change.oldName, change.newName);
    if (status) {
      report.restored.push_back(pathOf(change, change.newName));
    } else if (status.error().code == EEXIST) {
      report.leftAlone.push_back(pathOf(change, change.oldName) + ": its old name " +
                                 change.newName + " is taken");
    } else {
      report.leftAlone.push_back(pathOf(change, change.oldName) + ": " + status.error().message);
    }
  }
}

}  // namespace

bool canUndo(BatchState state) {
  return state == BatchState::Done || state == BatchState::Stopped ||
         state == BatchState::Recovered;
}

platform::Result<std::optional<BatchSummary>> lastUndoableBatch(History& history) {
  platform::Result<std::vector<BatchSummary>> batches = history.batches();
  if (!batches) return batches.error();
  for (const BatchSummary& batch : batches.value()) {
    if (canUndo(batch.state)) return std::optional<BatchSummary>(batch);
  }
  return std::optional<BatchSummary>();
}

platform::Result<UndoReport> undoBatch(History& history, platform::FileSystem& fileSystem,
                                       BatchId id, const std::atomic<bool>* stop) {
  platform::Result<std::optional<BatchSummary>> found = findBatch(history, id);
  if (!found) return found.error();
  if (!found.value()) return failure("there is no batch " + std::to_string(id));
  const BatchSummary& batch = *found.value();
  if (batch.state == BatchState::Open) {
    return failure("batch " + std::to_string(id) + " is still open");
  }
  if (batch.state == BatchState::Undone) {
    return failure("batch " + std::to_string(id) + " was undone already");
  }
  platform::Result<std::vector<RenameChange>> renames = history.renameChanges(id);
  if (!renames) return renames.error();
  platform::Result<std::vector<TagChange>> tags = history.tagChanges(id);
  if (!tags) return tags.error();

  UndoReport report;
  report.undone = id;
  const std::vector<RenameChange> reverseRenameList =
      reverseRenames(fileSystem, renames.value(), report);
  const std::vector<TagChange> reverseTagList = reverseTags(fileSystem, tags.value(), report);
  const std::string command = "Undo " + batch.command;
  bool stopped = false;
  if (!reverseRenameList.empty()) {
    platform::Result<BatchId> begun = history.beginBatch(command, {}, reverseRenameList, id);
    if (!begun) return begun.error();
    report.undoBatch = begun.value();
    applyRenames(fileSystem, reverseRenameList, stop, report, stopped);
    (void)history.closeBatch(begun.value(), stopped ? BatchState::Stopped : BatchState::Done);
  }
  if (!reverseTagList.empty() && !stopped) {
    platform::Result<std::vector<FileResult>> results =
        runTagBatch(&history, fileSystem, command, reverseTagList, stop, {}, id);
    if (!results) return results.error();
    for (const FileResult& result : results.value()) {
      if (result.changed) {
        report.restored.push_back(result.path);
      } else {
        report.leftAlone.push_back(result.path + ": " + result.reason);
      }
    }
    // The tag batch is the newest; it is the one an undo of this undo takes.
    if (auto latest = lastUndoableBatch(history); latest && latest.value()) {
      report.undoBatch = latest.value()->id;
    }
  }
  if (!report.restored.empty() || report.leftAlone.empty()) {
    if (platform::Status marked = history.closeBatch(id, BatchState::Undone); !marked) {
      return marked.error();
    }
  }
  return report;
}

std::vector<std::string> describeUndo(const UndoReport& report) {
  std::vector<std::string> lines;
  lines.push_back("undid batch " + std::to_string(report.undone) + ": " +
                  std::to_string(report.restored.size()) + " file(s) restored");
  for (const std::string& file : report.restored) lines.push_back("  restored: " + file);
  for (const std::string& file : report.leftAlone) lines.push_back("  left alone: " + file);
  return lines;
}

}  // namespace brindle::history
