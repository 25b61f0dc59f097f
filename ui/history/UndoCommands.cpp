#include "ui/history/UndoCommands.h"

#include <ctime>

#include "history/Undo.h"

namespace brindle::ui {

namespace {

constexpr const char* kNothingToUndo = "Nothing to undo";

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

}  // namespace

UndoMenuState undoMenuState(history::History* history) {
  if (!history) return {"Undo", false};
  auto newest = history::lastUndoableBatch(*history);
  if (!newest.ok() || !newest.value()) return {"Undo", false};
  return {"Undo " + newest.value()->command, true};
}

bool undoNewestBatch(history::History* history, platform::FileSystem& fileSystem,
                     platform::Dialogs& dialogs) {
  if (!history) {
    dialogs.message(kNothingToUndo);
    return false;
  }
  auto newest = history::lastUndoableBatch(*history);
  if (!newest.ok()) {
    dialogs.message("Cannot read the history: " + newest.error().message, platform::Buttons::Ok,
                    platform::Icon::Critical);
    return false;
  }
  if (!newest.value()) {
    dialogs.message(kNothingToUndo);
    return false;
  }
  return undoChosenBatch(*history, fileSystem, dialogs, newest.value()->id);
}

bool undoChosenBatch(history::History& history, platform::FileSystem& fileSystem,
                     platform::Dialogs& dialogs, history::BatchId id) {
  auto report = history::undoBatch(history, fileSystem, id);
  if (!report.ok()) {
    dialogs.message("Cannot undo: " + report.error().message, platform::Buttons::Ok,
                    platform::Icon::Critical);
    return false;
  }
  dialogs.message(joinLines(history::describeUndo(report.value())));
  return true;
}

platform::Result<std::vector<HistoryRow>> historyRows(history::History& history) {
  auto batches = history.batches();
  if (!batches.ok()) return batches.error();
  std::vector<HistoryRow> rows;
  rows.reserve(batches.value().size());
  for (const history::BatchSummary& batch : batches.value()) {
    rows.push_back({batch.id, localTimeText(batch.startedAt), batch.command, batch.fileCount,
                    history::stateName(batch.state), history::canUndo(batch.state)});
  }
  return rows;
}

std::string localTimeText(std::int64_t secondsSince1970) {
  const auto seconds = static_cast<std::time_t>(secondsSince1970);
  std::tm local{};
  if (!localtime_r(&seconds, &local)) return std::to_string(secondsSince1970);
  char text[32];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(text, length);
}

}  // namespace brindle::ui
