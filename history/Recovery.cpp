// Finishing or rolling back the batches a crash left open.
#include "history/Recovery.h"

#include <algorithm>

#include "history/RecordedRename.h"
#include "history/RenameSteps.h"
#include "history/TagBatch.h"

namespace brindle::history {

namespace {

void recoverRenames(platform::FileSystem& fileSystem, const std::vector<RenameChange>& renames,
                    RecoveredBatch& report) {
  FolderNames names(fileSystem);
  for (const RenameChange& change : renames) {
    switch (stateOf(names, change)) {
      case RenameState::AtOld:
        report.toOld.push_back(pathOf(change, change.oldName));
        break;
      case RenameState::AtNew:
        report.toNew.push_back(pathOf(change, change.newName));
        break;
      case RenameState::Missing:
        report.unreachable.push_back(pathOf(change, change.oldName) +
                                     ": not found under its old or its new name");
        break;
      case RenameState::AtTemporary: {
        // Half way through a two-step rename: the file is whole, only its
        // name is ours. On to the new name, or back when that is taken.
        if (renameStep(fileSystem, names, change, change.temporaryName, change.newName)) {
          report.toNew.push_back(pathOf(change, change.newName));
        } else if (renameStep(fileSystem, names, change, change.temporaryName, change.oldName)) {
          report.toOld.push_back(pathOf(change, change.oldName));
        } else {
          report.unreachable.push_back(pathOf(change, change.temporaryName) +
                                       ": neither its old nor its new name is free");
        }
        break;
      }
    }
  }
}

void recoverTags(platform::FileSystem& fileSystem, const std::vector<TagChange>& tags,
                 RecoveredBatch& report) {
  for (const TagChange& change : tags) {
    platform::Result<RecoveredAs> recovered = recoverTagChange(fileSystem, change);
    if (!recovered) {
      report.unreachable.push_back(change.path + ": " + recovered.error().message);
    } else if (recovered.value() == RecoveredAs::New) {
      report.toNew.push_back(change.path);
    } else {
      report.toOld.push_back(change.path);
    }
  }
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

}  // namespace

platform::Result<std::vector<RecoveredBatch>> recoverOpenBatches(History& history,
                                                                 platform::FileSystem& fileSystem) {
  platform::Result<std::vector<BatchSummary>> batches = history.batches();
  if (!batches) return batches.error();
  std::vector<BatchSummary> open;
  for (const BatchSummary& batch : batches.value()) {
    // A batch another program is carrying out right now is its own.
    if (batch.state == BatchState::Open && !history.isRunning(batch.id)) open.push_back(batch);
  }
  // Oldest first: a later batch may have changed the same files again.
  std::reverse(open.begin(), open.end());
  std::vector<RecoveredBatch> result;
  for (const BatchSummary& batch : open) {
    platform::Result<std::vector<RenameChange>> renames = history.renameChanges(batch.id);
    if (!renames) return renames.error();
    platform::Result<std::vector<TagChange>> tags = history.tagChanges(batch.id);
    if (!tags) return tags.error();
    RecoveredBatch report{batch.id, batch.command, {}, {}, {}};
    recoverRenames(fileSystem, renames.value(), report);
    recoverTags(fileSystem, tags.value(), report);
    if (platform::Status closed = history.closeBatch(batch.id, BatchState::Recovered); !closed) {
      return closed.error();
    }
    result.push_back(std::move(report));
  }
  return result;
}

std::vector<std::string> describeRecovery(const std::vector<RecoveredBatch>& batches) {
  std::vector<std::string> lines;
  for (const RecoveredBatch& batch : batches) {
    lines.push_back("\"" + batch.command + "\" (batch " + std::to_string(batch.id) +
                    ") was interrupted; each of its files is now whole:");
    if (!batch.toNew.empty()) {
      lines.push_back("  changed (" + std::to_string(batch.toNew.size()) +
                      "): " + joined(batch.toNew));
    }
    if (!batch.toOld.empty()) {
      lines.push_back("  as before (" + std::to_string(batch.toOld.size()) +
                      "): " + joined(batch.toOld));
    }
    for (const std::string& file : batch.unreachable) {
      lines.push_back("  could not be reached: " + file);
    }
  }
  return lines;
}

}  // namespace brindle::history
