#include "history/TagBatch.h"

#include <map>

#include "id3v2/Failure.h"
#include "id3v2/FileRewrite.h"
#include "id3v2/TagRegions.h"

namespace brindle::history {

namespace {

constexpr std::size_t kVersion1Size = 128;

bool endsWith(const id3v2::ByteVector& tail, const id3v2::ByteVector& block) {
  return !block.empty() && tail == block;
}

}  // namespace

platform::Result<std::vector<FileResult>> runTagBatch(
    History* history, platform::FileSystem& fileSystem, const std::string& command,
    const std::vector<TagChange>& changes, const std::atomic<bool>* stop, const FileReport& report,
    std::optional<BatchId> undoes) {
  std::optional<BatchId> batch;
  if (history) {
    auto begun = history->beginBatch(command, changes, {}, undoes);
    if (!begun) return id3v2::causedBy("cannot record the batch in the history", begun.error());
    batch = begun.value();
  }
  // With the batch recorded, the history is what undoes a file stopped half
  // way: no record beside each file and no flush per file.
  const id3v2::Durability durability =
      history ? id3v2::Durability::Deferred : id3v2::Durability::Flushed;
  std::vector<FileResult> results;
  results.reserve(changes.size());
  // One file written on each device, to flush that file system once.
  std::map<std::uint64_t, std::string> written;
  // Files rewritten whole wait for one flush of them all before they are
  // put in place; their results are told when they are.
  id3v2::PendingReplacements pending(fileSystem);
  std::vector<std::size_t> waitingChanges;
  const auto finish = [&](std::size_t index, const platform::Status& status) {
    FileResult& result = results[index];
    result.changed = status.ok();
    if (!status) result.reason = status.error().message;
    if (status) written.emplace(changes[index].identity.device, changes[index].path);
    if (report) report(result);
  };
  const auto putWaitingInPlace = [&] {
    const std::vector<platform::Status> outcomes = pending.putInPlace();
    for (std::size_t index = 0; index < outcomes.size(); ++index) {
      finish(waitingChanges[index], outcomes[index]);
    }
    waitingChanges.clear();
  };
  bool stopped = false;
  for (const TagChange& change : changes) {
    if (stop && stop->load()) {
      stopped = true;
      break;
    }
    const std::size_t waitingBefore = pending.size();
    const platform::Status status = id3v2::replaceTagRegions(fileSystem, change.path, change.before,
                                                             change.after, durability, &pending);
    results.push_back({change.path, false, {}});
    if (pending.size() > waitingBefore) {
      waitingChanges.push_back(results.size() - 1);
      if (pending.full()) putWaitingInPlace();
    } else {
      finish(results.size() - 1, status);
    }
  }
  putWaitingInPlace();
  if (!batch) return results;
  bool flushed = true;
  for (const auto& [device, path] : written) {
    if (!fileSystem.syncFileSystemOf(path)) flushed = false;
  }
  // Files that may not be on the disk keep the batch open: the next start
  // checks each of them.
  if (flushed) {
    (void)history->closeBatch(*batch, stopped ? BatchState::Stopped : BatchState::Done);
  }
  return results;
}

platform::Result<RecoveredAs> recoverTagChange(platform::FileSystem& fileSystem,
                                               const TagChange& change) {
  auto identity = fileSystem.identity(change.path);
  if (!identity) return id3v2::causedBy("cannot find the file", identity.error());
  auto resolved = fileSystem.resolvedPath(change.path);
  const std::string path = resolved ? resolved.value() : change.path;
  // A killed rewrite of a file with several names left its undo record.
  id3v2::finishAbandonedSavesBeside(fileSystem, path);
  auto regions = id3v2::readTagRegions(fileSystem, path);
  // A save that grows the tag puts a new file in the old one's place.
  if (regions && regions.value() == change.after) return RecoveredAs::New;
  if (identity.value() != change.identity) {
    return id3v2::refusal("the file was replaced by another one since the batch began");
  }
  if (regions && regions.value() == change.before) return RecoveredAs::Old;
  // Only a write in place can stop half way, and it keeps the length of the
  // version 2 region.
  if (change.before.version2.size() != change.after.version2.size()) {
    return id3v2::refusal("the file's tags are neither the old nor the new ones");
  }
  auto file = fileSystem.openForUpdate(path);
  if (!file) return id3v2::causedBy("cannot open the file", file.error());
  auto size = file.value()->size();
  if (!size) return id3v2::causedBy("cannot measure the file", size.error());
  // Where the audio ends: a version 1 block that was being added or dropped
  // is there or not, as its single write or cut went.
  id3v2::ByteVector tail;
  if (size.value() >= change.before.version2.size() + kVersion1Size) {
    tail.resize(kVersion1Size);
    auto got = file.value()->readAt(size.value() - kVersion1Size, tail);
    if (!got) return id3v2::causedBy("cannot read the end of the file", got.error());
  }
  const bool hasBlock = (!change.before.version1.empty() && !change.after.version1.empty()) ||
                        endsWith(tail, change.after.version1) ||
                        endsWith(tail, change.before.version1);
  const std::uint64_t audioEnd = size.value() - (hasBlock ? kVersion1Size : 0);
  if (audioEnd < change.before.version2.size()) {
    return id3v2::refusal("the file is shorter than its old tags");
  }
  platform::Status restored = file.value()->writeAt(0, change.before.version2);
  if (restored && !change.before.version1.empty()) {
    restored = file.value()->writeAt(audioEnd, change.before.version1);
  }
  if (restored) restored = file.value()->setLength(audioEnd + change.before.version1.size());
  if (restored) restored = file.value()->sync();
  if (!restored) return id3v2::causedBy("cannot put the old tags back", restored.error());
  return RecoveredAs::Old;
}

}  // namespace brindle::history
