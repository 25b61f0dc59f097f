// brindle-cli history: the batches of the history, newest first.
// brindle-cli undo [ID]: undoes the last batch that can be undone, or batch
// ID, as a batch of its own.
#pragma once

#include <iosfwd>

#include "cli/Command.h"

namespace brindle::cli {

Action defineHistory(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineUndo(CLI::App& command, std::ostream& out, std::ostream& err);

}  // namespace brindle::cli
