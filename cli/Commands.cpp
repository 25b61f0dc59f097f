// The table of brindle-cli's subcommands: one row per subcommand.
#include <array>

#include "cli/Command.h"

namespace brindle::cli {

namespace {

// Add a row here for each new subcommand (see Command.h).
constexpr std::array<Command, 0> kCommands{};

}  // namespace

std::span<const Command> commands() {
  return kCommands;
}

}  // namespace brindle::cli
