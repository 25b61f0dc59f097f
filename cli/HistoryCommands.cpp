// The history listed and a batch undone from the command line.
#include "cli/HistoryCommands.h"

#include <ctime>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/ChangeHistory.h"
#include "cli/EscapedName.h"
#include "cli/StopOnSignals.h"
#include "history/Location.h"
#include "history/Undo.h"
#include "platform/posix/PosixFileSystem.h"

namespace brindle::cli {

namespace {

using Json = nlohmann::ordered_json;

/// "2026-12-06T21:30:05Z"
std::string utcTime(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  gmtime_r(&time, &parts);
  char text[32] = {};
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

ExitCode listHistory(bool json, std::ostream& out, std::ostream& err) {
  // Listing changes nothing: no recovery here.
  auto history = history::openConfiguredHistory(history::processEnvironment());
  if (!history) {
    err << "brindle-cli history: cannot open the history: " << escapedName(history.error().message)
        << '\n';
    return kFailed;
  }
  if (!history.value()) {
    err << "brindle-cli history: the history is off (BRINDLE_HISTORY=off)\n";
    return kFailed;
  }
  auto batches = history.value()->batches();
  if (!batches) {
    err << "brindle-cli history: " << escapedName(batches.error().message) << '\n';
    return kFailed;
  }
  for (const history::BatchSummary& batch : batches.value()) {
    if (json) {
      Json object = Json::object();
      object["id"] = batch.id;
      object["time"] = utcTime(batch.startedAt);
      object["command"] = batch.command;
      object["files"] = batch.fileCount;
      object["state"] = history::stateName(batch.state);
      if (batch.undoes) object["undoes"] = *batch.undoes;
      out << object.dump(-1, ' ', true, Json::error_handler_t::replace) << '\n';
    } else {
      out << batch.id << '\t' << utcTime(batch.startedAt) << '\t' << history::stateName(batch.state)
          << '\t' << batch.fileCount << '\t' << escapedName(batch.command) << '\n';
    }
  }
  return kSuccess;
}

ExitCode undo(std::optional<history::BatchId> id, std::ostream& out, std::ostream& err) {
  platform::posix::PosixFileSystem fileSystem;
  auto opened = openChangeHistory(fileSystem, err);
  if (!opened) {
    err << "brindle-cli undo: " << escapedName(opened.error().message) << '\n';
    return kFailed;
  }
  history::History* history = opened.value().get();
  if (!history) {
    err << "brindle-cli undo: the history is off (BRINDLE_HISTORY=off)\n";
    return kFailed;
  }
  if (!id) {
    auto last = history::lastUndoableBatch(*history);
    if (!last) {
      err << "brindle-cli undo: " << escapedName(last.error().message) << '\n';
      return kFailed;
    }
    if (!last.value()) {
      err << "brindle-cli undo: there is nothing to undo\n";
      return kFailed;
    }
    id = last.value()->id;
  }
  // Ctrl-C and SIGTERM let the file being restored finish its step.
  const StopOnSignals stop;
  auto report = history::undoBatch(*history, fileSystem, *id, &stop.requested());
  if (!report) {
    err << "brindle-cli undo: " << escapedName(report.error().message) << '\n';
    return kFailed;
  }
  for (const std::string& path : report.value().restored) {
    out << "restored " << escapedName(path) << '\n';
  }
  for (const std::string& file : report.value().leftAlone) {
    err << "brindle-cli undo: left alone: " << escapedName(file) << '\n';
  }
  return report.value().leftAlone.empty() ? kSuccess : kFailed;
}

}  // namespace

Action defineHistory(CLI::App& command, std::ostream& out, std::ostream& err) {
  auto json = std::make_shared<bool>(false);
  command.add_flag("--json", *json,
                   "Print one JSON object per line and batch: id, time, command, files, state "
                   "and, for an undo, undoes");
  command.footer(
      "Output: one line per batch, newest first: ID, time (UTC), state (open, done, stopped, "
      "recovered, undone), number of files and the command, separated by tabs. The history "
      "is kept in $XDG_STATE_HOME/brindle/history.sqlite or in the file BRINDLE_HISTORY "
      "names.");
  return [json, &out, &err] { return listHistory(*json, out, err); };
}

Action defineUndo(CLI::App& command, std::ostream& out, std::ostream& err) {
  auto id = std::make_shared<std::optional<history::BatchId>>();
  command.add_option("ID", *id,
                     "The batch to undo (see brindle-cli history); the last one "
                     "that can be undone when left out");
  command.footer(
      "Undoes a batch as a batch of its own, so undoing an undo redoes. A file whose tags are "
      "no longer what the batch wrote, or whose old name is taken now, is left alone and "
      "named on standard error (exit status 1); the rest is undone. Prints \"restored PATH\" "
      "for each file brought back.");
  return [id, &out, &err] { return undo(*id, out, err); };
}

}  // namespace brindle::cli
