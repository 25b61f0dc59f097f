// The subcommands brindle-cli runs itself, without Qt: every one but rename.
#include "cli/CommandRows.h"

namespace brindle::cli {

namespace {

constexpr Command kBaseCommands[] = {
    rows::kRead,     rows::kWav,     rows::kInfo, rows::kWrite,
    rows::kRemoveV2, rows::kHistory, rows::kUndo,
};

}  // namespace

std::span<const Command> baseCommands() {
  return kBaseCommands;
}

}  // namespace brindle::cli
