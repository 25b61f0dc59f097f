// A history that calls back whenever a batch closes, so the windows can
// bring their Undo captions up to date after every command, whoever ran it.
#pragma once

#include <functional>
#include <utility>

#include "history/History.h"

namespace brindle::ui {

class ObservedHistory : public history::History {
 public:
  /// Passes every call on to `store`, which must outlive this object.
  explicit ObservedHistory(history::History& store) : m_store(store) {}

  /// Called after each batch closes (also when closing it failed).
  void setOnBatchClosed(std::function<void()> onBatchClosed) {
    m_onBatchClosed = std::move(onBatchClosed);
  }

  platform::Result<history::BatchId> beginBatch(
      const std::string& command, const std::vector<history::TagChange>& tags,
      const std::vector<history::RenameChange>& renames,
      std::optional<history::BatchId> undoes = std::nullopt) override {
    return m_store.beginBatch(command, tags, renames, undoes);
  }
  platform::Status closeBatch(history::BatchId id, history::BatchState state) override {
    platform::Status closed = m_store.closeBatch(id, state);
    if (m_onBatchClosed) m_onBatchClosed();
    return closed;
  }
  platform::Result<std::vector<history::BatchSummary>> batches() override {
    return m_store.batches();
  }
  platform::Result<std::vector<history::TagChange>> tagChanges(history::BatchId id) override {
    return m_store.tagChanges(id);
  }
  platform::Result<std::vector<history::RenameChange>> renameChanges(history::BatchId id) override {
    return m_store.renameChanges(id);
  }
  bool isRunning(history::BatchId id) override { return m_store.isRunning(id); }

 private:
  history::History& m_store;
  std::function<void()> m_onBatchClosed;
};

}  // namespace brindle::ui
