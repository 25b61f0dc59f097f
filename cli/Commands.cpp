// The table of every subcommand of brindle-cli: one row per subcommand.
#include "cli/CommandRows.h"
#include "cli/RenameCommand.h"

namespace brindle::cli {

namespace {

// Add a row here for each new subcommand (see Command.h), and to
// BaseCommands.cpp too when it needs no Qt.
constexpr Command kCommands[] = {
    rows::kRead,
    rows::kWav,
    rows::kInfo,
    rows::kWrite,
    rows::kRemoveV2,
    {"rename", "Rename files of a directory as the main window's rename commands do", defineRename},
    rows::kHistory,
    rows::kUndo,
};

}  // namespace

std::span<const Command> commands() {
  return kCommands;
}

}  // namespace brindle::cli
