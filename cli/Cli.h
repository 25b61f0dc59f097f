// The whole of brindle-cli except main(): parses the command line, runs the
// chosen subcommand and returns the exit status.
#pragma once

#include <iosfwd>
#include <span>

#include "cli/Command.h"
#include "cli/ExitCode.h"

namespace brindle::cli {

/// Runs brindle-cli with the subcommands in `table`. `argv[0]` is the program
/// name. Help and the version go to `out`, usage errors to `err`.
ExitCode run(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
             std::span<const Command> table = commands());

}  // namespace brindle::cli
