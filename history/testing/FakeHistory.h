// A History kept in memory, for tests of the code that records batches: it
// keeps every batch and can be told to refuse the next one.
#pragma once

#include <cerrno>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "history/History.h"

namespace brindle::history::testing {

class FakeHistory : public History {
 public:
  struct Batch {
    BatchSummary summary;
    std::vector<TagChange> tags;
    std::vector<RenameChange> renames;
  };

  platform::Result<BatchId> beginBatch(const std::string& command,
                                       const std::vector<TagChange>& tags,
                                       const std::vector<RenameChange>& renames,
                                       std::optional<BatchId> undoes) override {
    if (refuseNext) {
      refuseNext = false;
      return platform::Error{ENOSPC, "the history is full"};
    }
    Batch batch;
    batch.summary.id = static_cast<BatchId>(m_batches.size()) + 1;
    batch.summary.command = command;
    batch.summary.fileCount = static_cast<int>(tags.size() + renames.size());
    batch.summary.undoes = undoes;
    batch.tags = tags;
    batch.renames = renames;
    m_batches.push_back(batch);
    return batch.summary.id;
  }
  platform::Status closeBatch(BatchId id, BatchState state) override {
    if (id < 1 || id > static_cast<BatchId>(m_batches.size())) return platform::Error{ENOENT, {}};
    m_batches[static_cast<std::size_t>(id - 1)].summary.state = state;
    return {};
  }
  platform::Result<std::vector<BatchSummary>> batches() override {
    std::vector<BatchSummary> all;
    for (auto it = m_batches.rbegin(); it != m_batches.rend(); ++it) all.push_back(it->summary);
    return all;
  }
  platform::Result<std::vector<TagChange>> tagChanges(BatchId id) override {
    return m_batches.at(static_cast<std::size_t>(id - 1)).tags;
  }
  platform::Result<std::vector<RenameChange>> renameChanges(BatchId id) override {
    return m_batches.at(static_cast<std::size_t>(id - 1)).renames;
  }

  const std::vector<Batch>& recorded() const { return m_batches; }

  bool refuseNext = false;

 private:
  std::vector<Batch> m_batches;
};

}  // namespace brindle::history::testing
