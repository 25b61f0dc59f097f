// brindle-cli's side of the history: opening it where the environment says,
// recovering what a crash left open before a command changes files, and the
// stop flag that Ctrl-C and SIGTERM set.
#pragma once

#include <atomic>
#include <iosfwd>
#include <memory>
#include <optional>

#include "history/History.h"

namespace brindle::cli {

/// Makes SIGINT and SIGTERM set the stop flag: the file being changed
/// finishes its step, then the command stops and closes its batch. A second
/// signal ends the program at once.
void installStopHandlers();

/// The flag the handlers set; false until a signal came.
const std::atomic<bool>* stopFlag();

/// The history for a command that changes files, opened from the
/// environment (BRINDLE_HISTORY, XDG_STATE_HOME), with every batch a crash
/// left open recovered first and reported on `err`. A null history when
/// BRINDLE_HISTORY=off. Nothing (after a message on `err` naming `command`)
/// when the history cannot be opened: the command then changes nothing.
std::optional<std::unique_ptr<history::History>> openHistoryForChanges(const char* command,
                                                                       std::ostream& err);

/// The history as it is, for reading; the same results as above, without
/// the recovery.
std::optional<std::unique_ptr<history::History>> openHistoryForReading(const char* command,
                                                                       std::ostream& err);

}  // namespace brindle::cli
